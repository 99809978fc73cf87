#include "app/cbatchcommand.h"
#include "app/ccommandline.h"
#include "app/clanguage.h"
#include "app/cmainwindow.h"
#include "app/csignalwatcher.h"
#include "workers/cprocessgroups.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QTextCodec>

#include <optional>

int main(int argc, char **argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QStringLiteral("Marrowby"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARROWBY_VERSION));
    // Ctrl-Z stops the converter programs with Marrowby, and fg continues them.
    cProcessGroups::followJobControl();

    // Qt 6 keeps a codec setting only for the locale; the program's own 8-bit
    // texts (the style sheet, the log) are converted with this codec by hand.
    QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    QTextCodec::setCodecForLocale(codec);

    // Decided before any application object exists: a QApplication without a
    // display ends the process, and the command must run over SSH.
    const cCommandLine::Decision decision = cCommandLine::decide(argc, argv);
    switch (decision.mode) {
    case cCommandLine::Mode::BadUsage: {
        // The translations need an application object; this one needs no display.
        QCoreApplication app(argc, argv);
        cLanguage::install();
        cCommandLine::badUsage(decision.message());
        return cCommandLine::badUsageStatus;
    }
    case cCommandLine::Mode::Command: {
        QCoreApplication app(argc, argv);
        cLanguage::install();
        cBatchCommand command;
        return command.run(QCoreApplication::arguments());
    }
    case cCommandLine::Mode::Window:
        break;
    }

    QApplication app(argc, argv);
    cLanguage::install();
    // QApplication has taken its own options out of the arguments by now.
    const std::optional<QStringList> paths = cCommandLine::windowPaths(QCoreApplication::arguments());
    if (!paths)
        return cCommandLine::badUsageStatus;
    cMainWindow::setUpApplication();

    auto *const window = new cMainWindow;
    if (!paths->isEmpty())
        window->listFiles(*paths);
    window->show();
    int result = 0;
    {
        // Ctrl-C in the terminal it was started from, SIGTERM and SIGHUP close
        // the window as its close button does: settings saved, batch stopped,
        // log closed. Once the window is gone, one ends the program at once.
        const cSignalWatcher closeSignals(cSignalWatcher::stopSignals());
        QObject::connect(&closeSignals, &cSignalWatcher::arrived, window, [](int number) {
            qDebug() << "Closing on signal" << number;
            QApplication::closeAllWindows();
        });
        result = QApplication::exec();
    }
    delete window;
    return result;
}
