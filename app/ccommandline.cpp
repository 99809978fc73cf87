#include "app/ccommandline.h"

#include "app/cterminaloutput.h"
#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QSet>

#include <iterator>

namespace {

// The program's options, for the mode decision and the parser alike.
struct Option
{
    const char *names;       // one letter for a short name, separated by blanks
    const char *description; // nullptr: the parser adds it itself (help, version)
    const char *valueName;   // nullptr: a flag
    bool command;            // the program runs as a command without a window
};

enum OptionIndex
{
    Convert,
    Output,
    AppendWav,
    Overwrite,
    Update,
    KeepFolders,
    SafeNames,
    Format,
    Clean,
    Loudness,
    Trim,
    Jobs,
    OneFilePerRun,
    Quiet,
    ListFormats,
    Help,
    HelpAll,
    Version
};

const Option options[] = {
    {"convert", QT_TRANSLATE_NOOP("cCommandLine", "Convert without a window."), nullptr, true},
    {"o output",
     QT_TRANSLATE_NOOP("cCommandLine",
                       "Write the WAV files into <dir>, made if missing (default: the current folder)."),
     QT_TRANSLATE_NOOP("cCommandLine", "dir"), false},
    {"append-wav",
     QT_TRANSLATE_NOOP("cCommandLine", "Append .wav to the file names (hello.mp3 becomes hello.mp3.wav) instead of "
                                       "setting the extension to .wav."),
     nullptr, false},
    {"overwrite",
     QT_TRANSLATE_NOOP("cCommandLine", "Overwrite existing WAV files (default: skip them; a skipped file is no "
                                       "failure)."),
     nullptr, false},
    {"update",
     QT_TRANSLATE_NOOP("cCommandLine", "Convert a file only when its WAV file is missing or older than it; skip it "
                                       "otherwise."),
     nullptr, false},
    {"keep-folders",
     QT_TRANSLATE_NOOP("cCommandLine", "Write each file found in a named folder under its path relative to that "
                                       "folder (out/main-menu/greeting.wav), making folders as needed."),
     nullptr, false},
    {"safe-names",
     QT_TRANSLATE_NOOP("cCommandLine", "Write lower-case ASCII names: other scripts transliterated, blanks and "
                                       "punctuation turned into dashes (Welcome Greeting (final).mp3 becomes "
                                       "welcome-greeting-final.wav)."),
     nullptr, false},
    {"format",
     QT_TRANSLATE_NOOP("cCommandLine",
                       "Write the files in format <id> (default: wav8, 8 kHz 16-bit WAV); --list-formats lists them."),
     QT_TRANSLATE_NOOP("cCommandLine", "id"), false},
    {"clean",
     QT_TRANSLATE_NOOP("cCommandLine", "Copy no tags of the source and no mark of the encoder into the files (the "
                                       "formats but the default never carry them)."),
     nullptr, false},
    {"loudness",
     QT_TRANSLATE_NOOP("cCommandLine", "Bring every file to the loudness <lufs>, such as -18, by one gain, with "
                                       "true peaks at or below -3 dBTP (default: each file keeps its level)."),
     QT_TRANSLATE_NOOP("cCommandLine", "lufs"), false},
    {"trim",
     QT_TRANSLATE_NOOP("cCommandLine", "Cut silence (under -50 dBFS) at the start and the end of every file to 0.1 s."),
     nullptr, false},
    {"j jobs", QT_TRANSLATE_NOOP("cCommandLine", "Run up to <n> conversions at once (default: one per processor)."),
     QT_TRANSLATE_NOOP("cCommandLine", "n"), false},
    {"one-file-per-run",
     QT_TRANSLATE_NOOP("cCommandLine", "Run ffmpeg once for each file, never several small files in one run (for "
                                       "an ffmpeg on PATH that is a wrapper taking one input)."),
     nullptr, false},
    {"q quiet",
     QT_TRANSLATE_NOOP("cCommandLine", "Print only the files that failed and then the summary; nothing when every "
                                       "file was converted."),
     nullptr, false},
    {"list-formats", QT_TRANSLATE_NOOP("cCommandLine", "List the output formats and what each is for."), nullptr, true},
    {"h ? help", nullptr, nullptr, true},
    {"help-all", nullptr, nullptr, true},
    {"v version", nullptr, nullptr, true},
};

const Option *findOption(QStringView name)
{
    for (const Option &option : options) {
        for (const QByteArray &optionName : QByteArray(option.names).split(' ')) {
            if (name == QLatin1String(optionName))
                return &option;
        }
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
        command = command || option.command;
        if (!option.command && commandOnly.isEmpty())
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
    Request request;
    const Decision decision = decide(arguments);
    if (decision.mode == Mode::BadUsage) {
        request.text = decision.message();
        return request;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Converts sound files into 8 kHz mono 16-bit WAV files, the format phone systems want for voice prompts, "
           "or into another format they ask for (--format).\n"
           "With --convert it converts the files and folders named without a window; without it, the window opens "
           "with them listed."));
    for (const Option &option : options) {
        if (option.description) {
            parser.addOption(QCommandLineOption(QString::fromLatin1(option.names).split(QLatin1Char(' ')),
                                                tr(option.description),
                                                option.valueName ? tr(option.valueName) : QString()));
        }
    }
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(tr("FILE|FOLDER"),
                                 tr("Sound files, and folders whose sound files are converted, sub-folders included."),
                                 tr("FILE|FOLDER..."));
    const auto isSet = [&parser](OptionIndex index) {
        return parser.isSet(QString::fromLatin1(options[index].names).section(QLatin1Char(' '), 0, 0));
    };
    const auto value = [&parser](OptionIndex index) {
        return parser.value(QString::fromLatin1(options[index].names).section(QLatin1Char(' '), 0, 0));
    };

    if (!parser.parse(arguments)) {
        request.text = parser.errorText();
        return request;
    }
    if (isSet(Help) || isSet(HelpAll)) {
        request.action = Request::Action::Help;
        request.text = parser.helpText();
        return request;
    }
    if (isSet(Version)) {
        request.action = Request::Action::Version;
        request.text =
            QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
        return request;
    }
    if (isSet(ListFormats)) {
        request.action = Request::Action::ListFormats;
        for (const cOutputFormat &format : cOutputFormat::all())
            request.text +=
                QStringLiteral("%1 %2: %3\n").arg(format.id().leftJustified(10), format.name(), format.purpose());
        return request;
    }
    if (isSet(Format)) {
        if (!cOutputFormat::find(value(Format))) {
            request.text =
                tr("Invalid value for --format: '%1' (one of %2).").arg(value(Format), cOutputFormat::idList());
            return request;
        }
        request.options.format = value(Format);
    }
    if (isSet(Loudness)) {
        bool isNumber = false;
        const double lufs = value(Loudness).toDouble(&isNumber);
        if (!isNumber || lufs < cEvenLevel::minTarget || lufs > cEvenLevel::maxTarget) {
            request.text = tr("Invalid value for --loudness: '%1' (LUFS from %2 to %3, such as -18).")
                               .arg(value(Loudness))
                               .arg(cEvenLevel::minTarget)
                               .arg(cEvenLevel::maxTarget);
            return request;
        }
        request.options.loudness = lufs;
    }
    if (isSet(Jobs)) {
        bool isNumber = false;
        const int jobs = value(Jobs).toInt(&isNumber);
        if (!isNumber || jobs < 1) {
            request.text = tr("Invalid value for --jobs: '%1' (a whole number from 1 on).").arg(value(Jobs));
            return request;
        }
        if (jobs > maxJobs) {
            request.text =
                tr("Invalid value for --jobs: '%1' (at most %2 conversions at once).").arg(value(Jobs)).arg(maxJobs);
            return request;
        }
        request.options.jobs = jobs;
    }
    request.paths = parser.positionalArguments();
    if (request.paths.isEmpty()) {
        request.text = tr("No file or folder given.");
        return request;
    }
    request.action = Request::Action::Convert;
    request.options.outputFolder = value(Output);
    request.options.nameRule = isSet(AppendWav) ? cBatch::NameRule::AppendExtension : cBatch::NameRule::ChangeExtension;
    if (isSet(Overwrite) && isSet(Update)) {
        request.action = Request::Action::BadUsage;
        request.text = tr("Options --overwrite and --update exclude each other.");
        return request;
    }
    request.options.existingRule = isSet(Overwrite) ? cBatch::ExistingRule::Overwrite
                                   : isSet(Update)  ? cBatch::ExistingRule::Update
                                                    : cBatch::ExistingRule::Skip;
    request.options.keepFolders = isSet(KeepFolders);
    request.options.safeNames = isSet(SafeNames);
    request.options.clean = isSet(Clean);
    request.options.trim = isSet(Trim);
    if (isSet(OneFilePerRun))
        request.options.oneFilePerRun = true;
    request.quiet = isSet(Quiet);
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
