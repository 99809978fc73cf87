#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

// Takes the local files and folders dropped on a widget, while accepts()
// says the widget takes files. Files dropped one by one that are not sound
// files are left out; folders are taken whole (their walk picks the sound files).
class cFileDrops : public QObject
{
    Q_OBJECT

public:
    cFileDrops(QWidget *target, std::function<bool()> accepts);

signals:
    // The paths to list, and the names of the files left out; never both empty.
    void dropped(const QStringList &paths, const QStringList &leftOut);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool()> accepts;
};
