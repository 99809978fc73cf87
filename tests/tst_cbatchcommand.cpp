#include "app/clanguage.h"
#include "support/testsupport.h"
#include "workers/coutputformat.h"
#include "workers/ctarget.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// The program as a shell or a script runs it, without any display:
// "marrowby --convert", its lines, exit statuses, log and stop on a signal.
class tst_cBatchCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void convert_data();
    void convert();
    void stopBySignal_data();
    void stopBySignal();
    void stopWhenOutputCloses();
    void killedRunLeavesNothing_data();
    void killedRunLeavesNothing();
    void secondRunKeepsTheFirstOnesFolder();
    void converterMissing();
    void logNeverFollowsALink_data();
    void logNeverFollowsALink();
    void progressOnATerminal();
    void speaksTheSessionLanguage_data();
    void speaksTheSessionLanguage();
    void windowListsNamedPaths_data();
    void windowListsNamedPaths();
    void completion_data();
    void completion();

private:
    void prepare(QProcess &program, const QStringList &args, const QString &path = QString()) const;
    QByteArray latin1Name() const;
    QStringList privateFolders() const;
    QStringList temporaryOutputs() const;

    QTemporaryDir tones;
    std::unique_ptr<QTemporaryDir> work;
    const QByteArray settings = "[MainWidget]\nOutput=/nonexistent\nFileSaveMode=overwrite\n";
};

namespace {

const QString settingsFile = QStringLiteral("config/Varnholt/Marrowby.conf");
const QString oddName = QStringLiteral("it's \"Запись\"\nnew line.mp3");

// Durations vary from run to run.
QString withoutDurations(QString text)
{
    static const QRegularExpression duration(QStringLiteral("\\d+(:\\d\\d)+"));
    return text.replace(duration, QStringLiteral("m:ss"));
}

// The last line, as a user reads it, durations left out.
QString summary(int converted, int failed, bool stopped = false, int skipped = 0)
{
    if (stopped)
        return QStringLiteral("Stopped: 0 of 2 done, 0 failed, in m:ss");
    const int files = converted + failed + skipped;
    return QStringLiteral("%1 %2: %3 converted, %4 failed%5, in m:ss")
        .arg(files)
        .arg(files == 1 ? QStringLiteral("file") : QStringLiteral("files"))
        .arg(converted)
        .arg(failed)
        .arg(skipped > 0 ? QStringLiteral(", %1 skipped").arg(skipped) : QString());
}

QStringList lines(const QByteArray &output)
{
    return QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The processes at work in the folder, zombies aside: what a run started
// there and left running (each inherits the run's working folder).
QList<pid_t> processesIn(const QString &folder)
{
    QList<pid_t> found;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        const QString proc = QStringLiteral("/proc/") + entry;
        if (!number || pid == ::getpid() || QFileInfo(proc + QStringLiteral("/cwd")).symLinkTarget() != canonical)
            continue;
        const QByteArray stat = TestSupport::readFile(proc + QStringLiteral("/stat"));
        const QByteArray state = stat.mid(stat.lastIndexOf(')') + 2, 1);
        if (!state.isEmpty() && state != "Z" && state != "X")
            found << pid;
    }
    return found;
}

} // namespace

void tst_cBatchCommand::initTestCase()
{
    // The expected texts in English as the program writes them ("3 files").
    cLanguage::install(QLocale::c());
    QVERIFY(TestSupport::makeTone(tones.filePath(QStringLiteral("a.mp3")), 0.3));
    QVERIFY(TestSupport::makeTone(tones.filePath(QStringLiteral("b.wav")), 0.3));
}

// A fresh working folder for each run, with the sources and settings that
// would send the outputs elsewhere if the command read them.
void tst_cBatchCommand::init()
{
    work = std::make_unique<QTemporaryDir>();
    const QDir dir(work->path());
    QVERIFY(dir.mkpath(QStringLiteral("src/folder/sub")) && dir.mkpath(QStringLiteral("config/Varnholt")));
    for (const QString &mp3 : QStringList{"src/a.mp3", "src/folder/c.mp3", "-dash.mp3", "src/" + oddName})
        QVERIFY(QFile::copy(tones.filePath(QStringLiteral("a.mp3")), dir.filePath(mp3)));
    for (const QString &wav : QStringList{"src/b b.wav", "src/folder/sub/d.wav"})
        QVERIFY(QFile::copy(tones.filePath(QStringLiteral("b.wav")), dir.filePath(wav)));
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("src/folder/notes.txt")), "not a sound"));
    // A name in Latin-1 bytes, as old archives unpack: Qt can't name it to the converter.
    QVERIFY(dir.mkpath(QStringLiteral("src/latin1")));
    QVERIFY(::close(::open(latin1Name().constData(), O_CREAT | O_WRONLY, 0600)) == 0);
    QVERIFY(TestSupport::writeFile(dir.filePath(settingsFile), settings));
}

// Qt can't name that file, so it could not remove the folder holding it.
void tst_cBatchCommand::cleanup()
{
    ::unlink(latin1Name().constData());
}

QByteArray tst_cBatchCommand::latin1Name() const
{
    return QFile::encodeName(work->filePath(QStringLiteral("src/latin1"))) + "/Gr\xf6\xdf"
                                                                             "e.wav";
}

QStringList tst_cBatchCommand::privateFolders() const
{
    return QDir(work->filePath(QStringLiteral("out")))
        .entryList({QStringLiteral(".marrowby-*")}, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The outputs being written in the private folders of out/.
QStringList tst_cBatchCommand::temporaryOutputs() const
{
    QStringList outputs;
    for (const QString &folder : privateFolders()) {
        const QDir dir(work->filePath(QStringLiteral("out/") + folder));
        for (const QString &file : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (file != QStringLiteral(".lock"))
                outputs << dir.filePath(file);
        }
    }
    return outputs;
}

// In the working folder, with no display of any kind, in a process group of
// its own as a shell starts a job, with path first on PATH.
void tst_cBatchCommand::prepare(QProcess &program, const QStringList &args, const QString &path) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : QStringList{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work->filePath(QStringLiteral("config")));
    if (!path.isEmpty())
        env.insert(QStringLiteral("PATH"), path + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work->path());
    program.setChildProcessModifier([] { ::setpgid(0, 0); });
    program.setProgram(QStringLiteral(MARROWBY_PROGRAM));
    program.setArguments(args);
}

void tst_cBatchCommand::convert_data()
{
    // Lines with {w} for the working folder; one ending in "*" is matched up to there.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QStringList>("outputs"); // WAV files made in the working folder and out/

    const QString ok = QStringLiteral("OK   {w}/src/%1 -> {w}/out/%2");
    QTest::newRow("files and a folder") << QStringList{"--convert", "-o",          "out",
                                                       "src/a.mp3", "src/b b.wav", "src/folder"}
                                        << 0
                                        << QStringList{ok.arg("a.mp3", "a.wav"), ok.arg("b b.wav", "b b.wav"),
                                                       ok.arg("folder/c.mp3", "c.wav"),
                                                       ok.arg("folder/sub/d.wav", "d.wav"), summary(4, 0)}
                                        << QStringList{"out/a.wav", "out/b b.wav", "out/c.wav", "out/d.wav"};
    QTest::newRow("a target's several outputs of one source on one line")
        << QStringList{"--convert", "--target", "asterisk", "--language", "en", "-o", "out", "src/a.mp3"} << 0
        << QStringList{"OK   {w}/src/a.mp3 -> {w}/out/en/a.ulaw, {w}/out/en/a.alaw, {w}/out/en/a.g722, "
                       "{w}/out/en/a.sln16",
                       summary(1, 0)}
        << QStringList{"out/en/a.alaw", "out/en/a.g722", "out/en/a.sln16", "out/en/a.ulaw"};
    QTest::newRow("a missing path fails; the output goes to the current folder")
        << QStringList{"--convert", "gone.mp3", "src/a.mp3"} << 1
        << QStringList{"FAIL {w}/gone.mp3: No such file or folder", "OK   {w}/src/a.mp3 -> {w}/a.wav", summary(1, 1)}
        << QStringList{"a.wav"};
    QTest::newRow("a file that can't be listed fails")
        << QStringList{"--convert", "-o", "out", "src/latin1", "src/a.mp3"} << 1
        << QStringList{"FAIL {w}/src/latin1/Gr\\xf6\\xdfe.wav: The name is not valid UTF-8: rename the file",
                       ok.arg("a.mp3", "a.wav"), summary(1, 1)}
        << QStringList{"out/a.wav"};
    QTest::newRow("an existing output is skipped, which is no failure")
        << QStringList{"--convert", "--append-wav", "-j", "1", "-o", "out", "src/a.mp3", "src/a.mp3"} << 0
        << QStringList{ok.arg("a.mp3", "a.mp3.wav"),
                       "SKIP {w}/src/a.mp3: the output file exists (--overwrite replaces it, --update replaces it "
                       "when older than its source)",
                       summary(1, 0, false, 1)}
        << QStringList{"out/a.mp3.wav"};
    QTest::newRow("--update: an output newer than its source is skipped")
        << QStringList{"--convert", "--update", "-j", "1", "-o", "out", "src/a.mp3", "src/a.mp3"} << 0
        << QStringList{ok.arg("a.mp3", "a.wav"),
                       "SKIP {w}/src/a.mp3: the output file is not older than its source (--update)",
                       summary(1, 0, false, 1)}
        << QStringList{"out/a.wav"};
    QTest::newRow("--keep-folders") << QStringList{"--convert", "--keep-folders", "-o",
                                                   "out",       "src/folder",     "src/a.mp3"}
                                    << 0
                                    << QStringList{ok.arg("a.mp3", "a.wav"), ok.arg("folder/c.mp3", "c.wav"),
                                                   ok.arg("folder/sub/d.wav", "sub/d.wav"), summary(3, 0)}
                                    << QStringList{"out/a.wav", "out/c.wav", "out/sub/d.wav"};
    QTest::newRow("--safe-names") << QStringList{"--convert", "--safe-names", "-o",         "out",
                                                 "--",        "-dash.mp3",    "src/b b.wav"}
                                  << 0
                                  << QStringList{"OK   {w}/-dash.mp3 -> {w}/out/dash.wav", ok.arg("b b.wav", "b-b.wav"),
                                                 summary(2, 0)}
                                  << QStringList{"out/b-b.wav", "out/dash.wav"};
    QTest::newRow("an output folder that can't be made: a line per file, status 3")
        << QStringList{"--convert", "-o", "src/a.mp3/out", "src/b b.wav", "gone"} << 3
        << QStringList{"FAIL {w}/gone: No such file or folder",
                       "FAIL {w}/src/b b.wav: cannot make the output folder {w}/src/a.mp3/out"}
        << QStringList();
    QTest::newRow("--overwrite") << QStringList{"--convert", "--overwrite", "--output=out", "src/a.mp3", "src/a.mp3"}
                                 << 0 << QStringList{ok.arg("a.mp3", "a.wav"), ok.arg("a.mp3", "a.wav"), summary(2, 0)}
                                 << QStringList{"out/a.wav"};
    QString shownOdd = oddName;
    shownOdd.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    QTest::newRow("a leading dash after --; quotes, Cyrillic, a line break")
        << QStringList{"--convert", "-o", "out", "--", "-dash.mp3", "src/" + oddName} << 0
        << QStringList{"OK   {w}/-dash.mp3 -> {w}/out/-dash.wav", ok.arg(shownOdd, shownOdd.chopped(3) + "wav"),
                       summary(2, 0)}
        << QStringList{"out/-dash.wav", "out/" + oddName.chopped(3) + "wav"};
    QTest::newRow("quiet, all converted: nothing")
        << QStringList{"--convert", "-q", "-o", "out", "src/a.mp3"} << 0 << QStringList() << QStringList{"out/a.wav"};
    QTest::newRow("quiet, one failed: failures and the summary")
        << QStringList{"--convert", "--quiet", "-o", "out", "src/a.mp3", "gone"} << 1
        << QStringList{"FAIL {w}/gone: No such file or folder", summary(1, 1)} << QStringList{"out/a.wav"};
    QTest::newRow("version") << QStringList{"--version"} << 0 << QStringList{"Marrowby 1.0"} << QStringList();
    QTest::newRow("another format, even level, trimmed")
        << QStringList{"--convert", "--format", "ulaw", "--loudness", "-18", "--trim", "-o", "out", "src/a.mp3"} << 0
        << QStringList{ok.arg("a.mp3", "a.ulaw"), summary(1, 0)} << QStringList{"out/a.ulaw"};
    QStringList formats;
    for (const cOutputFormat &format : cOutputFormat::all())
        formats << format.id().leftJustified(10) + QStringLiteral(" *");
    QTest::newRow("list formats") << QStringList{"--list-formats"} << 0 << formats << QStringList();
    QStringList targets;
    for (const cTarget &target : cTarget::all())
        targets << target.id().leftJustified(14) + QStringLiteral(" *");
    QTest::newRow("list targets") << QStringList{"--list-targets"} << 0 << targets << QStringList();

    // Bad usage: one line on standard error, nothing converted, the log left alone.
    const QList<std::pair<const char *, QStringList>> badUsage{
        {"unknown option", {"--convert", "--bogus", "src/a.mp3"}},
        {"missing value", {"--convert", "src/a.mp3", "-o"}},
        {"no file", {"--convert", "-o", "out"}},
        {"no jobs", {"--convert", "-j", "0", "src/a.mp3"}},
        {"jobs not a number", {"--convert", "--jobs=two", "src/a.mp3"}},
        {"unknown option without --convert", {"--bogus", "src/a.mp3"}},
        {"unknown option after a file, without --convert", {"src/a.mp3", "-x"}},
        {"-o --convert: the option is no value of -o", {"-o", "--convert", "src/a.mp3"}},
        {"unknown format", {"--convert", "--format", "mp3", "src/a.mp3"}},
        {"loudness not a number", {"--convert", "--loudness", "loud", "src/a.mp3"}},
        {"--format without --convert", {"--format", "ulaw", "src/a.mp3"}},
        {"unknown target", {"--convert", "--target", "pbx", "src/a.mp3"}},
        {"a format the target does not take", {"--convert", "--target", "teams", "--format", "ulaw", "src/a.mp3"}},
    };
    for (const auto &[name, args] : badUsage)
        QTest::newRow(name) << args << 2 << QStringList() << QStringList();
}

void tst_cBatchCommand::convert()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, out);
    QFETCH(QStringList, outputs);

    QProcess program;
    prepare(program, args);
    program.start();
    QVERIFY(program.waitForFinished(60000));
    const QByteArray err = program.readAllStandardError();
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == status, err.constData());
    QStringList printed = lines(program.readAllStandardOutput());
    QCOMPARE(printed.size(), out.size());
    // Files running side by side end in any order; the summary comes last.
    for (QStringList *list : {&printed, &out}) {
        list->replaceInStrings(QStringLiteral("{w}"), work->path());
        if (list->size() > 1)
            std::sort(list->begin(), list->end() - 1);
    }
    for (int i = 0; i < out.size(); ++i) {
        const QString &expected = out.at(i);
        const QString line = withoutDurations(printed.at(i));
        QVERIFY2(expected.endsWith(QLatin1Char('*')) ? line.startsWith(expected.chopped(1)) : line == expected,
                 qPrintable(line + QStringLiteral("\n") + expected));
    }

    const QDir dir(work->path());
    QStringList made = dir.entryList({"*.wav"}, QDir::Files);
    QDirIterator inOut(dir.filePath(QStringLiteral("out")), QDir::Files, QDirIterator::Subdirectories);
    QStringList inOutput;
    while (inOut.hasNext())
        inOutput << dir.relativeFilePath(inOut.next());
    inOutput.sort();
    made += inOutput;
    QCOMPARE(made, outputs);
    QCOMPARE(TestSupport::readFile(dir.filePath(settingsFile)), settings);

    const QString log = TestSupport::readFile(dir.filePath(QStringLiteral("marrowby_log.txt")));
    if (status == 3) {
        QVERIFY2(lines(err).size() == 1 && err.startsWith("marrowby: "), err.constData());
    } else if (status == 2) {
        QVERIFY2(lines(err).size() == 1 && err.startsWith("marrowby: "), err.constData());
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"-dash.mp3", "config", "src"}));
    } else if (!outputs.isEmpty()) {
        QVERIFY2(log.startsWith("\"Marrowby 1.0\" application started, build date: "), qPrintable(log));
        QVERIFY(log.section(QLatin1Char('\n'), 1, 1).startsWith(QStringLiteral("Current date: ")));
        QVERIFY(log.contains(QStringLiteral("Processing file: ")));
        QVERIFY(!err.contains("Converting")); // no progress line: standard error is no terminal
    }
}

void tst_cBatchCommand::stopBySignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("toJob"); // as a terminal sends it: to every process of the job
    QTest::addColumn<int>("status");
    QTest::newRow("Ctrl-C") << int(SIGINT) << true << 130;
    QTest::newRow("SIGTERM") << int(SIGTERM) << false << 143;
    QTest::newRow("SIGHUP of a closed terminal") << int(SIGHUP) << true << 129;
    // Started with SIGHUP ignored, as nohup does: the batch goes on to its end.
    QTest::newRow("SIGHUP under nohup") << int(SIGHUP) << true << 0;
}

// A slow converter has begun its output when the signal comes: the program
// ends it, removes the unfinished output, starts nothing more, says so.
void tst_cBatchCommand::stopBySignal()
{
    QFETCH(int, signal);
    QFETCH(bool, toJob);
    QFETCH(int, status);
    // Appended, not truncated: with two files at once the list never reads empty once begun.
    const QString pidFile = work->filePath(QStringLiteral("converter.pids"));
    QVERIFY(!TestSupport::writeFakeConverter(work->path(),
                                             "for last; do :; done; echo partial > \"$last\"\n"
                                             "echo $$ >> converter.pids\n"
                                             "while [ ! -e go ]; do sleep 0.05; done; echo done > \"$last\"")
                 .isEmpty());

    QProcess program;
    prepare(program, {"--convert", "-o", "out", "src/a.mp3", "src/b b.wav"}, work->path());
    if (status == 0) {
        program.setChildProcessModifier([] {
            ::setpgid(0, 0);
            ::signal(SIGHUP, SIG_IGN);
        });
    }
    program.start();
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::readFile(pidFile).endsWith('\n'), 30000);
    const auto converterPids = [&pidFile] {
        QList<pid_t> pids;
        for (const QByteArray &pid : TestSupport::readFile(pidFile).split('\n'))
            if (pid.toInt() > 0)
                pids << pid.toInt();
        return pids;
    };
    const auto cleanUp = qScopeGuard([&converterPids] {
        for (const pid_t pid : converterPids())
            ::kill(pid, SIGKILL);
    });
    QCOMPARE(::kill(toJob ? -program.processId() : program.processId(), signal), 0);
    if (status == 0)
        QVERIFY(TestSupport::writeFile(work->filePath(QStringLiteral("go")), ""));
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    if (status == 0) {
        QCOMPARE(withoutDurations(lines(program.readAllStandardOutput()).constLast()), summary(2, 0));
        return;
    }

    for (const pid_t pid : converterPids())
        QVERIFY(::kill(pid, 0) != 0 && errno == ESRCH);
    QCOMPARE(
        QDir(work->filePath(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
    QCOMPARE(withoutDurations(QString::fromUtf8(program.readAllStandardOutput())), summary(0, 0, true) + '\n');
}

// Standard output is a pipe whose reader has read enough, as "| head -1"
// does: at the next line the batch stops as on SIGTERM, with SIGPIPE's status.
void tst_cBatchCommand::stopWhenOutputCloses()
{
    // a.mp3 ends at once, "b b.wav" hangs, c.mp3 ends once the reader is gone.
    QVERIFY(!TestSupport::writeFakeConverter(work->path(), "for last; do :; done; echo $$ >> converter.pids\n"
                                                           "case \"$last\" in\n"
                                                           "*/b*) exec sleep 60 ;;\n"
                                                           "*/c.wav) while [ ! -e go ]; do sleep 0.05; done ;;\n"
                                                           "esac\n"
                                                           "echo done > \"$last\"")
                 .isEmpty());
    int fds[2];
    QCOMPARE(::pipe2(fds, O_CLOEXEC), 0);
    QProcess program;
    prepare(program,
            {"--convert", "--one-file-per-run", "-j", "2", "-o", "out", "src/a.mp3", "src/b b.wav", "src/folder"},
            work->path());
    const int writeEnd = fds[1];
    program.setChildProcessModifier([writeEnd] {
        ::setpgid(0, 0);
        ::dup2(writeEnd, STDOUT_FILENO);
    });
    program.start();
    ::close(fds[1]);
    QByteArray first;
    char c = 0;
    pollfd readable{fds[0], POLLIN, 0};
    while (!first.endsWith('\n') && ::poll(&readable, 1, 30000) == 1 && ::read(fds[0], &c, 1) == 1)
        first += c;
    ::close(fds[0]);
    QVERIFY2(first.startsWith("OK   ") && first.contains("/src/a.mp3"), first.constData());
    QVERIFY(TestSupport::writeFile(work->filePath(QStringLiteral("go")), ""));
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 128 + SIGPIPE);

    const QList<QByteArray> pids = TestSupport::readFile(work->filePath(QStringLiteral("converter.pids"))).split('\n');
    for (const QByteArray &pid : pids) {
        if (!pid.isEmpty())
            QVERIFY2(::kill(pid.toInt(), 0) != 0 && errno == ESRCH, pid.constData());
    }
    const QStringList logged = lines(TestSupport::readFile(work->filePath(QStringLiteral("marrowby_log.txt"))));
    QVERIFY(logged.contains(QStringLiteral("Stopped: standard output closed")));
    QVERIFY2(logged.constLast().startsWith(QStringLiteral("Conversion stopped")), qPrintable(logged.constLast()));
}

void tst_cBatchCommand::killedRunLeavesNothing_data()
{
    // The converter on PATH, a script that runs {ffmpeg}, the real one.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QByteArray>("converter");
    // Reads its source at its own pace, as a long conversion goes.
    QTest::newRow("a long conversion") << QStringList{"src/long.wav"} << QByteArray("exec {ffmpeg} -re \"$@\"");
    QTest::newRow("a shared run") << QStringList{"src/a.mp3", "src/b b.wav", "src/folder"}
                                  << QByteArray("for arg; do [ \"$arg\" = -i ] && echo \"$arg\" >> inputs; done\n"
                                                "for last; do :; done; echo partial > \"$last\"\n"
                                                "exec sleep 600");
    QTest::newRow("a wrapper script that does not exec")
        << QStringList{"src/long.wav"} << QByteArray("{ffmpeg} -re \"$@\" & wait");
}

// Killed as a job runner's time limit or the OOM killer kill (SIGKILL, which
// Marrowby can't catch), the run takes its converter programs along, and the
// next run into the folder removes the private folders it left.
void tst_cBatchCommand::killedRunLeavesNothing()
{
    QFETCH(QStringList, sources);
    QFETCH(QByteArray, converter);
    if (sources.contains(QStringLiteral("src/long.wav")))
        QVERIFY(TestSupport::makeTone(work->filePath(QStringLiteral("src/long.wav")), 600, 8000, 1));
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QVERIFY(!ffmpeg.isEmpty());
    QVERIFY(!TestSupport::writeFakeConverter(work->path(), converter.replace("{ffmpeg}", QFile::encodeName(ffmpeg)))
                 .isEmpty());
    const auto cleanUp = qScopeGuard([this] {
        for (const pid_t pid : processesIn(work->path()))
            ::kill(pid, SIGKILL);
    });

    QProcess program;
    prepare(program, QStringList{"--convert", "-o", "out"} + sources, work->path());
    program.start();
    QTRY_VERIFY_WITH_TIMEOUT(!temporaryOutputs().isEmpty(), 30000);
    if (sources.size() > 1)
        QCOMPARE(TestSupport::readFile(work->filePath(QStringLiteral("inputs"))).count('\n'), 4);
    QCOMPARE(::kill(program.processId(), SIGKILL), 0);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::CrashExit);
    // Within a second: the system ends them as Marrowby ends.
    QTRY_VERIFY_WITH_TIMEOUT(processesIn(work->path()).isEmpty(), 1000);
    const QStringList left = privateFolders();
    QVERIFY(!left.isEmpty());

    QProcess next;
    prepare(next, QStringList{"--convert", "--update", "-o", "out"} + sources);
    next.start();
    QVERIFY(next.waitForFinished(60000));
    QCOMPARE(next.exitCode(), 0);
    QCOMPARE(privateFolders(), QStringList());
    const QString log = QString::fromUtf8(TestSupport::readFile(work->filePath(QStringLiteral("marrowby_log.txt"))));
    for (const QString &folder : left) {
        const QString line = QStringLiteral("Removed a private folder left by a run that ended: ") +
                             TestSupport::debugQuoted(work->filePath(QStringLiteral("out/") + folder));
        QVERIFY2(log.contains(line), qPrintable(log));
    }
}

// Another Marrowby writing into the same folder meanwhile leaves the running
// one's private folder alone, and both outputs appear whole.
void tst_cBatchCommand::secondRunKeepsTheFirstOnesFolder()
{
    QVERIFY(!TestSupport::writeFakeConverter(work->path(),
                                             "for last; do :; done; echo partial > \"$last\"\n"
                                             "while [ ! -e go ]; do sleep 0.05; done; echo done > \"$last\"")
                 .isEmpty());
    QProcess first;
    prepare(first, {"--convert", "-o", "out", "src/b b.wav"}, work->path());
    first.start();
    QTRY_VERIFY_WITH_TIMEOUT(!temporaryOutputs().isEmpty(), 30000);
    const QStringList running = temporaryOutputs();

    // From another folder, so that each has a log of its own.
    QProcess second;
    prepare(second, {"--convert", "-o", work->filePath(QStringLiteral("out")), "a.mp3"});
    second.setWorkingDirectory(work->filePath(QStringLiteral("src")));
    second.start();
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(temporaryOutputs(), running);
    QCOMPARE(TestSupport::readFile(running.constFirst()), QByteArray("partial\n"));
    const QByteArray secondLog = TestSupport::readFile(work->filePath(QStringLiteral("src/marrowby_log.txt")));
    QVERIFY(secondLog.contains("Processing file: ") && !secondLog.contains("Removed"));

    QVERIFY(TestSupport::writeFile(work->filePath(QStringLiteral("go")), ""));
    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(TestSupport::readFile(work->filePath(QStringLiteral("out/b b.wav"))), QByteArray("done\n"));
    QVERIFY(TestSupport::readWavHeader(work->filePath(QStringLiteral("out/a.wav"))).dataBytes > 0);
    QCOMPARE(privateFolders(), QStringList());
}

void tst_cBatchCommand::logNeverFollowsALink_data()
{
    QTest::addColumn<bool>("symbolic");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a symbolic link") << true << QString::fromLocal8Bit(std::strerror(ELOOP));
    QTest::newRow("a hard link") << false << QStringLiteral("the file has other names (hard links)");
}

// A link by the log's name, laid in a folder others can write to, must not
// have another file emptied: the program runs without a log and says why.
void tst_cBatchCommand::logNeverFollowsALink()
{
    QFETCH(bool, symbolic);
    QFETCH(QString, reason);
    const QString target = work->filePath(QStringLiteral("src/folder/notes.txt"));
    const QString log = work->filePath(QStringLiteral("marrowby_log.txt"));
    QVERIFY(symbolic ? QFile::link(target, log) : ::link(qPrintable(target), qPrintable(log)) == 0);

    QProcess program;
    prepare(program, {"--convert", "-o", "out", "src/a.mp3"});
    program.start();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()),
             QStringLiteral("marrowby: running without a log: marrowby_log.txt: %1\n").arg(reason));
    QCOMPARE(TestSupport::readFile(target), QByteArray("not a sound"));
    QVERIFY(QFile::exists(work->filePath(QStringLiteral("out/a.wav"))));
}

// On a terminal (script(1) gives it one) a progress line is drawn, and erased before the summary.
void tst_cBatchCommand::progressOnATerminal()
{
    QProcess program;
    const QString command = QStringLiteral("'%1' --convert -o out src/a.mp3 src/folder").arg(MARROWBY_PROGRAM);
    prepare(program, {"-qfec", command, "/dev/null"});
    program.setProgram(QStringLiteral("script"));
    program.start();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    const QString shown = withoutDurations(QString::fromUtf8(program.readAllStandardOutput()));
    QVERIFY2(shown.contains("\rConverting: 0 of 3 done, 0 failed, m:ss elapsed\x1b[K"), qPrintable(shown));
    QVERIFY2(shown.contains("\r\x1b[K" + summary(3, 0)), qPrintable(shown));
}

// No ffmpeg on PATH is a set-up failure, not a damaged file: status 3, one
// line on standard error, and a FAIL line per file so that a cron mail says
// which prompts were not made.
void tst_cBatchCommand::converterMissing()
{
    QVERIFY(QDir(work->path()).mkpath(QStringLiteral("empty")));
    QProcess program;
    prepare(program, {"--convert", "-o", "out", "src/a.mp3", "src/b b.wav"});
    QProcessEnvironment env = program.processEnvironment();
    env.insert(QStringLiteral("PATH"), work->filePath(QStringLiteral("empty")));
    program.setProcessEnvironment(env);
    program.start();
    QVERIFY(program.waitForFinished(30000));
    const QByteArray err = program.readAllStandardError();
    QCOMPARE(program.exitCode(), 3);
    QVERIFY2(lines(err).size() == 1 && err.startsWith("marrowby: "), err.constData());
    const QStringList printed = lines(program.readAllStandardOutput());
    QCOMPARE(printed.size(), 2);
    for (const QString &line : printed)
        QVERIFY2(line.startsWith(QStringLiteral("FAIL ") + work->path() + QStringLiteral("/src/")), qPrintable(line));
    QVERIFY(!QFileInfo::exists(work->filePath(QStringLiteral("out/a.wav"))));
}

void tst_cBatchCommand::speaksTheSessionLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected"); // among the lines of standard output and error

    QTest::newRow("Russian, an unknown option found before any application object")
        << QStringLiteral("ru_RU.UTF-8") << QStringList{"--bogus"}
        << QStringList{"marrowby: Неизвестный параметр «bogus». Справка: «marrowby --help»."};
    QTest::newRow("German help, with Qt's own texts")
        << QStringLiteral("de_DE.UTF-8") << QStringList{"--help"}
        << QStringList{"Aufruf: " MARROWBY_PROGRAM " [Optionen] DATEI|ORDNER...",
                       "  --convert              Ohne Fenster konvertieren.",
                       "  -h, --help             Zeigt Hilfe zu den Kommandozeilenoptionen an."};
    QTest::newRow("Russian results: the keyword stays English")
        << QStringLiteral("ru_RU.UTF-8") << QStringList{"--convert", "gone.mp3"}
        << QStringList{"FAIL {w}/gone.mp3: Нет такого файла или папки", "1 файл: сконвертировано 0, 1 ошибка, за m:ss"};
}

// Texts for people in the session's language, Qt's own included; what
// scripts match on stays English.
void tst_cBatchCommand::speaksTheSessionLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);

    QProcess program;
    prepare(program, args);
    QProcessEnvironment env = program.processEnvironment();
    for (const QString &name : QStringList{"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(name);
    env.insert(QStringLiteral("LANG"), lang);
    program.setProcessEnvironment(env);
    program.start();
    QVERIFY(program.waitForFinished(60000));
    QStringList printed = lines(program.readAllStandardOutput() + program.readAllStandardError());
    for (QString &line : printed)
        line = withoutDurations(line).replace(work->path(), QStringLiteral("{w}"));
    for (const QString &line : expected)
        QVERIFY2(printed.contains(line), qPrintable(printed.join(u'\n')));
}

void tst_cBatchCommand::windowListsNamedPaths_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("a path") << QStringList{"gone.wav"};
    QTest::newRow("Qt's own options, then a leading dash after --")
        << QStringList{"-style", "fusion", "--reverse", "--", "-gone.wav"};
}

// The window opens with the paths listed; the one not found is logged. It
// closes on SIGTERM as on its close button: settings written, exit status 0.
void tst_cBatchCommand::windowListsNamedPaths()
{
    QFETCH(QStringList, args);
    QProcess program;
    prepare(program, args);
    QProcessEnvironment env = program.processEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start();
    const QString logFile = work->filePath(QStringLiteral("marrowby_log.txt"));
    const QString logged = QStringLiteral("Not found: ") + TestSupport::debugQuoted(args.constLast());
    QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(TestSupport::readFile(logFile)).contains(logged), 30000);
    QCOMPARE(program.state(), QProcess::Running);
    QCOMPARE(::kill(program.processId(), SIGTERM), 0);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QSettings written(work->filePath(settingsFile), QSettings::IniFormat);
    QVERIFY(written.contains(QStringLiteral("MainWindow/Geometry")));
}

void tst_cBatchCommand::completion_data()
{
    QTest::addColumn<QStringList>("words"); // after the program's name; the last one is being completed
    QTest::addColumn<QStringList>("offered");

    QTest::newRow("format IDs, as the program lists them")
        << QStringList{"--convert", "--format", "wav"}
        << QStringList{"wav8", "wav8-ulaw", "wav8-alaw", "wav16", "wav32", "wav48"};
    QTest::newRow("target IDs, as the program lists them")
        << QStringList{"--convert", "--target", "cisco"} << QStringList{"cisco-ucm-moh", "cisco-uccx"};
    QTest::newRow("an option") << QStringList{"--convert", "--lo"} << QStringList{"--loudness"};
    QTest::newRow("no guess at a number") << QStringList{"--convert", "--loudness", ""} << QStringList();

    // Every long option the help names, and no other.
    QProcess program;
    program.start(QStringLiteral(MARROWBY_PROGRAM), {QStringLiteral("--help")});
    QVERIFY(program.waitForFinished(60000));
    QStringList options;
    static const QRegularExpression option(QStringLiteral("^\\s+(?:-\\S, )*(--[a-z-]+)"));
    for (const QString &line : lines(program.readAllStandardOutput())) {
        if (const QRegularExpressionMatch match = option.match(line); match.hasMatch())
            options << match.captured(1);
    }
    QVERIFY(options.contains(QStringLiteral("--list-formats")));
    QTest::newRow("every option of the help") << QStringList{"--"} << options;
}

// The bash completion the package installs, run by bash with the built program on PATH.
void tst_cBatchCommand::completion()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, offered);
    QProcess bash;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"),
               QFileInfo(QStringLiteral(MARROWBY_PROGRAM)).absolutePath() + u':' + env.value(QStringLiteral("PATH")));
    bash.setProcessEnvironment(env);
    bash.start(QStringLiteral("bash"),
               QStringList{QStringLiteral("-c"),
                           QStringLiteral("source \"$0\"; COMP_WORDS=(marrowby \"$@\"); COMP_CWORD=$#; _marrowby; "
                                          "printf '%s\\n' \"${COMPREPLY[@]}\""),
                           QStringLiteral(MARROWBY_COMPLETION)} +
                   words);
    QVERIFY(bash.waitForFinished(60000));
    QStringList got = lines(bash.readAllStandardOutput());
    got.sort();
    offered.sort();
    QCOMPARE(got, offered);
}

QTEST_GUILESS_MAIN(tst_cBatchCommand)
#include "tst_cbatchcommand.moc"
