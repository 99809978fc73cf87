#include "app/cmainwindow.h"

#include "app/clogmessage.h"
#include "ui/cmainwidget.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QIcon>
#include <QMetaType>
#include <QRect>
#include <QSettings>
#include <QTextCodec>

namespace {
const QRect defaultGeometry(40, 40, 650, 650);
} // namespace

cMainWindow::cMainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QCoreApplication::applicationName());
    setWindowTitle(QStringLiteral("%1 %2.%3").arg(windowTitle()).arg(1).arg(0));

    mainWidget = new cMainWidget(this);
    setCentralWidget(mainWidget);

    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWindow"));
    restoreState(settings.value(QStringLiteral("State")).toByteArray(), 0);
    setGeometry(settings.value(QStringLiteral("Geometry"), defaultGeometry).toRect());
    if (settings.value(QStringLiteral("IsMaximized"), false).toBool())
        showMaximized();
    settings.endGroup();

    setUpLog();
}

cMainWindow::~cMainWindow()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWindow"));
    settings.setValue(QStringLiteral("State"), saveState(0));
    settings.setValue(QStringLiteral("IsMaximized"), isMaximized());
    settings.setValue(QStringLiteral("Geometry"), geometry());
    settings.endGroup();
    settings.sync();

    // The central widget and its workers die after this, with the handler gone:
    // what they report while being destroyed goes to Qt's default output.
    tearDownLog();
}

void cMainWindow::setUpApplication()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/converter.ico")));
    // The style sheet is stored in Windows-1251, like the program's other 8-bit texts.
    QFile styleSheet(QStringLiteral(":/css/marrowby.css"));
    if (styleSheet.open(QIODevice::ReadOnly | QIODevice::Text))
        qApp->setStyleSheet(QTextCodec::codecForName("Windows-1251")->toUnicode(styleSheet.readAll()));
}

void cMainWindow::listFiles(const QStringList &paths)
{
    mainWidget->listFiles(paths);
}

void cMainWindow::setUpLog()
{
    logFile.setFileName(logFileName());
    logFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    registerLogFile(&logFile);

    qRegisterMetaType<QtMsgType>("QtMsgType");
    connect(&globalLogMessage(), &cLogMessage::log, this, &cMainWindow::log, Qt::QueuedConnection);
    qInstallMessageHandler(logMessageHandler);

    qDebug() << windowTitle() << "application started, build date:" << __DATE__ << __TIME__;
    qDebug() << "Current date:" << QDateTime::currentDateTime();
}

void cMainWindow::tearDownLog()
{
    qInstallMessageHandler(nullptr);
    unregisterLogFile(&logFile);
    logFile.close();
}

void cMainWindow::log(QtMsgType type, const QString &msg)
{
    Q_UNUSED(type)
    appendLogLine(logFile, msg);
}
