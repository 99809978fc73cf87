#include "app/ccommandlineoption.h"

#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"
#include "workers/ctarget.h"

namespace {

using Request = cCommandLine::Request;
using Kind = cCommandLineOption::Kind;

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

// The formats the target takes, in the formats' order, separated by ", ".
QString takenList(const cTarget &target)
{
    QStringList ids;
    for (const cOutputFormat &format : cOutputFormat::all()) {
        if (target.takes(format.id()))
            ids << format.id();
    }
    return ids.join(QStringLiteral(", "));
}

// Must come before --format and --language in the table, which read it.
QString setTarget(Request &request, const QStringList &values)
{
    const QString &value = values.constLast();
    if (!cTarget::find(value))
        return cCommandLine::tr("Invalid value for --target: '%1' (one of %2).").arg(value, cTarget::idList());
    request.options.target = value;
    return QString();
}

// Every value given, each a list separated by commas, replaces the target's
// set: a format once, in the order given.
QString setFormats(Request &request, const QStringList &values)
{
    const cTarget &target = cTarget::byId(request.options.target);
    QStringList formats;
    for (const QString &value : values) {
        for (const QString &id : value.split(QLatin1Char(','))) {
            if (!cOutputFormat::find(id))
                return cCommandLine::tr("Invalid value for --format: '%1' (one of %2).")
                    .arg(id, cOutputFormat::idList());
            if (!target.takes(id)) {
                return cCommandLine::tr("Invalid value for --format with --target %1: '%2' (one of %3).")
                    .arg(target.id(), id, takenList(target));
            }
            if (!formats.contains(id))
                formats << id;
        }
    }
    // Two formats that the target names and files alike would write one file twice.
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const cOutputFormat &first = cOutputFormat::byId(formats.at(i));
        for (qsizetype j = i + 1; j < formats.size(); ++j) {
            const cOutputFormat &second = cOutputFormat::byId(formats.at(j));
            if (target.writesOneFile(first, second)) {
                return cCommandLine::tr("Formats %1 and %2 would both write the same .%3 file: give only one of "
                                        "them.")
                    .arg(first.id(), second.id(), target.ending(first));
            }
        }
    }
    request.options.formats = formats;
    return QString();
}

QString setLanguage(Request &request, const QStringList &values)
{
    const QString &value = values.constLast();
    if (!cTarget::byId(request.options.target).hasLanguageFolders()) {
        QStringList ids;
        for (const cTarget &target : cTarget::all()) {
            if (target.hasLanguageFolders())
                ids << target.id();
        }
        return cCommandLine::tr("Option --language works only with a target that keeps a folder per language "
                                "(--target %1).")
            .arg(ids.join(QStringLiteral(", ")));
    }
    if (!cTarget::isLanguage(value)) {
        return cCommandLine::tr("Invalid value for --language: '%1' (a language code such as en, fr_CA or pt_BR).")
            .arg(value);
    }
    request.options.language = value;
    return QString();
}

// A target's line: its formats, and those a --format may add.
QString listTargets(Request &request, const QStringList &)
{
    request.action = Request::Action::ListTargets;
    for (const cTarget &target : cTarget::all()) {
        QString writes = target.purpose();
        if (!target.isGeneric()) {
            QStringList also;
            for (const cOutputFormat &format : cOutputFormat::all()) {
                if (target.takes(format.id()) && !target.formats().contains(format.id()))
                    also << format.id();
            }
            writes = target.formats().join(QStringLiteral(", "));
            if (!also.isEmpty())
                writes = cCommandLine::tr("%1; also takes %2").arg(writes, also.join(QStringLiteral(", ")));
        }
        request.text += QStringLiteral("%1 %2: %3\n").arg(target.id().leftJustified(14), target.name(), writes);
    }
    return QString();
}

} // namespace

const QList<cCommandLineOption> &cCommandLineOption::all()
{
    static const QList<cCommandLineOption> options{
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
        {"target",
         QT_TRANSLATE_NOOP("cCommandLine",
                           "Write the files as the phone system <id> plays them: its formats, names and "
                           "folders (default: generic, the format chosen, named as always); "
                           "--list-targets lists them."),
         QT_TRANSLATE_NOOP("cCommandLine", "id"), Kind::Setting, setTarget},
        {"format",
         QT_TRANSLATE_NOOP(
             "cCommandLine",
             "Write the files in format <id> (default: wav8, 8 kHz 16-bit WAV; with --target, its formats). "
             "May be given several times, or as <id>,<id>,...: each file is then written in each format. "
             "--list-formats lists them."),
         QT_TRANSLATE_NOOP("cCommandLine", "id"), Kind::Setting, setFormats},
        {"language",
         QT_TRANSLATE_NOOP("cCommandLine", "Write the files into the folder of language <code>, such as en or fr_CA, "
                                           "for a target with a folder per language (asterisk)."),
         QT_TRANSLATE_NOOP("cCommandLine", "code"), Kind::Setting, setLanguage},
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
         QT_TRANSLATE_NOOP("cCommandLine",
                           "Cut silence (under -50 dBFS) at the start and the end of every file to 0.1 s."),
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
             request.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                          QCoreApplication::applicationVersion());
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
        {"list-targets",
         QT_TRANSLATE_NOOP("cCommandLine", "List the targets, the phone systems the files can be made for, and the "
                                           "formats each writes."),
         nullptr, Kind::Action, listTargets},
    };
    return options;
}

const cCommandLineOption *cCommandLineOption::find(QStringView name)
{
    for (const cCommandLineOption &option : all()) {
        if (option.nameList().contains(name))
            return &option;
    }
    return nullptr;
}
