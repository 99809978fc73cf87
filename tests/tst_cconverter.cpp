#include "support/testsupport.h"
#include "workers/cconversionplan.h"
#include "workers/cconverter.h"
#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"
#include "workers/cprocessgroups.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TestSupport::debugQuoted;
using TestSupport::readFile;
using TestSupport::readWavHeader;
using TestSupport::writeFile;

// What the converter reported, in order: each file with its result.
using Reports = QList<std::pair<QString, bool>>;

QString processedMarker(const QString &fn, bool result)
{
    return QStringLiteral("<fileProcessed %1 %2>").arg(fn, result ? QStringLiteral("true") : QStringLiteral("false"));
}

// One file at a time, as before several jobs: the tests of the per-file rules
// expect their files in queue order.
class SequentialConverter : public cConverter
{
public:
    SequentialConverter() { setJobs(1); }
};

// What a converter reports, received in this (the GUI) thread the way the
// central widget receives it.
class Results : public QObject
{
public:
    explicit Results(cConverter *converter)
    {
        connect(converter, &cConverter::fileProcessed, this, [this](const QString &fn, bool result) {
            files.append({fn, result});
        });
        connect(converter, &cConverter::convertFinished, this, [this] { ++finished; });
        // Logged on the converter's thread, so the log shows when each file was reported.
        connect(
            converter, &cConverter::fileProcessed, converter,
            [](const QString &fn, bool result) { qDebug().noquote() << processedMarker(fn, result); },
            Qt::DirectConnection);
    }

    Reports files;
    int finished = 0;
};

// Waits until the given number of batches has been reported and the thread has ended.
bool batchesDone(const cConverter &converter, const Results &results, int batches = 1)
{
    return QTest::qWaitFor([&] { return results.finished == batches && converter.isFinished(); }, 60000);
}

// A fake converter that succeeds writes its output, as ffmpeg does.
constexpr char writesOutput[] = ": > \"$last\"";

// A fake converter's first call says it has started, then waits until the test lets it go.
constexpr char firstCallWaitsForRelease[] = "if [ \"$i\" = 0 ]; then\n"
                                            "    : > \"$scratch/started\"\n"
                                            "    while [ ! -e \"$scratch/release\" ]; do sleep 0.02; done\n"
                                            "fi\n"
                                            ": > \"$last\"";

// The output a converter program's last argument stands for: the program
// writes a file of the output's name in a hidden folder inside the output
// folder; empty for a path that lies in no such folder.
QString outputFor(const QString &temporary)
{
    const QFileInfo file(temporary);
    if (!file.dir().dirName().startsWith(QLatin1Char('.')))
        return QString();
    return QFileInfo(file.absolutePath()).dir().filePath(file.fileName());
}

// A process's state ("S" sleeping, "T" stopped, "Z" ended but not yet taken
// from the process table); empty for none.
QByteArray processState(pid_t pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.mid(stat.lastIndexOf(')') + 2, 1);
}

// Everything in the folder, hidden entries too.
QStringList everythingIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Names a user can have: spaces, quotes, a leading dash, Cyrillic letters. A
// relative path is taken from the working directory, the folder of the sources.
void addAwkwardNames()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("relative");
    QTest::newRow("mp3") << QStringLiteral("tone.mp3") << false;
    QTest::newRow("44.1 kHz stereo wav") << QStringLiteral("tone.wav") << false;
    QTest::newRow("spaces") << QStringLiteral("my new tone.mp3") << false;
    QTest::newRow("quotes") << QStringLiteral("it's a \"tone\".wav") << false;
    QTest::newRow("leading dash") << QStringLiteral("-y tone.wav") << true;
    QTest::newRow("cyrillic") << QStringLiteral("Запись номер 1.mp3") << false;
}

// What ffprobe says of a file read back as the player reads it: codec, rate,
// channels, container and every tag, separated by blanks.
QString probe(const QString &file, const QStringList &readBack)
{
    QProcess ffprobe;
    ffprobe.start(
        QStringLiteral("ffprobe"),
        QStringList{QStringLiteral("-v"), QStringLiteral("error")} + readBack +
            QStringList{QStringLiteral("-show_entries"),
                        QStringLiteral("stream=codec_name,sample_rate,channels:format=format_name:format_tags"),
                        QStringLiteral("-of"), QStringLiteral("default=nw=1"), file});
    if (!ffprobe.waitForFinished(60000))
        return QString();
    QStringList values;
    const QStringList lines = QString::fromUtf8(ffprobe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        values << (line.startsWith(QLatin1String("TAG:")) ? line : line.section(u'=', 1));
    return values.join(u' ');
}

// A meter's summary as ffmpeg writes it.
QByteArray meterReport(const char *name, const char *loudness, const char *peak)
{
    return QByteArray("[ebur128@") + name +
           " @ 0x55d0c3a1f2c0] Summary:\n\n  Integrated loudness:\n    I:         " + loudness +
           " LUFS\n    Threshold: -40.0 LUFS\n\n  True peak:\n    Peak:       " + peak + " dBFS\n";
}

} // namespace

class tst_cConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void convertsRealFiles_data();
    void convertsRealFiles();
    void passesTheExactArguments_data();
    void passesTheExactArguments();
    void namesTheOutput_data();
    void namesTheOutput();
    void emptyOutputDirIsTheWorkingDir_data();
    void emptyOutputDirIsTheWorkingDir();
    void logsEachStepInOrder_data();
    void logsEachStepInOrder();
    void existingOutput_data();
    void existingOutput();
    void keptFoldersAndSafeNames_data();
    void keptFoldersAndSafeNames();
    void checksTheResult_data();
    void checksTheResult();
    void converterFailuresReportFalseAndGoOn_data();
    void converterFailuresReportFalseAndGoOn();
    void badRulesNeverRunTheProgram_data();
    void badRulesNeverRunTheProgram();
    void emptyPathIsSkipped();
    void emptyListFinishesAtOnce();
    void convertFilesWhileRunningIsIgnored();
    void convertFilesRightAfterTheEndIsNotLost();
    void newOutputDirAppliesFromTheNextFile();
    void neverOverwritesTheSource_data();
    void neverOverwritesTheSource();
    void twoSourcesNeverShareAnOutput_data();
    void twoSourcesNeverShareAnOutput();
    void destroyingDuringABatch_data();
    void destroyingDuringABatch();
    void refusesAnOutputThatIsAnotherSource_data();
    void refusesAnOutputThatIsAnotherSource();
    void outputIsWholeOrUntouched_data();
    void outputIsWholeOrUntouched();
    void fullDiskLeavesNoPartialOutput();
    void runsSeveralAtOnceWithWholeLogBlocks();
    void stopEndsEveryRunningConversion_data();
    void stopEndsEveryRunningConversion();
    void groupedRunsMatchLoneRuns_data();
    void groupedRunsMatchLoneRuns();
    void runsTheProgramInTheBackground();
    void reportsWhyAFileFailed_data();
    void reportsWhyAFileFailed();
    void overlappingRunsKeepEachOthersFiles();
    void refusesAnOutputReachedUnderAnotherName();
    void writesEachFormat_data();
    void writesEachFormat();
    void evenLevelRules_data();
    void evenLevelRules();
    void sharedRunMeters_data();
    void sharedRunMeters();
    void evenLevel_data();
    void evenLevel();
    void trimsSilence_data();
    void trimsSilence();

private:
    QString path(const QString &relative) const { return QDir(scratch->path()).filePath(relative); }
    bool useFakeConverter(const QByteArray &behaviour);
    QList<QStringList> recordedCalls() const;
    Reports convertIntoOut(const QStringList &queue, int saveType);

    std::unique_ptr<QTemporaryDir> scratch;
    QByteArray originalPath;
    QString originalCwd;
    // Every debug message of the process, in the order raised on any thread.
    std::optional<TestSupport::DebugMessages> debug;
};

void tst_cConverter::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(), "the tests need ffmpeg on PATH");
    originalPath = qgetenv("PATH");
    originalCwd = QDir::currentPath();
    debug.emplace();
}

void tst_cConverter::cleanupTestCase()
{
    debug.reset();
}

void tst_cConverter::init()
{
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch->isValid());
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("calls")));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("in")));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("out")));
    debug->clear();
}

void tst_cConverter::cleanup()
{
    qputenv("PATH", originalPath);
    QDir::setCurrent(originalCwd);
    scratch.reset();
}

// Puts a stand-in converter program first on PATH. Each call records its
// arguments, NUL-separated, in calls/<n> of the scratch folder, then runs
// behaviour, which finds the call number in $i and the last argument in $last.
bool tst_cConverter::useFakeConverter(const QByteArray &behaviour)
{
    const QByteArray body = "scratch='" + QFile::encodeName(scratch->path()) +
                            "'\n"
                            "i=0\n"
                            "while ! mkdir \"$scratch/calls/$i.taken\" 2>/dev/null; do i=$((i + 1)); done\n"
                            "printf '%s\\0' \"$@\" > \"$scratch/calls/$i\"\n"
                            "for last; do :; done\n" +
                            behaviour;
    if (!QDir(scratch->path()).mkpath(QStringLiteral("bin")))
        return false;
    if (TestSupport::writeFakeConverter(path(QStringLiteral("bin")), body).isEmpty())
        return false;
    TestSupport::prependToPath(path(QStringLiteral("bin")));
    return true;
}

// Converts the queue into out/, one file at a time; what was reported, or
// nothing when the batch did not end.
Reports tst_cConverter::convertIntoOut(const QStringList &queue, int saveType)
{
    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileSaveType(saveType);
    converter.convertFiles(queue);
    return batchesDone(converter, results) ? results.files : Reports();
}

QList<QStringList> tst_cConverter::recordedCalls() const
{
    QList<QStringList> calls;
    for (int i = 0;; ++i) {
        QFile file(path(QStringLiteral("calls/%1").arg(i)));
        if (!file.open(QIODevice::ReadOnly))
            return calls;
        const QList<QByteArray> parts = file.readAll().split('\0');
        QStringList args;
        for (qsizetype k = 0; k + 1 < parts.size(); ++k)
            args << QFile::decodeName(parts.at(k));
        calls << args;
    }
}

void tst_cConverter::convertsRealFiles_data()
{
    addAwkwardNames();
}

void tst_cConverter::convertsRealFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, relative);
    QVERIFY(TestSupport::makeTone(path(QStringLiteral("in/") + name), 1.0, 44100, 2));
    QVERIFY(QDir::setCurrent(path(QStringLiteral("in"))));
    const QString source = relative ? name : path(QStringLiteral("in/") + name);

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{source, true}}));
    const TestSupport::WavHeader wav =
        readWavHeader(path(QStringLiteral("out/") + QFileInfo(name).completeBaseName() + ".wav"));
    QCOMPARE(wav.format, quint16(1));
    QCOMPARE(wav.bits, quint16(16));
    QCOMPARE(wav.rate, quint32(8000));
    QCOMPARE(wav.channels, quint16(1));
    // One second, give or take the encoder's padding.
    QVERIFY2(wav.dataBytes > 15000 && wav.dataBytes < 18000, QByteArray::number(wav.dataBytes));
}

void tst_cConverter::passesTheExactArguments_data()
{
    addAwkwardNames();
}

void tst_cConverter::passesTheExactArguments()
{
    QFETCH(QString, name);
    QFETCH(bool, relative);
    // Each call notes who may enter the folder of what it writes.
    QVERIFY(useFakeConverter("stat -c %a \"${last%/*}\" >> \"$scratch/modes\"\n: > \"$last\""));
    QVERIFY(QDir::setCurrent(path(QStringLiteral("in"))));
    const QString source = relative ? name : path(QStringLiteral("in/") + name);
    const QString output = path(QStringLiteral("out/") + QFileInfo(name).completeBaseName() + ".wav");

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileSaveType(0);
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results));
    // Under "Skip existing files" the program runs only for an output not there yet.
    QVERIFY(QFile::remove(output));
    converter.setFileSaveType(1);
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results, 2));

    // The program writes the output's name in a private folder in the output folder.
    QList<QStringList> calls = recordedCalls();
    for (QStringList &call : calls) {
        QCOMPARE(outputFor(call.last()), output);
        call.last() = output;
    }
    QCOMPARE(readFile(path(QStringLiteral("modes"))), QByteArray("700\n700\n"));
    const QStringList tail{
        QStringLiteral("-i"), source, QStringLiteral("-ar"), QStringLiteral("8000"), QStringLiteral("-ac"),
        QStringLiteral("1"),  output};
    QCOMPARE(calls,
             (QList<QStringList>{QStringList{QStringLiteral("-y")} + tail, QStringList{QStringLiteral("-n")} + tail}));
    QCOMPARE(results.files, (Reports{{source, true}, {source, true}}));
    QCOMPARE(everythingIn(path(QStringLiteral("out"))), QStringList{QFileInfo(output).fileName()});
}

void tst_cConverter::namesTheOutput_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("nameType");
    QTest::addColumn<QString>("output");
    QTest::newRow("song.mp3") << "song.mp3" << 0 << "song.wav";
    QTest::newRow("only the last extension") << "a.b.mp3" << 0 << "a.b.wav";
    QTest::newRow("upper-case extension") << "TRACK.MP3" << 0 << "TRACK.wav";
    QTest::newRow("any letters count") << "Track.Live" << 0 << "Track.wav";
    QTest::newRow("a .wav source") << "song.wav" << 0 << "song.wav";
    QTest::newRow("no extension") << "song" << 0 << "song";
    QTest::newRow("trailing dot") << "song." << 0 << "song.";
    QTest::newRow("non-ASCII extension") << "song.мп3" << 0 << "song.мп3";
    QTest::newRow("non-ASCII letter at the end") << "song.mp3é" << 0 << "song.mp3é";
    QTest::newRow("hyphen after the dot") << "song.live-take" << 0 << "song.live-take";
    QTest::newRow("trailing space") << "song.mp3 " << 0 << "song.mp3 ";
    QTest::newRow("trailing line break") << "song.mp3\n" << 0 << "song.mp3\n";
    QTest::newRow("append to song.mp3") << "song.mp3" << 1 << "song.mp3.wav";
    QTest::newRow("append to no extension") << "song" << 1 << "song.wav";
}

void tst_cConverter::namesTheOutput()
{
    QFETCH(QString, source);
    QFETCH(int, nameType);
    QFETCH(QString, output);
    QVERIFY(useFakeConverter(writesOutput));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileNameType(nameType);
    converter.convertFiles({path(QStringLiteral("in/") + source)});
    QVERIFY(batchesDone(converter, results));

    const QList<QStringList> calls = recordedCalls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(outputFor(calls.first().last()), path(QStringLiteral("out/") + output));
}

void tst_cConverter::emptyOutputDirIsTheWorkingDir_data()
{
    QTest::addColumn<QString>("outputDir");
    QTest::newRow("never set") << QString();
    QTest::newRow("empty") << QString("");
}

void tst_cConverter::emptyOutputDirIsTheWorkingDir()
{
    QFETCH(QString, outputDir);
    QVERIFY(useFakeConverter(writesOutput));
    QVERIFY(QDir::setCurrent(path(QStringLiteral("out"))));

    SequentialConverter converter;
    const Results results(&converter);
    if (!outputDir.isNull())
        converter.setOutputDir(outputDir);
    converter.convertFiles({path(QStringLiteral("in/song.mp3"))});
    QVERIFY(batchesDone(converter, results));

    const QList<QStringList> calls = recordedCalls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(outputFor(calls.first().last()), QDir::current().absoluteFilePath(QStringLiteral("song.wav")));
}

void tst_cConverter::logsEachStepInOrder_data()
{
    QTest::addColumn<bool>("shared"); // both files in one run of the program
    QTest::newRow("one run per file") << false;
    QTest::newRow("one run for both") << true;
}

void tst_cConverter::logsEachStepInOrder()
{
    QFETCH(bool, shared);
    const QString first = path(QStringLiteral("in/first.wav"));
    const QString second = path(QStringLiteral("in/say \"hi\".mp3"));
    QVERIFY(TestSupport::makeTone(first, 0.2));
    QVERIFY(TestSupport::makeTone(second, 0.2));

    SequentialConverter converter;
    converter.setOneFilePerRun(!shared);
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({first, second});
    QVERIFY(batchesDone(converter, results));

    const auto output = [this](const QString &source) {
        return path(QStringLiteral("out/") + QFileInfo(source).completeBaseName() + ".wav");
    };
    const auto own = [&](const QString &source, int input) {
        return QStringLiteral("\"-map\", \"%1:a:0\", \"-map_chapters\", \"%1\", \"-map_metadata\", \"%1\", ")
                   .arg(input) +
               "\"-ar\", \"8000\", \"-ac\", \"1\", " + debugQuoted(output(source));
    };
    const QString sharedRun = "Running ffmpeg with args: (\"-n\", \"-i\", " + debugQuoted(first) + ", \"-i\", " +
                              debugQuoted(second) + ", " + own(first, 0) + ", " + own(second, 1) + ")";
    QStringList expected;
    for (const QString &source : {first, second}) {
        expected << "Processing file: " + debugQuoted(source) << "Out filename: " + debugQuoted(output(source))
                 << (shared ? sharedRun
                            : "Running ffmpeg with args: (\"-n\", \"-i\", " + debugQuoted(source) +
                                  ", \"-ar\", \"8000\", \"-ac\", \"1\", " + debugQuoted(output(source)) + ")")
                 << QStringLiteral("Exit code: 0") << processedMarker(source, true) << QStringLiteral("File done!");
    }
    // The program writes into a private folder in the output folder, here left out.
    static const QRegularExpression privateFolder(QStringLiteral("/\\.marrowby-[A-Za-z0-9]{6}/"));
    QCOMPARE(debug->lines().replaceInStrings(privateFolder, QStringLiteral("/")), expected);
}

void tst_cConverter::existingOutput_data()
{
    QTest::addColumn<int>("saveType");
    // The earlier output's age against the source's in seconds; none when there is none.
    QTest::addColumn<std::optional<int>>("outputAge");
    QTest::addColumn<cFileResult::Outcome>("outcome");
    using O = cFileResult::Outcome;
    QTest::newRow("skip existing files") << 1 << std::optional<int>(0) << O::Skipped;
    QTest::newRow("overwrite existing files") << 0 << std::optional<int>(0) << O::Converted;
    QTest::newRow("update: output older") << 2 << std::optional<int>(-60) << O::Converted;
    QTest::newRow("update: output newer") << 2 << std::optional<int>(60) << O::Skipped;
    QTest::newRow("update: no output") << 2 << std::optional<int>() << O::Converted;
}

void tst_cConverter::existingOutput()
{
    QFETCH(int, saveType);
    QFETCH(std::optional<int>, outputAge);
    QFETCH(cFileResult::Outcome, outcome);
    const QString source = path(QStringLiteral("in/song.mp3"));
    const QString output = path(QStringLiteral("out/song.wav"));
    QVERIFY(TestSupport::makeTone(source, 0.5));
    if (outputAge) {
        QVERIFY(writeFile(output, "an earlier result"));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime sourceTime = QFileInfo(source).lastModified();
        QVERIFY(file.setFileTime(sourceTime.addSecs(*outputAge), QFileDevice::FileModificationTime));
    }

    SequentialConverter converter;
    QSignalSpy reports(&converter, &cConverter::fileFinished);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileSaveType(saveType);
    converter.convertFiles({source});
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 1, 60000);
    QCOMPARE(reports.first().at(0).value<cFileResult>().outcome, outcome);
    QCOMPARE(reports.first().at(0).value<cFileResult>().isWritten(), outcome == cFileResult::Outcome::Converted);
    if (outcome == cFileResult::Outcome::Converted)
        QCOMPARE(readWavHeader(output).rate, quint32(8000));
    else
        QCOMPARE(readFile(output), QByteArray("an earlier result"));
}

void tst_cConverter::keptFoldersAndSafeNames_data()
{
    // Each source is a path under in/, the folder named for the batch; the
    // outputs are the WAV files out/ holds afterwards, sub-folders included.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<int>("failed");
    QTest::newRow("safe names") << QStringList{"Welcome Greeting (final).mp3", "Главное меню (новое).wav", "-intro.wav",
                                               "Größe café.wav"}
                                << true
                                << QStringList{"glavnoe-menu-novoe.wav", "grosse-cafe.wav", "intro.wav",
                                               "welcome-greeting-final.wav"}
                                << 0;
    QTest::newRow("two sources, one safe name")
        << QStringList{"Hello World.mp3", "hello-world.wav"} << true << QStringList{"hello-world.wav"} << 1;
    QTest::newRow("kept folders") << QStringList{"main-menu/greeting.mp3", "after-hours/greeting.mp3", "moh.wav"}
                                  << false
                                  << QStringList{"after-hours/greeting.wav", "main-menu/greeting.wav", "moh.wav"} << 0;
    QTest::newRow("kept folders, safe") << QStringList{"Main Menu/Sub/Hi There.mp3"} << true
                                        << QStringList{"main-menu/sub/hi-there.wav"} << 0;
    QTest::newRow("a link in the way is not followed") << QStringList{"linked/a.mp3"} << false << QStringList() << 1;
}

void tst_cConverter::keptFoldersAndSafeNames()
{
    QFETCH(QStringList, sources);
    QFETCH(bool, safe);
    QFETCH(QStringList, outputs);
    QFETCH(int, failed);
    QVERIFY(QFile::link(path(QStringLiteral("in")), path(QStringLiteral("out/linked"))));
    QList<cSource> queue;
    for (const QString &entry : std::as_const(sources)) {
        const QString source = path(QStringLiteral("in/") + entry);
        QVERIFY(QDir().mkpath(QFileInfo(source).path()));
        QVERIFY(TestSupport::makeTone(source, 0.2));
        queue.append({source, path(QStringLiteral("in")), queue.size()});
    }

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setSafeNames(safe);
    converter.setKeepFolders(true);
    converter.convertSources(queue);
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(std::count_if(results.files.cbegin(), results.files.cend(), [](const auto &r) { return !r.second; }),
             failed);
    QStringList made;
    QDirIterator found(path(QStringLiteral("out")), {QStringLiteral("*.wav")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (found.hasNext())
        made << QDir(path(QStringLiteral("out"))).relativeFilePath(found.next());
    made.sort();
    QCOMPARE(made, outputs);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("in/a.wav"))));
}

void tst_cConverter::checksTheResult_data()
{
    // How ffmpeg makes the source from its test signals; how much of it is kept.
    QTest::addColumn<QStringList>("make");
    QTest::addColumn<double>("keptShare");
    QTest::addColumn<cFileResult::Outcome>("outcome");
    QTest::addColumn<QString>("warning");
    const QString sine = QStringLiteral("sine=frequency=440:duration=3");
    using O = cFileResult::Outcome;
    QTest::newRow("a good tone") << QStringList{"-i", sine, "-ac", "1", "src.mp3"} << 1.0 << O::Converted << QString();
    QTest::newRow("stereo channels that cancel")
        << QStringList{"-i", sine, "-af", "pan=stereo|c0=c0|c1=-1*c0", "src.wav"} << 1.0 << O::Warned
        << QStringLiteral("The result is silent or nearly so");
    QTest::newRow("dead air") << QStringList{"-i", "anullsrc=duration=5", "src.wav"} << 1.0 << O::Warned
                              << QStringLiteral("The result is silent or nearly so");
    QTest::newRow("a truncated MP3") << QStringList{"-i", sine, "-ac", "1", "-b:a", "64k", "src.mp3"} << 0.2
                                     << O::Warned << QStringLiteral("The result is much shorter than its source: *");
    QTest::newRow("clipped") << QStringList{"-i", sine, "-af", "volume=20", "src.wav"} << 1.0 << O::Warned
                             << QStringLiteral("The result is clipped: its loudest stretches are cut off");
    // "trim" in the name: silence is trimmed, so the result is rightly much shorter.
    QTest::newRow("long silences trimmed")
        << QStringList{"-i", sine, "-af", "adelay=3s:all=1,apad=pad_dur=3", "trim.wav"} << 1.0 << O::Converted
        << QString();
}

void tst_cConverter::checksTheResult()
{
    QFETCH(QStringList, make);
    QFETCH(double, keptShare);
    QFETCH(cFileResult::Outcome, outcome);
    QFETCH(QString, warning);
    const QString source = path(QStringLiteral("in/") + make.takeLast());
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-f", "lavfi"} + make + QStringList{source});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    QFile file(source);
    QVERIFY(file.resize(static_cast<qint64>(static_cast<double>(file.size()) * keptShare)));

    SequentialConverter converter;
    converter.setChoices({{}, false, std::nullopt, source.endsWith(QLatin1String("trim.wav"))});
    QSignalSpy reports(&converter, &cConverter::fileFinished);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({source});
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 1, 60000);
    QCOMPARE(reports.first().at(0).value<cFileResult>().outcome, outcome);
    // Written all the same.
    QVERIFY(reports.first().at(0).value<cFileResult>().isWritten());
    QVERIFY(QFileInfo::exists(reports.first().at(0).value<cFileResult>().output));
    const QString said = reports.first().at(0).value<cFileResult>().reason.toString();
    QVERIFY2(warning.endsWith(QLatin1Char('*')) ? said.startsWith(warning.chopped(1)) : said == warning,
             qPrintable(said));
}

void tst_cConverter::converterFailuresReportFalseAndGoOn_data()
{
    QTest::addColumn<QByteArray>("behaviour");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("program missing") << QByteArray() << -2;
    QTest::newRow("program crashes") << QByteArray("ulimit -c 0; kill -SEGV $$") << -1;
    QTest::newRow("nonzero exit code") << QByteArray("exit 3") << 3;
}

void tst_cConverter::converterFailuresReportFalseAndGoOn()
{
    QFETCH(QByteArray, behaviour);
    QFETCH(int, exitCode);
    if (behaviour.isEmpty())
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("calls"))));
    else
        QVERIFY(useFakeConverter(behaviour));
    const QString first = path(QStringLiteral("in/a.mp3"));
    const QString second = path(QStringLiteral("in/b.mp3"));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({first, second});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{first, false}, {second, false}}));
    QCOMPARE(debug->lines().count(QStringLiteral("Exit code: %1").arg(exitCode)), 2);
}

void tst_cConverter::badRulesNeverRunTheProgram_data()
{
    QTest::addColumn<int>("saveType");
    QTest::addColumn<int>("nameType");
    QTest::addColumn<QString>("message");
    QTest::newRow("save rule 3") << 3 << 0 << "Bad fileSaveType";
    QTest::newRow("save rule -1") << -1 << 1 << "Bad fileSaveType";
    QTest::newRow("name rule 2") << 0 << 2 << "Bad fileNameType";
    QTest::newRow("name rule -1") << 1 << -1 << "Bad fileNameType";
    QTest::newRow("both bad") << 7 << 7 << "Bad fileSaveType";
}

void tst_cConverter::badRulesNeverRunTheProgram()
{
    QFETCH(int, saveType);
    QFETCH(int, nameType);
    QFETCH(QString, message);
    QVERIFY(useFakeConverter("exit 0"));
    const QString first = path(QStringLiteral("in/a.mp3"));
    const QString second = path(QStringLiteral("in/b.mp3"));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileSaveType(saveType);
    converter.setFileNameType(nameType);
    converter.convertFiles({first, second});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{first, false}, {second, false}}));
    QVERIFY(recordedCalls().isEmpty());
    QCOMPARE(debug->lines(),
             (QStringList{"Processing file: " + debugQuoted(first), message, processedMarker(first, false),
                          "Processing file: " + debugQuoted(second), message, processedMarker(second, false)}));
}

void tst_cConverter::emptyPathIsSkipped()
{
    QVERIFY(useFakeConverter(writesOutput));
    const QString source = path(QStringLiteral("in/a.mp3"));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({QString(), source, QString("")});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{source, true}}));
    QCOMPARE(recordedCalls().size(), 1);
    QCOMPARE(debug->lines().filter(QStringLiteral("Processing file:")),
             QStringList{"Processing file: " + debugQuoted(source)});
}

void tst_cConverter::emptyListFinishesAtOnce()
{
    SequentialConverter converter;
    const Results results(&converter);
    converter.convertFiles({});
    QVERIFY(batchesDone(converter, results));
    QVERIFY(results.files.isEmpty());
    QVERIFY(debug->lines().isEmpty());
}

void tst_cConverter::convertFilesWhileRunningIsIgnored()
{
    QVERIFY(useFakeConverter(firstCallWaitsForRelease));
    const QString first = path(QStringLiteral("in/a.mp3"));
    const QString ignored = path(QStringLiteral("in/ignored.mp3"));
    const QString later = path(QStringLiteral("in/later.mp3"));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({first});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("started"))), 10000);
    converter.convertFiles({ignored});
    QVERIFY(writeFile(path(QStringLiteral("release")), {}));
    QVERIFY(batchesDone(converter, results));
    QCOMPARE(results.files, (Reports{{first, true}}));

    // Nothing of the ignored call was kept for the next batch either.
    converter.convertFiles({later});
    QVERIFY(batchesDone(converter, results, 2));
    QCOMPARE(results.files, (Reports{{first, true}, {later, true}}));
    QCOMPARE(recordedCalls().size(), 2);
}

void tst_cConverter::convertFilesRightAfterTheEndIsNotLost()
{
    SequentialConverter converter;
    QSignalSpy finished(&converter, &cConverter::convertFinished);
    TestSupport::HoldFirstEmission hold(&converter, &cConverter::convertFinished);
    converter.convertFiles({});
    QVERIFY(hold.waitUntilHeld(10000));
    QVERIFY(converter.isRunning());

    // The thread ends only a while after the new request came in, so a request
    // that is dropped because the thread still runs shows as a missing end.
    hold.releaseLater(200);
    converter.convertFiles({QString()});
    QVERIFY(QTest::qWaitFor([&] { return finished.count() == 2; }, 10000));
    QTRY_VERIFY(converter.isFinished());
}

void tst_cConverter::newOutputDirAppliesFromTheNextFile()
{
    QVERIFY(useFakeConverter(firstCallWaitsForRelease));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("elsewhere")));

    SequentialConverter converter;
    converter.setOneFilePerRun(true); // b.mp3 would share a's run, set up with a
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles({path(QStringLiteral("in/a.mp3")), path(QStringLiteral("in/b.mp3"))});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("started"))), 10000);
    converter.setOutputDir(path(QStringLiteral("elsewhere")));
    QVERIFY(writeFile(path(QStringLiteral("release")), {}));
    QVERIFY(batchesDone(converter, results));

    const QList<QStringList> calls = recordedCalls();
    QCOMPARE(calls.size(), 2);
    QCOMPARE(outputFor(calls.at(0).last()), path(QStringLiteral("out/a.wav")));
    QCOMPARE(outputFor(calls.at(1).last()), path(QStringLiteral("elsewhere/b.wav")));
}

void tst_cConverter::neverOverwritesTheSource_data()
{
    // "@" stands for the scratch folder; the working directory is @/in.
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("nameType");
    QTest::addColumn<QString>("outputDir");
    QTest::addColumn<bool>("converted");
    QTest::newRow("same text") << "@/in/song.wav" << 0 << "@/in" << false;
    QTest::newRow("trailing slash") << "@/in/song.wav" << 0 << "@/in/" << false;
    QTest::newRow("dot-dot") << "@/in/song.wav" << 0 << "@/out/../in" << false;
    QTest::newRow("dot") << "@/in/song.wav" << 0 << "@/in/." << false;
    QTest::newRow("relative folder") << "@/in/song.wav" << 0 << "../in" << false;
    QTest::newRow("working directory") << "@/in/song.wav" << 0 << "" << false;
    QTest::newRow("relative source") << "song.wav" << 0 << "@/in" << false;
    QTest::newRow("symlinked folder") << "@/in/song.wav" << 0 << "@/link" << false;
    QTest::newRow("source through a symlink") << "@/link/song.wav" << 0 << "@/in" << false;
    QTest::newRow("hard link") << "@/in/song.wav" << 0 << "@/hard" << false;
    QTest::newRow("name without extension") << "@/in/song" << 0 << "@/link" << false;
    QTest::newRow("appending is safe") << "@/in/song.wav" << 1 << "@/link" << true;
}

void tst_cConverter::neverOverwritesTheSource()
{
    QFETCH(QString, source);
    QFETCH(int, nameType);
    QFETCH(QString, outputDir);
    QFETCH(bool, converted);
    QVERIFY(TestSupport::makeTone(path(QStringLiteral("in/song.wav")), 0.5));
    QVERIFY(QFile::copy(path(QStringLiteral("in/song.wav")), path(QStringLiteral("in/song"))));
    QVERIFY(QFile::link(path(QStringLiteral("in")), path(QStringLiteral("link"))));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("hard")));
    QCOMPARE(::link(QFile::encodeName(path(QStringLiteral("in/song.wav"))).constData(),
                    QFile::encodeName(path(QStringLiteral("hard/song.wav"))).constData()),
             0);
    QVERIFY(QDir::setCurrent(path(QStringLiteral("in"))));
    outputDir.replace(QLatin1Char('@'), scratch->path());
    source.replace(QLatin1Char('@'), scratch->path());
    const QByteArray before = readFile(source);

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(outputDir);
    converter.setFileNameType(nameType);
    converter.setFileSaveType(0);
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{source, converted}}));
    QCOMPARE(readFile(source), before);
    const QStringList log = debug->lines();
    QCOMPARE(log.filter(QStringLiteral("Not converted, the output file is the source file itself")).size(),
             converted ? 0 : 1);
    QCOMPARE(log.filter(QStringLiteral("Running ffmpeg with args:")).size(), converted ? 1 : 0);
}

void tst_cConverter::twoSourcesNeverShareAnOutput_data()
{
    // Each source is "<path>:<seconds of tone>" or "<path>:bad" for a file ffmpeg can't read.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QList<bool>>("converted");
    QTest::addColumn<double>("outputSeconds");
    QTest::addColumn<int>("refused");
    QTest::addColumn<int>("jobs");
    // Several jobs give the same results: files that write one output run one after the other.
    for (const int jobs : {1, 3}) {
        const QByteArray suffix = jobs == 1 ? QByteArray() : QByteArray(", several jobs");
        QTest::newRow("mp3 and wav of one folder" + suffix)
            << QStringList{"in/song.mp3:1", "in/song.wav:2"} << QList<bool>{true, false} << 1.0 << 1 << jobs;
        QTest::newRow("one name in two folders" + suffix)
            << QStringList{"in/song.mp3:1", "out/song.mp3:2"} << QList<bool>{true, false} << 1.0 << 1 << jobs;
        QTest::newRow("the earlier one failed" + suffix)
            << QStringList{"in/song.mp3:bad", "in/song.wav:2"} << QList<bool>{false, true} << 2.0 << 0 << jobs;
        QTest::newRow("same path twice" + suffix)
            << QStringList{"in/song.mp3:1", "in/song.mp3:1"} << QList<bool>{true, true} << 1.0 << 0 << jobs;
        QTest::newRow("same file spelled twice" + suffix)
            << QStringList{"in/song.mp3:1", "out/../in/song.mp3:1"} << QList<bool>{true, true} << 1.0 << 0 << jobs;
    }
}

void tst_cConverter::twoSourcesNeverShareAnOutput()
{
    QFETCH(QStringList, sources);
    QFETCH(QList<bool>, converted);
    QFETCH(double, outputSeconds);
    QFETCH(int, refused);
    QFETCH(int, jobs);
    QStringList queue;
    Reports expected;
    for (qsizetype k = 0; k < sources.size(); ++k) {
        const QStringList parts = sources.at(k).split(QLatin1Char(':'));
        const QString source = path(parts.first());
        if (!QFile::exists(source)) {
            if (parts.last() == QLatin1String("bad"))
                QVERIFY(writeFile(source, "not a sound"));
            else
                QVERIFY(TestSupport::makeTone(source, parts.last().toDouble()));
        }
        queue << source;
        expected.append({source, converted.at(k)});
    }
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("result")));

    cConverter converter;
    converter.setJobs(jobs);
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("result")));
    converter.setFileSaveType(0);
    converter.convertFiles(queue);
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, expected);
    const double seconds = readWavHeader(path(QStringLiteral("result/song.wav"))).dataBytes / 16000.0;
    QVERIFY2(qAbs(seconds - outputSeconds) < 0.2, QByteArray::number(seconds));
    QCOMPARE(debug->lines().filter(QStringLiteral("Not converted, the output file was already written")).size(),
             refused);
}

void tst_cConverter::destroyingDuringABatch_data()
{
    QTest::addColumn<int>("saveType");
    QTest::addColumn<bool>("outputExisted");
    QTest::addColumn<bool>("programWrites");
    QTest::newRow("new output half written") << 0 << false << true;
    QTest::newRow("existing output half overwritten") << 0 << true << true;
    QTest::newRow("existing output not yet opened") << 0 << true << false;
    QTest::newRow("existing output skipped") << 1 << true << false;
}

void tst_cConverter::destroyingDuringABatch()
{
    QFETCH(int, saveType);
    QFETCH(bool, outputExisted);
    QFETCH(bool, programWrites);
    // The first call writes part of its output if asked to, then hangs.
    QVERIFY(useFakeConverter(QByteArray(programWrites ? "printf 'RIFF' > \"$last\"\n" : "") +
                             ": > \"$scratch/started\"\n"
                             "exec sleep 60"));
    const QString output = path(QStringLiteral("out/a.wav"));
    // Skipped, an output that is there before is never converted: this one comes while the program runs.
    const bool appears = outputExisted && saveType == 1;
    if (outputExisted && !appears)
        QVERIFY(writeFile(output, "a finished earlier result"));

    auto converter = std::make_unique<SequentialConverter>();
    const Results results(converter.get());
    converter->setOutputDir(path(QStringLiteral("out")));
    converter->setFileSaveType(saveType);
    converter->convertFiles({path(QStringLiteral("in/a.mp3")), path(QStringLiteral("in/b.mp3"))});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("started"))), 10000);
    if (appears)
        QVERIFY(writeFile(output, "a finished earlier result"));

    QElapsedTimer timer;
    timer.start();
    converter.reset();
    QVERIFY2(timer.elapsed() < 8000, QByteArray::number(timer.elapsed()));
    QCoreApplication::sendPostedEvents();

    // The stopped file is not reported, the next one never started, no
    // half-written file is left to pass for a finished one, and an earlier
    // output stays as it was.
    QVERIFY(results.files.isEmpty());
    QCOMPARE(results.finished, 0);
    QCOMPARE(recordedCalls().size(), 1);
    if (outputExisted)
        QCOMPARE(readFile(output), QByteArray("a finished earlier result"));
    QCOMPARE(everythingIn(path(QStringLiteral("out"))), outputExisted ? QStringList{"a.wav"} : QStringList());
}

void tst_cConverter::refusesAnOutputThatIsAnotherSource_data()
{
    // The sources of the batch and the output folder, relative to the scratch folder.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("outputDir");
    QTest::newRow("mp3 first, one folder") << QStringList{"in/song.mp3", "in/song.wav"} << "in";
    QTest::newRow("wav first, one folder") << QStringList{"in/song.wav", "in/song.mp3"} << "in";
    QTest::newRow("output folder holds the other") << QStringList{"in/song.mp3", "out/song.wav"} << "out";
    QTest::newRow("folder through a symlink") << QStringList{"in/song.mp3", "in/song.wav"} << "link";
}

// song.mp3 would become song.wav, which is the user's own recording listed in
// the same batch: neither is converted, and the recording stays as it was.
void tst_cConverter::refusesAnOutputThatIsAnotherSource()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, outputDir);
    QVERIFY(useFakeConverter("printf 'converted' > \"$last\""));
    QVERIFY(QFile::link(path(QStringLiteral("in")), path(QStringLiteral("link"))));
    QStringList queue;
    for (const QString &source : std::as_const(sources)) {
        QVERIFY(writeFile(path(source), "studio recording of " + source.toUtf8()));
        queue << path(source);
    }
    const QString mp3 = queue.filter(QStringLiteral(".mp3")).first();
    const QString wav = queue.filter(QStringLiteral(".wav")).first();

    cConverter converter;
    converter.setJobs(2);
    const Results results(&converter);
    converter.setOutputDir(path(outputDir));
    converter.setFileSaveType(0);
    converter.convertFiles(queue);
    QVERIFY(batchesDone(converter, results));

    QVERIFY(results.files.contains({mp3, false}) && results.files.contains({wav, false}));
    QVERIFY(recordedCalls().isEmpty());
    QCOMPARE(readFile(wav), "studio recording of " + QFileInfo(wav).dir().dirName().toUtf8() + "/song.wav");
    QCOMPARE(
        debug->lines().filter(QStringLiteral("Not converted, the output file is another source of this batch:")).size(),
        1);
}

void tst_cConverter::outputIsWholeOrUntouched_data()
{
    QTest::addColumn<QByteArray>("behaviour");
    QTest::addColumn<int>("saveType");
    QTest::addColumn<bool>("outputExisted");
    QTest::addColumn<bool>("converted");
    // What the output holds in the end; empty for no output.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("removed");
    const QByteArray writesPart = "printf 'RIFF' > \"$last\"\n";
    const QByteArray earlier = "a finished earlier result";
    QTest::newRow("fails after writing part of a new output")
        << writesPart + "exit 1" << 0 << false << false << QByteArray() << true;
    QTest::newRow("crashes after writing part of a new output")
        << writesPart + "ulimit -c 0; kill -SEGV $$" << 0 << false << false << QByteArray() << true;
    QTest::newRow("fails after overwriting an output")
        << writesPart + "exit 1" << 0 << true << false << earlier << true;
    QTest::newRow("skips an existing output untouched")
        << QByteArray("exit 1") << 1 << true << false << earlier << false;
    QTest::newRow("replaces an earlier output once done")
        << QByteArray("printf 'converted' > \"$last\"") << 0 << true << true << QByteArray("converted") << false;
    QTest::newRow("skipped: an output that appears while it runs stays")
        << writesPart + "printf 'another writer' > \"$scratch/out/a.wav\"" << 1 << false << false
        << QByteArray("another writer") << false;
    QTest::newRow("succeeds without an output") << QByteArray("exit 0") << 0 << false << false << QByteArray() << false;
}

// An output is written whole or not at all: a failed run's output would pass
// for a finished prompt, and a file at the output's name is replaced only at
// the very end of a run that succeeded, under "Overwrite existing files".
// Nothing of Marrowby's own is left in the output folder.
void tst_cConverter::outputIsWholeOrUntouched()
{
    QFETCH(QByteArray, behaviour);
    QFETCH(int, saveType);
    QFETCH(bool, outputExisted);
    QFETCH(bool, converted);
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);
    QVERIFY(useFakeConverter(behaviour));
    const QString source = path(QStringLiteral("in/a.mp3"));
    const QString output = path(QStringLiteral("out/a.wav"));
    if (outputExisted)
        QVERIFY(writeFile(output, "a finished earlier result"));

    QCOMPARE(convertIntoOut({source}, saveType), (Reports{{source, converted}}));
    QCOMPARE(readFile(output), content);
    QCOMPARE(everythingIn(path(QStringLiteral("out"))), content.isEmpty() ? QStringList() : QStringList{"a.wav"});
    const QStringList log = debug->lines();
    QCOMPARE(!log.filter(QStringLiteral("Conversion failed, unfinished output removed: ")).isEmpty(), removed);
    // An output skipped because it exists never runs the program.
    QCOMPARE(log.last(), recordedCalls().isEmpty() ? processedMarker(source, false) : QStringLiteral("File done!"));
}

// The real converter on a full disk: it exits 1 and leaves a WAV that plays.
void tst_cConverter::fullDiskLeavesNoPartialOutput()
{
    const QString small = path(QStringLiteral("small"));
    QVERIFY(QDir().mkpath(small));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=200k"), QStringLiteral("tmpfs"), small});
    if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        QSKIP("this machine does not let the test mount a small tmpfs (needs root outside a locked-down container)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {small}); });
    const QString source = path(QStringLiteral("in/hold music.mp3"));
    QVERIFY(TestSupport::makeTone(source, 30.0));

    cConverter converter;
    QSignalSpy reasons(&converter, &cConverter::fileFinished);
    const Results results(&converter);
    converter.setOutputDir(small);
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{source, false}}));
    QVERIFY(everythingIn(small).isEmpty());
    QCOMPARE(reasons.size(), 1);
    const QString reason = reasons.first().at(0).value<cFileResult>().reason.toString();
    QVERIFY2(reason.contains(QStringLiteral("No space left on device")), qPrintable(reason));
}

// Three files convert at once, never more; each file's messages reach the log
// as one block, whatever ran beside it.
void tst_cConverter::runsSeveralAtOnceWithWholeLogBlocks()
{
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("running")));
    QVERIFY(useFakeConverter(": > \"$scratch/running/$i\"\n"
                             "ls \"$scratch/running\" | wc -l >> \"$scratch/together\"\n"
                             "while [ ! -e \"$scratch/release\" ]; do sleep 0.02; done\n"
                             "rm \"$scratch/running/$i\"\n"
                             ": > \"$last\""));
    QStringList queue;
    for (int k = 0; k < 7; ++k)
        queue << path(QStringLiteral("in/prompt %1.mp3").arg(k));

    cConverter converter;
    converter.setJobs(3);
    converter.setOneFilePerRun(true); // the fake program converts one file per run
    const Results results(&converter);
    QSignalSpy started(&converter, &cConverter::fileStarted);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.convertFiles(queue);
    QTRY_COMPARE_WITH_TIMEOUT(QDir(path(QStringLiteral("running"))).entryList(QDir::Files).size(), 3, 10000);
    QCOMPARE(started.size(), 3);
    QVERIFY(writeFile(path(QStringLiteral("release")), {}));
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files.size(), queue.size());
    // Three ran together (above); each program, as it started, saw at most three running.
    const QList<QByteArray> together = readFile(path(QStringLiteral("together"))).trimmed().split('\n');
    QCOMPARE(together.size(), queue.size());
    for (const QByteArray &count : together)
        QVERIFY2(count.trimmed().toInt() <= 3, count.constData());
    // Six lines a file: four messages, the report, "File done!", all about the same file.
    const QStringList log = debug->lines();
    QCOMPARE(log.size(), 6 * queue.size());
    for (qsizetype block = 0; block < log.size(); block += 6) {
        const QString fn = log.at(block).section(QLatin1Char('"'), 1, 1);
        QVERIFY2(log.at(block).startsWith(QStringLiteral("Processing file:")), qPrintable(log.at(block)));
        QVERIFY2(log.at(block + 2).contains(debugQuoted(fn)), qPrintable(log.at(block + 2)));
        QCOMPARE(log.at(block + 4), processedMarker(fn, true));
        QCOMPARE(log.at(block + 5), QStringLiteral("File done!"));
    }
}

void tst_cConverter::stopEndsEveryRunningConversion_data()
{
    QTest::addColumn<bool>("destroy");
    // The program is a wrapper script that runs the real one as a child of its own.
    QTest::addColumn<bool>("wrapper");
    // The five files share one run.
    QTest::addColumn<bool>("grouped");
    QTest::newRow("stop") << false << false << false;
    QTest::newRow("destroy") << true << false << false;
    QTest::newRow("stop a wrapper") << false << true << false;
    QTest::newRow("destroy a wrapper") << true << true << false;
    QTest::newRow("stop a group") << false << false << true;
    QTest::newRow("destroy a group's wrapper") << true << true << true;
}

// Stopping with three conversions running ends all three programs, each
// with its whole process group, and removes what they wrote; stop() still
// ends the batch with convertFinished(), the destructor with nothing.
void tst_cConverter::stopEndsEveryRunningConversion()
{
    QFETCH(bool, destroy);
    QFETCH(bool, wrapper);
    QFETCH(bool, grouped);
    const int runs = grouped ? 1 : 3;
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("pids")));
    QVERIFY(useFakeConverter(wrapper ? "printf 'RIFF' > \"$last\"\n"
                                       "sleep 60 &\n"
                                       "echo $! > \"$scratch/pids/$i\"\n"
                                       "wait"
                                     : "printf 'RIFF' > \"$last\"\n"
                                       "echo $$ > \"$scratch/pids/$i\"\n"
                                       "exec sleep 60"));
    QStringList queue;
    for (int k = 0; k < 5; ++k) {
        queue << path(QStringLiteral("in/prompt %1.mp3").arg(k));
        QVERIFY(writeFile(queue.last(), "x")); // only files that exist share a run
    }

    auto converter = std::make_unique<cConverter>();
    converter->setJobs(3);
    converter->setOneFilePerRun(!grouped);
    const Results results(converter.get());
    converter->setOutputDir(path(QStringLiteral("out")));
    converter->convertFiles(queue);
    const QDir pids(path(QStringLiteral("pids")));
    QTRY_COMPARE_WITH_TIMEOUT(pids.entryList(QDir::Files).size(), runs, 10000);
    const auto states = [&] {
        QByteArray letters;
        for (const QString &name : pids.entryList(QDir::Files))
            letters += processState(readFile(pids.filePath(name)).trimmed().toInt());
        return letters;
    };
    // Ctrl-Z and continuing reach whole groups through the registry, a wrapper's children too.
    cProcessGroups::signalAll(SIGSTOP);
    QTRY_COMPARE(states(), QByteArray(runs, 'T'));
    cProcessGroups::signalAll(SIGCONT);
    QTRY_COMPARE(states(), QByteArray(runs, 'S'));

    if (destroy) {
        converter.reset();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(results.finished, 0);
    } else {
        converter->stop();
        QVERIFY(batchesDone(*converter, results));
    }
    QVERIFY(results.files.isEmpty());
    QCOMPARE(recordedCalls().size(), runs);
    QVERIFY(everythingIn(path(QStringLiteral("out"))).isEmpty());
    // No process of any group is left (a child whose parent has gone may wait to be taken from the table).
    QTRY_COMPARE(states().replace("Z", ""), QByteArray());
    // The fake writes only its last output.
    QCOMPARE(debug->lines().filter(QStringLiteral("Conversion stopped, unfinished output removed:")).size(), runs);
    QCOMPARE(debug->lines().filter(QStringLiteral("Conversion stopped")).size(), grouped ? 5 : 3);
}

void tst_cConverter::groupedRunsMatchLoneRuns_data()
{
    // The sources as "<name>:<kind>": a tone, a damaged file, one with two
    // audio streams (the second the default one, which ffmpeg takes by
    // itself), one with tags; then the format, the trim, the loudness target
    // (0: none), and how many files the shared run converted.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<double>("loudness");
    QTest::addColumn<int>("grouped");
    const QStringList tones{"a.mp3:tone", "b.wav:tone", "c.mp3:tone"};
    const QStringList damaged{"a.mp3:tone", "b.mp3:bad", "c.wav:tone"};
    QTest::newRow("prompts") << tones << QString() << false << 0.0 << 3;
    QTest::newRow("trimmed mu-law") << tones << "ulaw" << true << 0.0 << 3;
    QTest::newRow("a damaged one among them: it runs alone") << damaged << QString() << false << 0.0 << 2;
    QTest::newRow("two damaged ones: then every file runs alone")
        << QStringList{"a.mp3:bad", "b.mp3:bad", "c.wav:tone", "d.mp3:tone"} << QString() << false << 0.0 << 0;
    QTest::newRow("two audio streams: that one runs alone")
        << QStringList{"a.mp3:tone", "two.mka:two", "c.wav:tone"} << QString() << false << 0.0 << 2;
    QTest::newRow("tags of each source") << QStringList{"a.mp3:tagged", "b.mp3:tagged", "c.wav:tone"} << QString()
                                         << false << 0.0 << 3;
    QTest::newRow("even level, measured together") << tones << QString() << true << -18.0 << 3;
    QTest::newRow("even level, a damaged one among them") << damaged << "alaw" << false << -30.0 << 2;
}

// Small files converted in one run end as each would in a run of its own:
// the same results and reasons, the same bytes.
void tst_cConverter::groupedRunsMatchLoneRuns()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, format);
    QFETCH(bool, trim);
    QFETCH(double, loudness);
    QFETCH(int, grouped);
    const double seconds = loudness < 0 ? 1.0 : 0.3; // the meter needs 0.4 s
    QStringList queue;
    for (const QString &source : std::as_const(sources)) {
        const QString file = path(QStringLiteral("in/") + source.section(QLatin1Char(':'), 0, 0));
        const QString kind = source.section(QLatin1Char(':'), 1);
        const QString tone = QStringLiteral("sine=frequency=%1:duration=%2").arg(300 + queue.size() * 100).arg(seconds);
        QProcess ffmpeg;
        if (kind == QLatin1String("bad"))
            QVERIFY(writeFile(file, QByteArray(3000, 'x')));
        else if (kind == QLatin1String("two"))
            ffmpeg.start("ffmpeg", {"-v",
                                    "error",
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    tone,
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    "sine=frequency=1000:duration=" + QString::number(seconds),
                                    "-map",
                                    "0",
                                    "-map",
                                    "1",
                                    "-ac:a:1",
                                    "2",
                                    "-disposition:a:0",
                                    "0",
                                    "-disposition:a:1",
                                    "default",
                                    file});
        else if (kind == QLatin1String("tagged"))
            ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", tone, "-metadata", "title=" + file, file});
        else
            QVERIFY(TestSupport::makeTone(file, seconds));
        QVERIFY(ffmpeg.state() == QProcess::NotRunning || (ffmpeg.waitForFinished() && ffmpeg.exitCode() == 0));
        queue << file;
    }
    QMap<QString, QByteArray> outputs[2];
    QStringList reasons[2];
    qsizetype sharedRuns[2] = {};
    for (const bool alone : {false, true}) {
        const QString out = path(alone ? QStringLiteral("alone") : QStringLiteral("grouped"));
        QVERIFY(QDir().mkpath(out));
        cConverter converter;
        converter.setJobs(2);
        converter.setOneFilePerRun(alone);
        converter.setChoices({{format}, false, loudness < 0 ? std::make_optional(loudness) : std::nullopt, trim});
        converter.setOutputDir(out);
        QSignalSpy reports(&converter, &cConverter::fileFinished);
        const Results results(&converter);
        const qsizetype logStart = debug->lines().size();
        converter.convertFiles(queue);
        QVERIFY(batchesDone(converter, results));
        QCOMPARE(reports.size(), queue.size());
        for (const QList<QVariant> &report : std::as_const(reports))
            reasons[alone] << report.at(0).value<cFileResult>().source.path + QLatin1Char(' ') +
                                  report.at(0).value<cFileResult>().reason.sourceText();
        for (const QString &name : QDir(out).entryList(QDir::Files))
            outputs[alone].insert(name, readFile(QDir(out).filePath(name)));
        const QStringList logged = debug->lines().mid(logStart);
        // The shared command in each file's log block, the measuring one too.
        sharedRuns[alone] = logged.filter(QStringLiteral("\"-map\", \"0:a:0\"")).size();
        if (loudness < 0) // every good file was measured, in the shared run too
            QCOMPARE(logged.filter(QStringLiteral("Gain: ")).size(), outputs[alone].size());
    }
    reasons[0].sort();
    reasons[1].sort();
    QCOMPARE(reasons[0], reasons[1]);
    QCOMPARE(outputs[0].keys(), outputs[1].keys());
    QCOMPARE(outputs[0].size(), sources.size() - sources.filter(QStringLiteral(":bad")).size());
    for (auto it = outputs[0].cbegin(); it != outputs[0].cend(); ++it)
        QVERIFY2(it.value() == outputs[1].value(it.key()), qPrintable(it.key()));
    QCOMPARE(sharedRuns[0], loudness < 0 ? 2 * grouped : grouped);
    QCOMPARE(sharedRuns[1], 0);
}

// The converter programs run at a lower priority, so that the window (and
// whatever else the machine runs) never waits for a core they hold.
void tst_cConverter::runsTheProgramInTheBackground()
{
    QVERIFY(useFakeConverter("nice > \"$scratch/niceness\""));
    QCOMPARE(convertIntoOut({path(QStringLiteral("in/a.mp3"))}, 0).size(), 1);
    const int own = ::getpriority(PRIO_PROCESS, 0);
    QCOMPARE(readFile(path(QStringLiteral("niceness"))).trimmed().toInt(), std::min(own + 10, 19));
}

void tst_cConverter::reportsWhyAFileFailed_data()
{
    // The sources ("<path>:tone" or "<path>:bad"), the output folder, the rule
    // for existing files, the program ("real", "missing" or a fake's body), and
    // what the last report says.
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("outputDir");
    QTest::addColumn<int>("saveType");
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QString>("reason");
    const QByteArray real("real");
    QTest::newRow("converted: no reason") << QStringList{"in/a.mp3:tone"} << "out" << 0 << real << QString();
    QTest::newRow("program missing") << QStringList{"in/a.mp3:tone"} << "out" << 0 << QByteArray("missing")
                                     << "ffmpeg could not be started: it is not installed, or not on PATH";
    QTest::newRow("program crashes") << QStringList{"in/a.mp3:tone"} << "out" << 0
                                     << QByteArray("ulimit -c 0; kill -SEGV $$") << "ffmpeg crashed";
    QTest::newRow("program fails silently")
        << QStringList{"in/a.mp3:tone"} << "out" << 0 << QByteArray("exit 3") << "ffmpeg failed with exit code 3";
    QTest::newRow("damaged source") << QStringList{"in/a.mp3:bad"} << "out" << 0 << real
                                    << "ffmpeg failed with exit code 1: @/in/a.mp3: Invalid argument";
    QTest::newRow("program can't start for want of descriptors")
        << QStringList{"in/a.mp3:tone"} << "out" << 0 << QByteArray("no descriptors")
        << "ffmpeg could not be started: Too many open files";
    QTest::newRow("missing output folder")
        << QStringList{"in/a.mp3:tone"} << "none" << 0 << real << "@/none: No such file or directory";
    QTest::newRow("existing output skipped") << QStringList{"in/a.mp3:tone", "in/a.mp3:tone"} << "out" << 1 << real
                                             << "The output file exists and \"Skip existing files\" is chosen";
    QTest::newRow("the source itself") << QStringList{"in/a.wav:tone"} << "in" << 0 << real
                                       << "Not converted: the output file would be the source file itself";
    QTest::newRow("another source") << QStringList{"in/a.wav:tone", "in/a.mp3:tone"} << "in" << 0 << real
                                    << "Not converted: the output file @/in/a.wav is another source of this batch";
    QTest::newRow("written from another source")
        << QStringList{"in/a.mp3:tone", "out/a.mp3:tone"} << "result" << 0 << real
        << "Not converted: the output file was already written in this batch from @/in/a.mp3";
}

// Every failure says why, in words for people; a converted file names its output.
void tst_cConverter::reportsWhyAFileFailed()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, outputDir);
    QFETCH(int, saveType);
    QFETCH(QByteArray, program);
    QFETCH(QString, reason);
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("result")));
    QStringList queue;
    for (const QString &source : std::as_const(sources)) {
        const QString file = path(source.section(QLatin1Char(':'), 0, 0));
        if (!QFile::exists(file)) {
            if (source.endsWith(QLatin1String(":bad")))
                QVERIFY(writeFile(file, QByteArray(3000, 'x')));
            else
                QVERIFY(TestSupport::makeTone(file, 0.2));
        }
        queue << file;
    }
    if (program == "missing")
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("calls"))));
    else if (program != "real" && program != "no descriptors")
        QVERIFY(useFakeConverter(program));

    SequentialConverter converter;
    QSignalSpy reports(&converter, &cConverter::fileFinished);
    const Results results(&converter);
    converter.setOutputDir(path(outputDir));
    converter.setFileSaveType(saveType);
    // A low open-files limit, all taken but the one the converter's thread needs.
    rlimit limit{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    QList<int> taken;
    const auto giveBack = qScopeGuard([&] {
        for (const int fd : std::as_const(taken))
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    });
    if (program == "no descriptors") {
        const rlimit low{std::min<rlim_t>(limit.rlim_cur, TestSupport::openDescriptors() + 64), limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            taken << fd;
        ::close(taken.takeLast());
    }
    converter.convertFiles(queue);
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(reports.size(), queue.size());
    const QList<QVariant> last = reports.last();
    const cFileResult lastResult = last.at(0).value<cFileResult>();
    QCOMPARE(lastResult.source.path, queue.last());
    QCOMPARE(lastResult.isWritten(), reason.isEmpty());
    QCOMPARE(lastResult.reason.toString(), QString(reason).replace(QLatin1Char('@'), scratch->path()));
    if (reason.isEmpty())
        QCOMPARE(lastResult.output, path(outputDir + QStringLiteral("/a.wav")));
}

// Two runs at once, as from the window and a script: one overwrites an output
// with a long conversion while the other, skipping existing files, converts a
// file of the same name. Neither removes the other's work, every "OK" has its
// file, and the run that ends last decides what the file holds.
void tst_cConverter::overlappingRunsKeepEachOthersFiles()
{
    // The long run reads its source from a pipe that the test fills, so it lasts until the test lets it end.
    const QString longSource = path(QStringLiteral("in/long.wav"));
    QCOMPARE(::mkfifo(QFile::encodeName(longSource).constData(), 0600), 0);
    QVERIFY(TestSupport::makeTone(path(QStringLiteral("tone.wav")), 3.0));
    const QByteArray wav = readFile(path(QStringLiteral("tone.wav")));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("other")));
    const QString shortSource = path(QStringLiteral("other/long.wav"));
    QVERIFY(TestSupport::makeTone(shortSource, 1.0));
    const QString output = path(QStringLiteral("out/long.wav"));

    cConverter overwriting;
    const Results overwritten(&overwriting);
    overwriting.setOutputDir(path(QStringLiteral("out")));
    overwriting.setFileSaveType(0);
    overwriting.convertFiles({longSource});
    // The long run's program opens the pipe for reading.
    int pipe = -1;
    QVERIFY(QTest::qWaitFor([&] {
        pipe = ::open(QFile::encodeName(longSource).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        return pipe >= 0;
    }));
    const auto closePipe = qScopeGuard([&] { ::close(pipe); });
    qsizetype fed = 0;
    const auto feed = [&](qsizetype until) {
        return QTest::qWaitFor([&] {
            for (ssize_t n = 0; fed < until && (n = ::write(pipe, wav.constData() + fed, until - fed)) > 0;)
                fed += n;
            return fed == until;
        });
    };
    QVERIFY(feed(wav.size() / 2));
    // Under way, in a place of its own.
    QTRY_VERIFY_WITH_TIMEOUT(
        QDirIterator(path(QStringLiteral("out")), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories).hasNext(),
        10000);
    QVERIFY(!QFile::exists(output));

    cConverter skipping;
    const Results skipped(&skipping);
    skipping.setOutputDir(path(QStringLiteral("out")));
    skipping.convertFiles({shortSource});
    QVERIFY(batchesDone(skipping, skipped));
    QCOMPARE(skipped.files, (Reports{{shortSource, true}}));
    QCOMPARE(readWavHeader(output).rate, quint32(8000));

    QVERIFY(feed(wav.size()));
    ::close(std::exchange(pipe, -1));
    QVERIFY(batchesDone(overwriting, overwritten));
    QCOMPARE(overwritten.files, (Reports{{longSource, true}}));
    const double seconds = readWavHeader(output).dataBytes / 16000.0;
    QVERIFY2(qAbs(seconds - 3.0) < 0.2, QByteArray::number(seconds));
    QCOMPARE(everythingIn(path(QStringLiteral("out"))), QStringList{"long.wav"});
}

// A file whose output reaches what another file of the batch has written,
// under another name (here a link in the output folder; letter case in a FAT
// folder does the same), is not written over it, however the two runs overlap.
void tst_cConverter::refusesAnOutputReachedUnderAnotherName()
{
    // b.wav's program ends only once a.wav is in place.
    QVERIFY(useFakeConverter("if [ \"${last##*/}\" = b.wav ]; then\n"
                             "    while [ ! -e \"$scratch/out/a.wav\" ]; do sleep 0.02; done\n"
                             "fi\n"
                             "printf '%s' \"${last##*/}\" > \"$last\""));
    QVERIFY(QFile::link(path(QStringLiteral("out/a.wav")), path(QStringLiteral("out/b.wav"))));
    const QString a = path(QStringLiteral("in/a.mp3"));
    const QString b = path(QStringLiteral("in/b.mp3"));

    cConverter converter;
    converter.setJobs(2);
    converter.setOneFilePerRun(true); // the fake program converts one file per run
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setFileSaveType(0);
    converter.convertFiles({a, b});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{a, true}, {b, false}}));
    QCOMPARE(recordedCalls().size(), 2);
    QCOMPARE(readFile(path(QStringLiteral("out/a.wav"))), QByteArray("a.wav"));
    QCOMPARE(QFile::symLinkTarget(path(QStringLiteral("out/b.wav"))), path(QStringLiteral("out/a.wav")));
    QVERIFY(debug->lines().contains("Not converted, the output file was already written in this batch from: " +
                                    debugQuoted(a)));
}

void tst_cConverter::writesEachFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("clean");
    QTest::addColumn<QString>("described");  // codec, rate, channels, container, tags
    QTest::addColumn<int>("bytesPerSecond"); // of a file without a header; 0 for a WAV file
    QTest::addColumn<int>("headerBytes");    // of a WAV file: up to its samples

    QTest::newRow("wav8, clean") << "wav8" << true << "pcm_s16le 8000 1 wav" << 0 << 44;
    QTest::newRow("wav8-ulaw") << "wav8-ulaw" << false << "pcm_mulaw 8000 1 wav" << 0 << 58;
    QTest::newRow("wav8-alaw") << "wav8-alaw" << false << "pcm_alaw 8000 1 wav" << 0 << 58;
    QTest::newRow("wav16") << "wav16" << false << "pcm_s16le 16000 1 wav" << 0 << 44;
    QTest::newRow("wav32") << "wav32" << false << "pcm_s16le 32000 1 wav" << 0 << 44;
    QTest::newRow("wav48") << "wav48" << false << "pcm_s16le 48000 1 wav" << 0 << 44;
    QTest::newRow("ulaw") << "ulaw" << false << "pcm_mulaw 8000 1 mulaw" << 8000 << 0;
    QTest::newRow("alaw") << "alaw" << false << "pcm_alaw 8000 1 alaw" << 8000 << 0;
    QTest::newRow("sln") << "sln" << false << "pcm_s16le 8000 1 s16le" << 16000 << 0;
    QTest::newRow("sln16") << "sln16" << false << "pcm_s16le 16000 1 s16le" << 32000 << 0;
    QTest::newRow("g722") << "g722" << false << "adpcm_g722 16000 1 g722" << 8000 << 0;
    QTest::newRow("gsm") << "gsm" << false << "gsm 8000 1 gsm" << 1650 << 0;
}

// A tagged stereo MP3 becomes what a phone system checks for, with none of
// the source's tags and no mark of the encoder, under the format's ending.
void tst_cConverter::writesEachFormat()
{
    QFETCH(QString, format);
    QFETCH(bool, clean);
    QFETCH(QString, described);
    QFETCH(int, bytesPerSecond);
    QFETCH(int, headerBytes);
    const QString source = path(QStringLiteral("in/prompt.mp3"));
    QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                               {"-v", "error", "-f", "lavfi", "-i", "sine=duration=2", "-ac", "2", "-metadata",
                                "artist=Ann", "-metadata", "comment=take 7, approved", source}),
             0);

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setChoices({{format}, clean, std::nullopt, false});
    converter.convertFiles({source});
    QVERIFY(batchesDone(converter, results));

    QCOMPARE(results.files, (Reports{{source, true}}));
    const cOutputFormat &written = cOutputFormat::byId(format);
    const QString output = path(QStringLiteral("out/prompt.") + written.ending());
    QCOMPARE(probe(output, written.inputArgs()), described);
    const QByteArray content = readFile(output);
    if (bytesPerSecond > 0)
        QVERIFY2(qAbs(content.size() / 2.0 - bytesPerSecond) <= bytesPerSecond * 0.02,
                 QByteArray::number(content.size()));
    else
        QCOMPARE(content.indexOf("data") + 8, headerBytes);
}

void tst_cConverter::evenLevelRules_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<bool>("limited"); // the gain needs the limiter, measured again
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("filters");

    const QStringList unmeasured{"Loudness: too short or too quiet to measure, level left as it is"};
    QTest::newRow("too short") << meterReport("level", "-70.0", "-18.1") << false << unmeasured << QString();
    QTest::newRow("silence") << meterReport("level", "-70.0", "-inf") << false << unmeasured << QString();
    QTest::newRow("no report") << QByteArray("Conversion failed!\n") << false << unmeasured << QString();
    QTest::newRow("another meter's report")
        << meterReport("gain0", "-30.0", "-20.0") << false << unmeasured << QString();
    QTest::newRow("quiet, room for the gain")
        << meterReport("level", "-30.0", "-20.0") << false
        << QStringList{"Loudness: -30.0 LUFS, true peak -20.0 dBTP", "Gain: +12.0 dB"} << "volume=12.00dB";
    QTest::newRow("loud and clipping, lowered")
        << meterReport("level", "-9.5", "0.4") << false
        << QStringList{"Loudness: -9.5 LUFS, true peak 0.4 dBTP", "Gain: -8.5 dB"} << "volume=-8.50dB";
    QTest::newRow("the last report counts")
        << meterReport("level", "-70.0", "-inf") + meterReport("level", "-30.0", "-20.0") << false
        << QStringList{"Loudness: -30.0 LUFS, true peak -20.0 dBTP", "Gain: +12.0 dB"} << "volume=12.00dB";
    QTest::newRow("peaks would pass the ceiling")
        << meterReport("level", "-30.0", "-14.0") << true << QStringList{"Loudness: -30.0 LUFS, true peak -14.0 dBTP"}
        << "volume=12.00dB,alimiter=limit=0.5957:level=false:latency=true";
}

// What the first measurement decides: no gain, a plain gain, or a gain whose
// peaks need the limiter.
void tst_cConverter::evenLevelRules()
{
    QFETCH(QByteArray, report);
    QFETCH(bool, limited);
    QFETCH(QStringList, log);
    QFETCH(QString, filters);
    cEvenLevel level(-18.0, 0.0);
    const QHash<QString, cEvenLevel::Level> meters = cEvenLevel::readMeters(report);
    const auto found = meters.constFind(cEvenLevel::firstMeter());
    const cEvenLevel::Step step = level.measured(found == meters.cend() ? std::nullopt : std::make_optional(*found));
    QCOMPARE(step == cEvenLevel::Step::MeasureLimited, limited);
    QCOMPARE(level.takeLogLines(), log);
    QCOMPARE(level.filters(), filters);
}

void tst_cConverter::sharedRunMeters_data()
{
    QTest::addColumn<int>("input"); // among a shared run's inputs; -1: a run of its own
    QTest::addColumn<QString>("meter");
    QTest::addColumn<QString>("loudness");
    QTest::newRow("a run of its own") << -1 << "level"
                                      << "-30.0";
    QTest::newRow("the first input of a shared run") << 0 << "level0"
                                                     << "-25.0";
    QTest::newRow("the third input") << 2 << "level2"
                                     << "-20.0";
}

// In a run shared by several files, each file's meter has a name of its own,
// and the file reads its own meter's report, not another input's.
void tst_cConverter::sharedRunMeters()
{
    QFETCH(int, input);
    QFETCH(QString, meter);
    QFETCH(QString, loudness);
    const std::optional<int> shared = input < 0 ? std::nullopt : std::make_optional(input);
    cConversionPlan plan(QStringLiteral("-y"), QStringLiteral("in.wav"), {{}, false, -18.0, false});
    QVERIFY(plan.outputArgs(shared)
                .constFirst()
                .join(QLatin1Char(' '))
                .contains(cEvenLevel::meter(meter) + QLatin1Char(' ')));
    const QByteArray output = meterReport("level", "-30.0", "-40.0") + meterReport("level0", "-25.0", "-40.0") +
                              meterReport("level1", "-22.0", "-40.0") + meterReport("level2", "-20.0", "-40.0");
    QCOMPARE(plan.measured(output, shared).value(0), "Loudness: " + loudness + " LUFS, true peak -40.0 dBTP");
}

void tst_cConverter::evenLevel_data()
{
    QTest::addColumn<QString>("format");
    for (const char *format : {"wav8", "wav8-ulaw", "wav8-alaw", "g722", "gsm"})
        QTest::newRow(format) << format;
}

// Two spoken prompts 20 LU apart both end within 1 LU of the target with
// true peaks at or below -3 dBTP; one too short to measure keeps its level.
void tst_cConverter::evenLevel()
{
    QFETCH(QString, format);
    QVERIFY(
        TestSupport::writeWav(path(QStringLiteral("in/loud.wav")), 16000, 1, TestSupport::speechLike(16000, 4.0, 0.5)));
    QVERIFY(TestSupport::writeWav(path(QStringLiteral("in/quiet.wav")), 16000, 1,
                                  TestSupport::speechLike(16000, 4.0, 0.05)));
    QVERIFY(TestSupport::makeTone(path(QStringLiteral("in/short.wav")), 0.3));
    const auto [loud, loudPeak] = TestSupport::loudness(path(QStringLiteral("in/loud.wav")));
    const auto [quiet, quietPeak] = TestSupport::loudness(path(QStringLiteral("in/quiet.wav")));
    QVERIFY2(loud - quiet > 19 && loud - quiet < 21, qPrintable(QStringLiteral("%1 %2").arg(loud).arg(quiet)));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setChoices({{format}, false, -18.0, false});
    const QStringList sources{path(QStringLiteral("in/loud.wav")), path(QStringLiteral("in/quiet.wav")),
                              path(QStringLiteral("in/short.wav"))};
    converter.convertFiles(sources);
    QVERIFY(batchesDone(converter, results));
    QCOMPARE(results.files, (Reports{{sources.at(0), true}, {sources.at(1), true}, {sources.at(2), true}}));

    const cOutputFormat &written = cOutputFormat::byId(format);
    for (const QString &name : {QStringLiteral("loud"), QStringLiteral("quiet")}) {
        const auto [level, peak] =
            TestSupport::loudness(path(QStringLiteral("out/%1.%2").arg(name, written.ending())), written.inputArgs());
        QVERIFY2(qAbs(level + 18.0) <= 1.0 && peak <= -3.0,
                 qPrintable(QStringLiteral("%1: %2 LUFS, %3 dBTP").arg(name).arg(level).arg(peak)));
    }
    const QStringList lines = debug->lines();
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^Gain: [+-]\\d+\\.\\d dB"))).size(), 2);
    QCOMPARE(lines.filter(QStringLiteral("too short or too quiet to measure")).size(), 1);
}

void tst_cConverter::trimsSilence_data()
{
    // Seconds of silence before the tone, inside it and after it, and the length left.
    QTest::addColumn<double>("lead");
    QTest::addColumn<double>("pause");
    QTest::addColumn<double>("tail");
    QTest::addColumn<double>("length");
    QTest::newRow("2 s tone between 2 s and 3 s of silence") << 2.0 << 0.0 << 3.0 << 2.2;
    QTest::newRow("a pause inside stays") << 2.0 << 0.5 << 3.0 << 2.7;
    QTest::newRow("loud from the first sample to the last") << 0.0 << 0.0 << 0.0 << 2.0;
    QTest::newRow("a short lead stays") << 0.05 << 0.0 << 3.0 << 2.15;
}

// Leading and trailing silence is cut to 0.1 s; nothing inside is touched.
void tst_cConverter::trimsSilence()
{
    QFETCH(double, lead);
    QFETCH(double, pause);
    QFETCH(double, tail);
    QFETCH(double, length);
    constexpr int rate = 8000;
    QList<qint16> samples(static_cast<qsizetype>(lead * rate), 0);
    for (int n = 0; n < (2.0 + pause) * rate; ++n) {
        const bool paused = n >= rate && n < rate + pause * rate;
        samples << static_cast<qint16>(paused ? 0 : 16000 * std::cos(2 * 3.14159265 * 440 * n / rate));
    }
    samples += QList<qint16>(static_cast<qsizetype>(tail * rate), 0);
    QVERIFY(TestSupport::writeWav(path(QStringLiteral("in/padded.wav")), rate, 1, samples));

    SequentialConverter converter;
    const Results results(&converter);
    converter.setOutputDir(path(QStringLiteral("out")));
    converter.setChoices({{}, false, std::nullopt, true});
    converter.convertFiles({path(QStringLiteral("in/padded.wav"))});
    QVERIFY(batchesDone(converter, results));
    const double seconds = readWavHeader(path(QStringLiteral("out/padded.wav"))).dataBytes / (2.0 * rate);
    QVERIFY2(qAbs(seconds - length) <= 0.1, QByteArray::number(seconds));
}

QTEST_GUILESS_MAIN(tst_cConverter)
#include "tst_cconverter.moc"
