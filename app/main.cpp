#include "app/cmainwindow.h"

#include <QApplication>
#include <QTextCodec>

int main(int argc, char **argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QStringLiteral("Marrowby"));

    // Qt 6 keeps a codec setting only for the locale; the program's own 8-bit
    // texts (the style sheet, the log) are converted with this codec by hand.
    QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    QTextCodec::setCodecForLocale(codec);

    QApplication app(argc, argv);
    cMainWindow::setUpApplication();

    auto *const window = new cMainWindow;
    window->show();
    const int result = QApplication::exec();
    delete window;
    return result;
}
