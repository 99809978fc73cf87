#pragma once

#include <QFile>
#include <QMainWindow>
#include <QString>

class QPushButton;
class cMainWidget;

// The one top-level window: holds the central widget, keeps its own state and
// geometry in the settings group "MainWindow" and writes the log file.
class cMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit cMainWindow(QWidget *parent = nullptr);
    ~cMainWindow() override;

    // Gives the whole application the look the window is made for: the
    // window icon and the style sheet. Call it once the application object
    // exists and before the first window does.
    static void setUpApplication();

    // Lists files and folders named from outside the window (command line, "Open with").
    void listFiles(const QStringList &paths);

protected:
    void changeEvent(QEvent *e) override;

private slots:
    void log(QtMsgType type, const QString &msg);

private:
    void setUpStatusLine();
    void retranslate();
    void setUpLog();
    void tearDownLog();

    cMainWidget *mainWidget = nullptr;
    QPushButton *stopBtn = nullptr;
    QFile logFile;
};
