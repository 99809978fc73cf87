#pragma once

#include <QFile>
#include <QMainWindow>
#include <QString>

class cMainWidget;

// The one top-level window: holds the central widget, keeps its own state and
// geometry in the settings group "MainWindow" and writes the log file.
class cMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit cMainWindow(QWidget *parent = nullptr);
    ~cMainWindow() override;

    // Lists files and folders named from outside the window (command line, "Open with").
    void listFiles(const QStringList &paths);

private slots:
    void log(QtMsgType type, const QString &msg);

private:
    void setUpStatusLine();
    void setUpLog();
    void tearDownLog();

    cMainWidget *mainWidget = nullptr;
    QFile logFile;
};
