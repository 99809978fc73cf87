#include "app/ccommandline.h"

#include "app/ccommandlineoption.h"
#include "app/cterminaloutput.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSet>

namespace {

using Request = cCommandLine::Request;
using Option = cCommandLineOption;
using Kind = cCommandLineOption::Kind;

QSet<QString> wordSet(const char *words)
{
    const QStringList list = QString::fromLatin1(words).split(QLatin1Char(' '));
    return QSet<QString>(list.cbegin(), list.cend());
}

// The options Qt takes out of the arguments itself (the GUI and Widgets
// modules and the X11 platform plugin), with one dash or two. Those of the
// first set take the next argument as their value unless written "-name=value".
const QSet<QString> qtOptionsWithValue =
    wordSet("platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowicon icon qwindowtitle "
            "title session style stylesheet display name visual");
const QSet<QString> qtFlags = wordSet("reverse widgetcount testability qmljsdebugger qdebug qdevel dograb nograb");

// A word that is one of the program's own options, or "--": never taken as
// an option's value, which the user has surely left out.
bool isOwnOption(const QString &arg)
{
    if (arg == QLatin1String("--"))
        return true;
    if (arg.startsWith(QLatin1String("--")))
        return Option::find(arg.mid(2).section(QLatin1Char('='), 0, 0)) != nullptr;
    return arg.size() == 2 && arg.startsWith(QLatin1Char('-')) && Option::find(QStringView(arg).mid(1)) != nullptr;
}

} // namespace

cCommandLine::Decision cCommandLine::decide(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return decide(arguments);
}

// Reads the options as QCommandLineParser does with compacted short options
// ("-qj2"), and Qt's own as the application object does.
cCommandLine::Decision cCommandLine::decide(const QStringList &arguments)
{
    Decision decision;
    QString unknown;
    QString commandOnly;
    bool command = false;
    // The option, as typed, takes the next argument as its value.
    const auto takeNext = [&](qsizetype &i, const QString &option) {
        if (i + 1 < arguments.size() && isOwnOption(arguments.at(i + 1))) {
            decision.fault = Decision::Fault::OptionAsValue;
            decision.option = option;
            decision.value = arguments.at(i + 1);
        }
        ++i;
    };
    const auto found = [&](const Option &option, const QString &typed) {
        command = command || option.kind != Kind::Setting;
        if (option.kind == Kind::Setting && commandOnly.isEmpty())
            commandOnly = typed;
    };

    for (qsizetype i = 1; i < arguments.size() && decision.fault == Decision::Fault::None; ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--"))
            break;
        if (arg.size() < 2 || !arg.startsWith(QLatin1Char('-')))
            continue;
        const bool longForm = arg.startsWith(QLatin1String("--"));
        const QString word = arg.mid(longForm ? 2 : 1);
        const QString name = word.section(QLatin1Char('='), 0, 0);
        const bool valueAttached = word.contains(QLatin1Char('='));
        if (qtOptionsWithValue.contains(name)) {
            if (!valueAttached)
                takeNext(i, arg);
        } else if (qtFlags.contains(name)) {
            continue;
        } else if (longForm) {
            if (const Option *const option = Option::find(name)) {
                found(*option, QStringLiteral("--") + name);
                if (option->valueName && !valueAttached)
                    takeNext(i, arg);
            } else if (unknown.isEmpty()) {
                unknown = name;
            }
        } else if (!Option::find(word.left(1))) {
            // Named whole, as Qt's own options after one dash are.
            if (unknown.isEmpty())
                unknown = name;
        } else {
            for (qsizetype pos = 0; pos < word.size(); ++pos) {
                const QString letter = word.mid(pos, 1);
                const Option *const option = Option::find(letter);
                if (!option) {
                    if (unknown.isEmpty())
                        unknown = letter;
                    continue;
                }
                found(*option, QLatin1Char('-') + letter);
                // The rest of the word is its value, else the next argument is.
                if (option->valueName) {
                    if (pos + 1 == word.size())
                        takeNext(i, QLatin1Char('-') + letter);
                    break;
                }
            }
        }
    }

    if (decision.fault == Decision::Fault::OptionAsValue)
        decision.mode = Mode::BadUsage;
    else if (command)
        decision.mode = Mode::Command;
    else if (!unknown.isEmpty())
        decision = {Mode::BadUsage, Decision::Fault::UnknownOption, unknown, QString()};
    else if (!commandOnly.isEmpty())
        decision = {Mode::BadUsage, Decision::Fault::CommandOnly, commandOnly, QString()};
    return decision;
}

QString cCommandLine::Decision::message() const
{
    switch (fault) {
    case Fault::UnknownOption:
        return tr("Unknown option '%1'.").arg(option);
    case Fault::OptionAsValue:
        return tr("Missing value after '%1': '%2' is an option.").arg(option, value);
    case Fault::CommandOnly:
        return tr("Option '%1' works only with --convert.").arg(option);
    case Fault::None:
        break;
    }
    return QString();
}

cCommandLine::Request cCommandLine::readCommand(const QStringList &arguments)
{
    const auto badUsageRequest = [](const QString &why) {
        Request request;
        request.text = why;
        return request;
    };
    const Decision decision = decide(arguments);
    if (decision.mode == Mode::BadUsage)
        return badUsageRequest(decision.message());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Converts sound files into 8 kHz mono 16-bit WAV files, the format phone systems want for voice prompts, "
           "or into the other formats they ask for (--format), named and laid out as one system wants them "
           "(--target).\n"
           "With --convert it converts the files and folders named without a window; without it, the window opens "
           "with them listed."));
    for (const Option &option : cCommandLineOption::all()) {
        if (option.description) {
            parser.addOption(QCommandLineOption(option.nameList(), tr(option.description),
                                                option.valueName ? tr(option.valueName) : QString()));
        }
    }
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(tr("FILE|FOLDER"),
                                 tr("Sound files, and folders whose sound files are converted, sub-folders included."),
                                 tr("FILE|FOLDER..."));
    if (!parser.parse(arguments))
        return badUsageRequest(parser.errorText());

    Request request;
    // An action is done whatever else is asked, even with bad values.
    for (const Option &option : cCommandLineOption::all()) {
        if (option.kind == Kind::Action && parser.isSet(option.name())) {
            option.set(request, QStringList());
            if (request.action == Request::Action::Help)
                request.text = parser.helpText();
            return request;
        }
    }
    // In the table's order: the first bad value is the one reported.
    for (const Option &option : cCommandLineOption::all()) {
        if (option.set && parser.isSet(option.name())) {
            const QString why = option.set(request, parser.values(option.name()));
            if (!why.isEmpty())
                return badUsageRequest(why);
        }
    }
    request.paths = parser.positionalArguments();
    if (request.paths.isEmpty())
        return badUsageRequest(tr("No file or folder given."));
    if (parser.isSet(QStringLiteral("overwrite")) && parser.isSet(QStringLiteral("update")))
        return badUsageRequest(tr("Options --overwrite and --update exclude each other."));
    request.action = Request::Action::Convert;
    return request;
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

void cCommandLine::badUsage(const QString &message)
{
    const QString program = QStringLiteral("marrowby");
    cTerminalOutput::printError(tr("%1: %2 Try \"%1 --help\".").arg(program, message));
}
