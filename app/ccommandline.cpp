#include "app/ccommandline.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QSet>

#include <cstdio>

namespace {

QSet<QByteArray> wordSet(const QByteArray &words)
{
    const QList<QByteArray> list = words.split(' ');
    return QSet<QByteArray>(list.cbegin(), list.cend());
}

// The options Qt takes out of the arguments itself (the GUI and Widgets
// modules and the X11 platform plugin), with one dash or two. Those of the
// first set take the next argument as their value unless written "-name=value".
const QSet<QByteArray> qtOptionsWithValue =
    wordSet("platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowicon icon qwindowtitle "
            "title session style stylesheet display name visual");
const QSet<QByteArray> qtFlags = wordSet("reverse widgetcount testability qmljsdebugger qdebug qdevel dograb nograb");

// The options that make the program a command without a window.
const QSet<QByteArray> commandOptions{"--convert", "-h", "-?", "--help", "--help-all", "-v", "--version"};

} // namespace

cCommandLine::Mode cCommandLine::mode(int argc, const char *const *argv, QString *unknownName)
{
    QByteArray unknown; // as QCommandLineParser names it: without dashes and value
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        if (commandOptions.contains(arg))
            return Mode::Command;
        if (arg.size() < 2 || !arg.startsWith('-') || !unknown.isEmpty())
            continue;
        QByteArray name = arg.mid(arg.startsWith("--") ? 2 : 1);
        const qsizetype equals = name.indexOf('=');
        if (equals >= 0)
            name.truncate(equals);
        if (qtOptionsWithValue.contains(name)) {
            if (equals < 0)
                ++i;
        } else if (!qtFlags.contains(name)) {
            unknown = name;
        }
    }
    if (unknown.isEmpty())
        return Mode::Window;
    if (unknownName)
        *unknownName = QString::fromLocal8Bit(unknown);
    return Mode::BadUsage;
}

std::optional<QStringList> cCommandLine::windowPaths(const QStringList &arguments)
{
    // A parser without options of its own: whatever option Qt has left is
    // unknown, and "--" makes the rest names, also those starting with a dash.
    QCommandLineParser parser;
    // Qt's options are words after one dash: name them whole in the message.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        badUsage(parser.errorText());
        return std::nullopt;
    }
    return parser.positionalArguments();
}

void cCommandLine::unknownOption(const QString &name)
{
    badUsage(tr("Unknown option '%1'.").arg(name));
}

void cCommandLine::badUsage(const QString &message)
{
    const QString program = QStringLiteral("marrowby");
    const QString line = tr("%1: %2 Try \"%1 --help\".").arg(program, message) + QLatin1Char('\n');
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}
