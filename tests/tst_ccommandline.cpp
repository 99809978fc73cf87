#include "app/ccommandline.h"
#include "app/cterminaloutput.h"
#include "workers/cconverter.h"

#include <QtTest>

// The arguments as the program reads them, without starting it: the mode
// decided before any application object, what the command is asked to do,
// and the escaping of its lines.
class tst_cCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void decide_data();
    void decide();
    void readCommand_data();
    void readCommand();
    void printable_data();
    void printable();
};

void tst_cCommandLine::decide_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("message");

    const int window = int(cCommandLine::Mode::Window);
    const int command = int(cCommandLine::Mode::Command);
    const int bad = int(cCommandLine::Mode::BadUsage);
    QTest::newRow("files") << QStringList{"a.mp3", "b"} << window << QString();
    QTest::newRow("--convert after a file") << QStringList{"a.mp3", "--convert"} << command << QString();
    QTest::newRow("compacted options") << QStringList{"--convert", "-qj2", "-oout", "a"} << command << QString();
    QTest::newRow("help") << QStringList{"-?"} << command << QString();
    QTest::newRow("-o --convert: a value that is an option")
        << QStringList{"-o", "--convert", "x.mp3"} << bad << "Missing value after '-o': '--convert' is an option.";
    QTest::newRow("--convert --jobs --") << QStringList{"--convert", "--jobs", "--", "x.mp3"} << bad
                                         << "Missing value after '--jobs': '--' is an option.";
    QTest::newRow("a value attached by = is taken")
        << QStringList{"--convert", "--output=--convert", "x"} << command << QString();
    QTest::newRow("-- --convert: a file") << QStringList{"--", "--convert"} << window << QString();
    QTest::newRow("Qt's options") << QStringList{"-platform", "xcb", "-style=fusion", "--reverse", "-name",
                                                 "-bogus",    "x"}
                                  << window << QString();
    QTest::newRow("Qt's option value that is an option")
        << QStringList{"-style", "--convert"} << bad << "Missing value after '-style': '--convert' is an option.";
    QTest::newRow("an option of the command without --convert")
        << QStringList{"x.mp3", "-j", "2"} << bad << "Option '-j' works only with --convert.";
    QTest::newRow("unknown after one dash, named whole") << QStringList{"-bogus"} << bad << "Unknown option 'bogus'.";
    QTest::newRow("unknown in compacted options") << QStringList{"-qx"} << bad << "Unknown option 'x'.";
    QTest::newRow("list formats") << QStringList{"--list-formats"} << command << QString();
    QTest::newRow("a format without --convert")
        << QStringList{"--format", "ulaw", "x.mp3"} << bad << "Option '--format' works only with --convert.";
    QTest::newRow("list targets") << QStringList{"--list-targets"} << command << QString();
    QTest::newRow("a target without --convert")
        << QStringList{"--target", "asterisk", "x.mp3"} << bad << "Option '--target' works only with --convert.";
    QTest::newRow("a negative loudness is its value")
        << QStringList{"--convert", "--loudness", "-18", "x.mp3"} << command << QString();
}

void tst_cCommandLine::decide()
{
    QFETCH(QStringList, args);
    QFETCH(int, mode);
    QFETCH(QString, message);
    args.prepend(QStringLiteral("marrowby"));
    const cCommandLine::Decision decision = cCommandLine::decide(args);
    QCOMPARE(int(decision.mode), mode);
    QCOMPARE(decision.message(), message);
}

void tst_cCommandLine::readCommand_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("text"); // why it is bad usage; empty for a conversion
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QString>("chosen"); // the output choices that differ from the defaults

    QTest::newRow("-j 0") << QStringList{"-j", "0", "a"} << "Invalid value for --jobs: '0' (a whole number from 1 on)."
                          << QStringList() << 0 << QString();
    QTest::newRow("-j 65") << QStringList{"-j", "65", "a"}
                           << "Invalid value for --jobs: '65' (at most 64 conversions at once)." << QStringList() << 0
                           << QString();
    QTest::newRow("-j64") << QStringList{"-j64", "a"} << QString() << QStringList{"a"} << 64 << QString();
    QTest::newRow("-j 0 -j 2: the last value counts")
        << QStringList{"-j", "0", "-j", "2", "a"} << QString() << QStringList{"a"} << 2 << QString();
    QTest::newRow("--overwrite --update")
        << QStringList{"--overwrite", "--update", "a"} << "Options --overwrite and --update exclude each other."
        << QStringList() << 0 << QString();
    QTest::newRow("-o --convert") << QStringList{"-o", "--convert", "a"}
                                  << "Missing value after '-o': '--convert' is an option." << QStringList() << 0
                                  << QString();
    QTest::newRow("-- --convert") << QStringList{"-o", "out", "--", "--convert", "-q"} << QString()
                                  << QStringList{"--convert", "-q"} << 0 << QString();
    QTest::newRow("format, clean, trim") << QStringList{"--format", "ulaw", "--clean", "--trim", "a"} << QString()
                                         << QStringList{"a"} << 0 << "format=ulaw clean trim";
    QTest::newRow("--one-file-per-run") << QStringList{"--one-file-per-run", "a"} << QString() << QStringList{"a"} << 0
                                        << QString();
    QTest::newRow("--loudness -18") << QStringList{"--loudness", "-18", "a"} << QString() << QStringList{"a"} << 0
                                    << "loudness=-18";
    QTest::newRow("--loudness=-23.5") << QStringList{"--loudness=-23.5", "a"} << QString() << QStringList{"a"} << 0
                                      << "loudness=-23.5";
    QTest::newRow("unknown format")
        << QStringList{"--format", "mp3", "a"}
        << "Invalid value for --format: 'mp3' (one of wav8, wav8-ulaw, wav8-alaw, wav16, wav32, wav48, ulaw, "
           "alaw, sln, sln16, g722, gsm)."
        << QStringList() << 0 << QString();
    QTest::newRow("a target: its own formats")
        << QStringList{"--target", "asterisk", "a"} << QString() << QStringList{"a"} << 0 << "target=asterisk";
    QTest::newRow("formats given several times and with commas narrow the target's")
        << QStringList{"--target", "asterisk", "--format", "ulaw", "--format=alaw,g722,ulaw", "a"} << QString()
        << QStringList{"a"} << 0 << "target=asterisk format=ulaw,alaw,g722";
    QTest::newRow("and widen it, before --target too")
        << QStringList{"--format", "gsm", "--target", "asterisk", "a"} << QString() << QStringList{"a"} << 0
        << "target=asterisk format=gsm";
    QTest::newRow("several formats for any system")
        << QStringList{"--format", "wav8,ulaw", "a"} << QString() << QStringList{"a"} << 0 << "format=wav8,ulaw";
    QTest::newRow("a language folder") << QStringList{"--target", "asterisk", "--language", "fr_CA", "a"} << QString()
                                       << QStringList{"a"} << 0 << "target=asterisk language=fr_CA";
    QTest::newRow("unknown target")
        << QStringList{"--target", "pbx", "a"}
        << "Invalid value for --target: 'pbx' (one of generic, asterisk, freeswitch, cisco-ucm-moh, cisco-uccx, "
           "avaya-aura, amazon-connect, genesys-cloud, teams, 3cx)."
        << QStringList() << 0 << QString();
    QTest::newRow("a format the target does not take")
        << QStringList{"--target", "teams", "--format", "wav16,ulaw", "a"}
        << "Invalid value for --format with --target teams: 'ulaw' (one of wav8, wav16)." << QStringList() << 0
        << QString();
    QTest::newRow("an unknown format among several")
        << QStringList{"--format", "ulaw,", "a"}
        << "Invalid value for --format: '' (one of wav8, wav8-ulaw, wav8-alaw, wav16, wav32, wav48, ulaw, alaw, sln, "
           "sln16, g722, gsm)."
        << QStringList() << 0 << QString();
    QTest::newRow("two formats named alike")
        << QStringList{"--format", "wav8", "--format", "wav8-ulaw", "a"}
        << "Formats wav8 and wav8-ulaw would both write the same .wav file: give only one of them." << QStringList()
        << 0 << QString();
    QTest::newRow("named alike but in folders of their own")
        << QStringList{"--target", "freeswitch", "--format", "wav8,wav16", "a"} << QString() << QStringList{"a"} << 0
        << "target=freeswitch format=wav8,wav16";
    QTest::newRow("a language without a target that keeps its folder")
        << QStringList{"--target", "teams", "--language", "en", "a"}
        << "Option --language works only with a target that keeps a folder per language (--target asterisk)."
        << QStringList() << 0 << QString();
    QTest::newRow("not a language code")
        << QStringList{"--target", "asterisk", "--language", "../en", "a"}
        << "Invalid value for --language: '../en' (a language code such as en, fr_CA or pt_BR)." << QStringList() << 0
        << QString();
    QTest::newRow("loudness not a number") << QStringList{"--loudness", "loud", "a"}
                                           << "Invalid value for --loudness: 'loud' (LUFS from -40 to -6, such as -18)."
                                           << QStringList() << 0 << QString();
    QTest::newRow("loudness out of range")
        << QStringList{"--loudness", "-3", "a"}
        << "Invalid value for --loudness: '-3' (LUFS from -40 to -6, such as -18)." << QStringList() << 0 << QString();
}

void tst_cCommandLine::readCommand()
{
    QFETCH(QStringList, args);
    QFETCH(QString, text);
    QFETCH(QStringList, paths);
    QFETCH(int, jobs);
    QFETCH(QString, chosen);
    args = QStringList{"marrowby", "--convert"} + args;
    const cCommandLine::Request request = cCommandLine::readCommand(args);
    QCOMPARE(request.action,
             text.isEmpty() ? cCommandLine::Request::Action::Convert : cCommandLine::Request::Action::BadUsage);
    QCOMPARE(request.text, text);
    QCOMPARE(request.paths, paths);
    QCOMPARE(request.options.jobs, jobs);
    QCOMPARE(request.options.oneFilePerRun,
             !cConverter::groupsByDefault || args.contains(QStringLiteral("--one-file-per-run")));
    QStringList choices;
    if (!request.options.target.isEmpty())
        choices << QStringLiteral("target=") + request.options.target;
    if (!request.options.formats.isEmpty())
        choices << QStringLiteral("format=") + request.options.formats.join(u',');
    if (!request.options.language.isEmpty())
        choices << QStringLiteral("language=") + request.options.language;
    if (request.options.clean)
        choices << QStringLiteral("clean");
    if (request.options.trim)
        choices << QStringLiteral("trim");
    if (request.options.loudness)
        choices << QStringLiteral("loudness=") + QString::number(*request.options.loudness);
    QCOMPARE(choices.join(u' '), chosen);
}

void tst_cCommandLine::printable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("quotes, Cyrillic, blanks stay")
        << QString::fromUtf8("it's \"Запись\" a.mp3") << QString::fromUtf8("it's \"Запись\" a.mp3");
    QTest::newRow("line breaks and tab") << "a\nb\r\tc"
                                         << "a\\nb\\r\\tc";
    QTest::newRow("terminal escape") << "\x1b]0;title\x07"
                                     << "\\x1b]0;title\\x07";
    QTest::newRow("DEL and C1 control") << QString::fromUtf8("a\x7f\u009b2J") << "a\\x7f\\x9b2J";
}

void tst_cCommandLine::printable()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(cTerminalOutput::printable(text), shown);
}

QTEST_GUILESS_MAIN(tst_cCommandLine)
#include "tst_ccommandline.moc"
