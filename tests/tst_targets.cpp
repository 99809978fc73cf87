#include "core/cbatch.h"
#include "support/testsupport.h"
#include "workers/cfileplan.h"
#include "workers/coutputformat.h"
#include "workers/ctarget.h"

#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::readFile;

// What each target writes, through the batch as the window and the command
// line run it, with the real ffmpeg: formats, names, layout, one converter
// run for all of a source's formats, and the limits of a platform.
class tst_Targets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void writesWhatItsSystemReads_data();
    void writesWhatItsSystemReads();
    void oneRunForEveryFormat_data();
    void oneRunForEveryFormat();
    void tooLongForItsPlatform_data();
    void tooLongForItsPlatform();
    void laysOutItsFolders_data();
    void laysOutItsFolders();
    void refusedOutputNamesItsFormat();

private:
    // Converts the sources into out/; the results, in order.
    QList<cFileResult> convert(const QStringList &sources, cBatch::Options options);
    // Every file under out/, relative to it, hidden ones included.
    QStringList written() const;
    QString path(const QString &relative) const { return scratch->filePath(relative); }

    std::unique_ptr<QTemporaryDir> scratch;
    QByteArray originalPath;
};

namespace {

// What ffprobe says of a file, read as its format is read back: codec, rate,
// channels and container.
QString probe(const QString &file, const cOutputFormat &format)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  QStringList{QStringLiteral("-v"), QStringLiteral("error")} + format.inputArgs() +
                      QStringList{QStringLiteral("-show_entries"),
                                  QStringLiteral("stream=codec_name,sample_rate,channels:format=format_name"),
                                  QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), file});
    if (!ffprobe.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).join(u' ');
}

} // namespace

void tst_Targets::initTestCase()
{
    originalPath = qgetenv("PATH");
}

void tst_Targets::init()
{
    qputenv("PATH", originalPath);
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch->isValid());
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("in")));
}

QList<cFileResult> tst_Targets::convert(const QStringList &sources, cBatch::Options options)
{
    cBatch batch;
    QSignalSpy results(&batch, &cBatch::fileFinished);
    QSignalSpy finished(&batch, &cBatch::finished);
    options.outputFolder = path(QStringLiteral("out"));
    options.forwardOutput = false;
    if (!batch.start(cSource::of(sources), options) || !finished.wait(120000))
        return {};
    QList<cFileResult> got;
    for (const QList<QVariant> &result : std::as_const(results))
        got << result.at(0).value<cFileResult>();
    return got;
}

QStringList tst_Targets::written() const
{
    QStringList files;
    QDirIterator found(path(QStringLiteral("out")), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << QDir(path(QStringLiteral("out"))).relativeFilePath(found.next());
    files.sort();
    return files;
}

void tst_Targets::writesWhatItsSystemReads_data()
{
    // Each output: its path under out/, "=", then codec, rate, channels and
    // container as ffprobe reads them.
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("outputs");
    const QString name = QStringLiteral("Welcome Greeting (final).mp3");
    const QString wav8 = QStringLiteral("pcm_s16le 8000 1 wav");
    const QString ulaw = QStringLiteral("pcm_mulaw 8000 1 wav");
    QTest::newRow("generic") << "generic" << QStringList() << name
                             << QStringList{"Welcome Greeting (final).wav=" + wav8};
    QTest::newRow("asterisk") << "asterisk" << QStringList() << name
                              << QStringList{"Welcome Greeting (final).alaw=pcm_alaw 8000 1 alaw",
                                             "Welcome Greeting (final).g722=adpcm_g722 16000 1 g722",
                                             "Welcome Greeting (final).sln16=pcm_s16le 16000 1 s16le",
                                             "Welcome Greeting (final).ulaw=pcm_mulaw 8000 1 mulaw"};
    QTest::newRow("asterisk, narrowed to the wideband WAV")
        << "asterisk" << QStringList{"wav16", "wav8"} << QStringLiteral("Главное меню.wav")
        << QStringList{"Glavnoe menu.wav=" + wav8, "Glavnoe menu.wav16=pcm_s16le 16000 1 wav"};
    QTest::newRow("freeswitch") << "freeswitch" << QStringList() << name
                                << QStringList{"16000/Welcome Greeting (final).wav=pcm_s16le 16000 1 wav",
                                               "8000/Welcome Greeting (final).wav=" + wav8};
    QTest::newRow("cisco-ucm-moh") << "cisco-ucm-moh" << QStringList() << name
                                   << QStringList{"Welcome_Greeting_(final).wav=" + wav8};
    QTest::newRow("cisco-uccx") << "cisco-uccx" << QStringList() << name
                                << QStringList{"Welcome_Greeting_final.wav=" + ulaw};
    QTest::newRow("avaya-aura") << "avaya-aura" << QStringList()
                                << QStringLiteral("Main menu after hours, holidays.mp3")
                                << QStringList{"Main menu after hours, holi.wav=" + ulaw};
    QTest::newRow("amazon-connect") << "amazon-connect" << QStringList() << name
                                    << QStringList{"Welcome Greeting (final).wav=" + ulaw};
    QTest::newRow("genesys-cloud") << "genesys-cloud" << QStringList() << QStringLiteral("1 Welcome.mp3")
                                   << QStringList{"sound_1_Welcome.wav=" + ulaw};
    QTest::newRow("teams") << "teams" << QStringList() << name
                           << QStringList{"Welcome Greeting (final).wav=pcm_s16le 16000 1 wav"};
    QTest::newRow("3cx") << "3cx" << QStringList() << name << QStringList{"Welcome Greeting (final).wav=" + wav8};
}

void tst_Targets::writesWhatItsSystemReads()
{
    QFETCH(QString, target);
    QFETCH(QStringList, formats);
    QFETCH(QString, source);
    QFETCH(QStringList, outputs);
    const QString in = path(QStringLiteral("in/") + source);
    QVERIFY(TestSupport::makeTone(in, 1.0));
    cBatch::Options options;
    options.target = target;
    options.formats = formats;
    const QList<cFileResult> results = convert({in}, options);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.first().outcome, cFileResult::Outcome::Converted);
    QCOMPARE(results.first().outputs.size(), outputs.size());

    QStringList got;
    const QStringList files = written();
    for (const QString &file : files) {
        // The format each output was written in, by the order of the result's outputs.
        const qsizetype at = results.first().outputs.indexOf(path(QStringLiteral("out/") + file));
        QVERIFY2(at >= 0, qPrintable(file));
        const QStringList ids = formats.isEmpty() ? cTarget::byId(target).formats() : formats;
        const cOutputFormat &format = cOutputFormat::byId(ids.value(at));
        got << file + QLatin1Char('=') + probe(path(QStringLiteral("out/") + file), format);
        // Read back as its system reads it.
        QCOMPARE(cTarget::byId(target).refusal(path(QStringLiteral("out/") + file), format).toString(), QString());
    }
    QCOMPARE(got, outputs);
}

void tst_Targets::oneRunForEveryFormat_data()
{
    QTest::addColumn<bool>("oneFilePerRun");
    QTest::addColumn<int>("runs");
    QTest::newRow("small files share a run") << false << 1;
    QTest::newRow("one run per file") << true << 3;
}

// Every format of a source comes from one reading of it, byte for byte what
// a run for each format alone writes.
void tst_Targets::oneRunForEveryFormat()
{
    QFETCH(bool, oneFilePerRun);
    QFETCH(int, runs);
    QStringList sources;
    for (const QString &name : {QStringLiteral("one.mp3"), QStringLiteral("two.wav"), QStringLiteral("three.mp3")}) {
        sources << path(QStringLiteral("in/") + name);
        QVERIFY(TestSupport::makeTone(sources.last(), 0.7));
    }
    // The real converter behind a wrapper that counts its runs.
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("bin")));
    QVERIFY(!TestSupport::writeFakeConverter(path(QStringLiteral("bin")),
                                             "echo run >> '" + QFile::encodeName(path(QStringLiteral("runs"))) +
                                                 "'\nexec '" + QFile::encodeName(ffmpeg) + "' \"$@\"")
                 .isEmpty());
    TestSupport::prependToPath(path(QStringLiteral("bin")));

    cBatch::Options options;
    options.target = QStringLiteral("asterisk");
    options.oneFilePerRun = oneFilePerRun;
    options.jobs = 1;
    const QList<cFileResult> results = convert(sources, options);
    QCOMPARE(results.size(), 3);
    QCOMPARE(readFile(path(QStringLiteral("runs"))).count("run"), runs);

    // Each format alone, with the generic target, into a folder of its own.
    QHash<QString, QByteArray> alone;
    for (const QString &format : cTarget::byId(QStringLiteral("asterisk")).formats()) {
        cBatch batch;
        QSignalSpy finished(&batch, &cBatch::finished);
        cBatch::Options one;
        one.outputFolder = path(QStringLiteral("alone-") + format);
        one.formats = {format};
        one.forwardOutput = false;
        QVERIFY(batch.start(cSource::of(sources), one));
        QVERIFY(finished.wait(60000));
        for (const QString &name : QDir(one.outputFolder).entryList(QDir::Files))
            alone.insert(name, readFile(QDir(one.outputFolder).filePath(name)));
    }
    const QStringList files = written();
    QCOMPARE(files.size(), 12);
    QCOMPARE(QStringList(alone.keys()).size(), 12);
    for (const QString &file : files)
        QVERIFY2(readFile(path(QStringLiteral("out/") + file)) == alone.value(file), qPrintable(file));
}

void tst_Targets::tooLongForItsPlatform_data()
{
    QTest::addColumn<bool>("trim");
    // Read from the source before anything runs.
    QTest::newRow("known before the run") << false;
    // Trimmed silence could have brought it within: its output is measured instead.
    QTest::newRow("measured after the run") << true;
}

void tst_Targets::tooLongForItsPlatform()
{
    QFETCH(bool, trim);
    const QString in = path(QStringLiteral("in/hold music.wav"));
    QVERIFY(TestSupport::makeTone(in, 6 * 60, 8000, 1));
    cBatch::Options options;
    options.target = QStringLiteral("amazon-connect");
    options.trim = trim;
    const QList<cFileResult> results = convert({in}, options);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.first().outcome, cFileResult::Outcome::Failed);
    // The trim's pads make the output a little longer than the source.
    const QString reason = results.first().reason.toString();
    QVERIFY2(reason.startsWith(QLatin1String("Longer than Amazon Connect takes: 6:0")) &&
                 reason.endsWith(QLatin1String(", at most 5:00")),
             qPrintable(reason));
    QCOMPARE(written(), QStringList());
}

void tst_Targets::laysOutItsFolders_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("a rate's folder holds the files")
        << "freeswitch" << QString() << QStringList{"wav8", "wav48"}
        << QStringList{"main-menu/8000/hello.wav", "main-menu/48000/hello.wav"};
    QTest::newRow("a language's folder holds the tree")
        << "asterisk"
        << "fr_CA" << QStringList{"ulaw"} << QStringList{"fr_CA/main-menu/hello.ulaw"};
    QTest::newRow("no language, no folder")
        << "asterisk" << QString() << QStringList{"sln16"} << QStringList{"main-menu/hello.sln16"};
    QTest::newRow("not a language, no folder") << "asterisk"
                                               << "../x" << QStringList{"ulaw"} << QStringList{"main-menu/hello.ulaw"};
    QTest::newRow("a target without folders") << "teams"
                                              << "en" << QStringList{"wav16"} << QStringList{"main-menu/hello.wav"};
}

// Where each output goes, with the folder tree kept; planned without a run.
void tst_Targets::laysOutItsFolders()
{
    QFETCH(QString, target);
    QFETCH(QString, language);
    QFETCH(QStringList, formats);
    QFETCH(QStringList, outputs);
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    cFilePlan::Settings settings;
    settings.outputDir = out;
    settings.keepFolders = true;
    settings.choices.formats = formats;
    settings.target = target;
    settings.language = language;
    const cFilePlan plan({path(QStringLiteral("in/main-menu/hello.mp3")), path(QStringLiteral("in")), 0}, settings);
    QVERIFY2(!plan.refusal(), plan.refusal() ? qPrintable(plan.refusal()->logLine) : "");
    QStringList got;
    for (const cFilePlan::Output &output : plan.outputs())
        got << QDir(out).relativeFilePath(output.path);
    QCOMPARE(got, outputs);
}

// One output its system would refuse fails the file, names its format, and
// none of the file's outputs is written.
void tst_Targets::refusedOutputNamesItsFormat()
{
    const QString in = path(QStringLiteral("in/hello.wav"));
    QVERIFY(TestSupport::makeTone(in, 0.5));
    // Writes one byte into every output: whole frames but for 16-bit samples.
    QVERIFY(QDir(scratch->path()).mkpath(QStringLiteral("bin")));
    QVERIFY(!TestSupport::writeFakeConverter(path(QStringLiteral("bin")),
                                             "for a; do case \"$a\" in */.marrowby-*) printf x > \"$a\";; esac; done")
                 .isEmpty());
    TestSupport::prependToPath(path(QStringLiteral("bin")));
    cBatch::Options options;
    options.target = QStringLiteral("asterisk");
    const QList<cFileResult> results = convert({in}, options);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.first().outcome, cFileResult::Outcome::Failed);
    const QString reason = results.first().reason.toString();
    QVERIFY2(reason.startsWith(cOutputFormat::byId(QStringLiteral("sln16")).name() + QStringLiteral(": ")),
             qPrintable(reason));
    QCOMPARE(written(), QStringList());
}

QTEST_GUILESS_MAIN(tst_Targets)
#include "tst_targets.moc"
