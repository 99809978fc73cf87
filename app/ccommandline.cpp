#include "app/ccommandline.h"

#include "app/cterminaloutput.h"
#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSet>

namespace {

using Request = cCommandLine::Request;

// What naming an option does to how the program runs.
enum class Kind
{
    Setting, // a choice of the command's: it works only with --convert
    Mode,    // the program runs as a command without a window
    Action   // the same, to print something instead of converting
};

// The program's options, each declared once, for the mode decision and the
// parser alike.
struct Option
{
    const char *names;       // one letter for a short name, separated by blanks
    const char *description; // nullptr: the parser adds it itself (help, version)
    const char *valueName;   // nullptr: a flag
    Kind kind;
    // Sets in the request what the option asks for, from the values given
    // in order (none for a flag; an option taken once goes by its last, as
    // QCommandLineParser::value() does); returns why a value is bad usage,
    // or nothing. nullptr: it sets nothing (--convert only chooses the mode).
    QString (*set)(Request &request, const QStringList &values);

    QStringList nameList() const { return QString::fromLatin1(names).split(QLatin1Char(' ')); }
    QString name() const { return nameList().constFirst(); }
};

// A flag that sets one of the batch's options to a value.
template <auto field, auto value>
QString sets(Request &request, const QStringList &)
{
    request.options.*field = value;
    return QString();
}

// The help itself is the parser's text, which readCommand() adds.
QString askHelp(Request &request, const QStringList &)
{
    request.action = Request::Action::Help;
    return QString();
}

// Actions come last: the parser adds help and version after the others
// itself, and of several actions asked for, the first here is done.
const Option options[] = {
    {"convert", QT_TRANSLATE_NOOP("cCommandLine", "Convert without a window."), nullptr, Kind::Mode, nullptr},
    {"o output",
     QT_TRANSLATE_NOOP("cCommandLine",
                       "Write the WAV files into <dir>, made if missing (default: the current folder)."),
     QT_TRANSLATE_NOOP("cCommandLine", "dir"), Kind::Setting,
     [](Request &request, const QStringList &values) {
         request.options.outputFolder = values.constLast();
         return QString();
     }},
    {"append-wav",
     QT_TRANSLATE_NOOP("cCommandLine", "Append .wav to the file names (hello.mp3 becomes hello.mp3.wav) instead of "
                                       "setting the extension to .wav."),
     nullptr, Kind::Setting, sets<&cBatch::Options::nameRule, cBatch::NameRule::AppendExtension>},
    {"overwrite",
     QT_TRANSLATE_NOOP("cCommandLine", "Overwrite existing WAV files (default: skip them; a skipped file is no "
                                       "failure)."),
     nullptr, Kind::Setting, sets<&cBatch::Options::existingRule, cBatch::ExistingRule::Overwrite>},
    {"update",
     QT_TRANSLATE_NOOP("cCommandLine", "Convert a file only when its WAV file is missing or older than it; skip it "
                                       "otherwise."),
     nullptr, Kind::Setting, sets<&cBatch::Options::existingRule, cBatch::ExistingRule::Update>},
    {"keep-folders",
     QT_TRANSLATE_NOOP("cCommandLine", "Write each file found in a named folder under its path relative to that "
                                       "folder (out/main-menu/greeting.wav), making folders as needed."),
     nullptr, Kind::Setting, sets<&cBatch::Options::keepFolders, true>},
    {"safe-names",
     QT_TRANSLATE_NOOP("cCommandLine", "Write lower-case ASCII names: other scripts transliterated, blanks and "
                                       "punctuation turned into dashes (Welcome Greeting (final).mp3 becomes "
                                       "welcome-greeting-final.wav)."),
     nullptr, Kind::Setting, sets<&cBatch::Options::safeNames, true>},
    {"format",
     QT_TRANSLATE_NOOP("cCommandLine",
                       "Write the files in format <id> (default: wav8, 8 kHz 16-bit WAV); --list-formats lists them."),
     QT_TRANSLATE_NOOP("cCommandLine", "id"), Kind::Setting,
     [](Request &request, const QStringList &values) {
         const QString &value = values.constLast();
         if (!cOutputFormat::find(value)) {
             return cCommandLine::tr("Invalid value for --format: '%1' (one of %2).")
                 .arg(value, cOutputFormat::idList());
         }
         request.options.formats = {value};
         return QString();
     }},
    {"clean",
     QT_TRANSLATE_NOOP("cCommandLine", "Copy no tags of the source and no mark of the encoder into the files (the "
                                       "formats but the default never carry them)."),
     nullptr, Kind::Setting, sets<&cBatch::Options::clean, true>},
    {"loudness",
     QT_TRANSLATE_NOOP("cCommandLine", "Bring every file to the loudness <lufs>, such as -18, by one gain, with "
                                       "true peaks at or below -3 dBTP (default: each file keeps its level)."),
     QT_TRANSLATE_NOOP("cCommandLine", "lufs"), Kind::Setting,
     [](Request &request, const QStringList &values) {
         const QString &value = values.constLast();
         bool isNumber = false;
         const double lufs = value.toDouble(&isNumber);
         if (!isNumber || lufs < cEvenLevel::minTarget || lufs > cEvenLevel::maxTarget) {
             return cCommandLine::tr("Invalid value for --loudness: '%1' (LUFS from %2 to %3, such as -18).")
                 .arg(value)
                 .arg(cEvenLevel::minTarget)
                 .arg(cEvenLevel::maxTarget);
         }
         request.options.loudness = lufs;
         return QString();
     }},
    {"trim",
     QT_TRANSLATE_NOOP("cCommandLine", "Cut silence (under -50 dBFS) at the start and the end of every file to 0.1 s."),
     nullptr, Kind::Setting, sets<&cBatch::Options::trim, true>},
    {"j jobs", QT_TRANSLATE_NOOP("cCommandLine", "Run up to <n> conversions at once (default: one per processor)."),
     QT_TRANSLATE_NOOP("cCommandLine", "n"), Kind::Setting,
     [](Request &request, const QStringList &values) {
         const QString &value = values.constLast();
         bool isNumber = false;
         const int jobs = value.toInt(&isNumber);
         if (!isNumber || jobs < 1)
             return cCommandLine::tr("Invalid value for --jobs: '%1' (a whole number from 1 on).").arg(value);
         if (jobs > cCommandLine::maxJobs) {
             return cCommandLine::tr("Invalid value for --jobs: '%1' (at most %2 conversions at once).")
                 .arg(value)
                 .arg(cCommandLine::maxJobs);
         }
         request.options.jobs = jobs;
         return QString();
     }},
    {"one-file-per-run",
     QT_TRANSLATE_NOOP("cCommandLine", "Run ffmpeg once for each file, never several small files in one run (for "
                                       "an ffmpeg on PATH that is a wrapper taking one input)."),
     nullptr, Kind::Setting, sets<&cBatch::Options::oneFilePerRun, true>},
    {"q quiet",
     QT_TRANSLATE_NOOP("cCommandLine", "Print only the files that failed and then the summary; nothing when every "
                                       "file was converted."),
     nullptr, Kind::Setting,
     [](Request &request, const QStringList &) {
         request.quiet = true;
         return QString();
     }},
    // "?" is the parser's only on Windows.
    {"h ? help", nullptr, nullptr, Kind::Action, askHelp},
    {"help-all", nullptr, nullptr, Kind::Action, askHelp},
    {"v version", nullptr, nullptr, Kind::Action,
     [](Request &request, const QStringList &) {
         request.action = Request::Action::Version;
         request.text =
             QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
         return QString();
     }},
    {"list-formats", QT_TRANSLATE_NOOP("cCommandLine", "List the output formats and what each is for."), nullptr,
     Kind::Action,
     [](Request &request, const QStringList &) {
         request.action = Request::Action::ListFormats;
         for (const cOutputFormat &format : cOutputFormat::all())
             request.text +=
                 QStringLiteral("%1 %2: %3\n").arg(format.id().leftJustified(10), format.name(), format.purpose());
         return QString();
     }},
};

const Option *findOption(QStringView name)
{
    for (const Option &option : options) {
        if (option.nameList().contains(name))
            return &option;
    }
    return nullptr;
}

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
        return findOption(arg.mid(2).section(QLatin1Char('='), 0, 0)) != nullptr;
    return arg.size() == 2 && arg.startsWith(QLatin1Char('-')) && findOption(QStringView(arg).mid(1)) != nullptr;
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
            if (const Option *const option = findOption(name)) {
                found(*option, QStringLiteral("--") + name);
                if (option->valueName && !valueAttached)
                    takeNext(i, arg);
            } else if (unknown.isEmpty()) {
                unknown = name;
            }
        } else if (!findOption(word.left(1))) {
            // Named whole, as Qt's own options after one dash are.
            if (unknown.isEmpty())
                unknown = name;
        } else {
            for (qsizetype pos = 0; pos < word.size(); ++pos) {
                const QString letter = word.mid(pos, 1);
                const Option *const option = findOption(letter);
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
           "or into another format they ask for (--format).\n"
           "With --convert it converts the files and folders named without a window; without it, the window opens "
           "with them listed."));
    for (const Option &option : options) {
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
    for (const Option &option : options) {
        if (option.kind == Kind::Action && parser.isSet(option.name())) {
            option.set(request, QStringList());
            if (request.action == Request::Action::Help)
                request.text = parser.helpText();
            return request;
        }
    }
    // In the table's order: the first bad value is the one reported.
    for (const Option &option : options) {
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
