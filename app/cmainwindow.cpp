#include "app/cmainwindow.h"

#include "app/clogmessage.h"
#include "ui/cmainwidget.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QSettings>
#include <QStatusBar>
#include <QTextCodec>

namespace {
const QRect defaultGeometry(40, 40, 650, 650);
} // namespace

cMainWindow::cMainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QCoreApplication::applicationName());
    setWindowTitle(
        QStringLiteral("%1 %2.%3").arg(windowTitle()).arg(MARROWBY_VERSION_MAJOR).arg(MARROWBY_VERSION_MINOR));

    mainWidget = new cMainWidget(this);
    setCentralWidget(mainWidget);
    setUpStatusLine();

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

    // The central widget goes first, so that what its workers report while
    // they stop (the files a batch was converting) still reaches the log.
    delete takeCentralWidget();
    mainWidget = nullptr;
    tearDownLog();
}

// The status line: what the list or the batch says, and a Stop button while
// a batch or a preview runs. A plain label, so screen readers read it.
void cMainWindow::setUpStatusLine()
{
    auto *const statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setTextFormat(Qt::PlainText);
    // A long text is cut rather than widening the window.
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stopBtn = new QPushButton(this);
    stopBtn->setObjectName(QStringLiteral("stopBtn"));
    stopBtn->hide();
    statusBar()->addWidget(statusLabel, 1);
    statusBar()->addPermanentWidget(stopBtn);

    connect(mainWidget, &cMainWidget::statusChanged, statusLabel,
            [statusLabel, this](const QString &text, bool stoppable) {
                statusLabel->setText(text);
                statusLabel->setToolTip(text);
                stopBtn->setVisible(stoppable);
            });
    connect(stopBtn, &QPushButton::clicked, mainWidget, &cMainWidget::stop);
    retranslate();
}

void cMainWindow::retranslate()
{
    stopBtn->setText(tr("Stop"));
    stopBtn->setToolTip(tr("Stop the batch or the preview (Esc)"));
}

// The window's own texts follow a change of language as the central widget's do.
void cMainWindow::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        retranslate();
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
    openLogFile(logFile);
    connect(&globalLogMessage(), &cLogMessage::log, this, &cMainWindow::log, Qt::QueuedConnection);
    startLogging(windowTitle());
}

void cMainWindow::tearDownLog()
{
    closeLogFile(logFile, this);
}

void cMainWindow::log(QtMsgType type, const QString &msg)
{
    Q_UNUSED(type)
    appendLogLine(logFile, msg);
}
