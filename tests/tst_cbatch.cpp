#include "core/cbatch.h"
#include "support/testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The batch both front ends run: the output folder rule, its log lines, and
// the tally it keeps while a stand-in converter fails some files.
class tst_cBatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outputFolder_data();
    void outputFolder();
    void makesAMissingOutputFolder_data();
    void makesAMissingOutputFolder();
    void talliesEveryFile_data();
    void talliesEveryFile();
    void countsSkippedAndWarnedApart_data();
    void countsSkippedAndWarnedApart();

private:
    QTemporaryDir scratch;
    std::optional<TestSupport::DebugMessages> debug;
};

void tst_cBatch::initTestCase()
{
    QVERIFY(scratch.isValid());
    // The stand-in fails every file whose name says "bad" and blocks on "slow" until it is ended.
    QVERIFY(QDir(scratch.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(!TestSupport::writeFakeConverter(scratch.filePath(QStringLiteral("bin")),
                                             "for last; do :; done\n"
                                             "case \"$*\" in *bad*) exit 1;; *slow*) sleep 60;; esac\n"
                                             ": > \"$last\"")
                 .isEmpty());
    TestSupport::prependToPath(scratch.filePath(QStringLiteral("bin")));
    debug.emplace();
}

void tst_cBatch::outputFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("stored"); // kept for the next start, whose working directory may differ
    const QString cwd = QDir::currentPath();
    QTest::newRow("empty: the working directory") << QString() << QString() << QString();
    QTest::newRow("blanks around it") << QStringLiteral("  /srv/out \t") << QStringLiteral("/srv/out")
                                      << QStringLiteral("  /srv/out \t");
    QTest::newRow("home") << QStringLiteral("~") << QDir::homePath() << QStringLiteral("~");
    QTest::newRow("in home") << QStringLiteral(" ~/prompts") << QDir::homePath() + QStringLiteral("/prompts")
                             << QStringLiteral(" ~/prompts");
    QTest::newRow("another user's home is a name")
        << QStringLiteral("~ann/x") << QStringLiteral("~ann/x") << cwd + QStringLiteral("/~ann/x");
    QTest::newRow("relative") << QStringLiteral("out/../wav") << QStringLiteral("out/../wav")
                              << cwd + QStringLiteral("/wav");
}

void tst_cBatch::outputFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    QFETCH(QString, stored);
    QCOMPARE(cBatch::outputFolder(typed), folder);
    QCOMPARE(cBatch::storedFolder(typed), stored);
}

void tst_cBatch::countsSkippedAndWarnedApart_data()
{
    // Files as "c" converted, "w" warned, "s" skipped, "f" failed.
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("finished"); // after "N files: "
    QTest::addColumn<QString>("stopped");
    QTest::newRow("none skipped or warned: the plain texts") << "cf"
                                                             << "1 converted, 1 failed, in 0:00"
                                                             << "Stopped: 2 of 3 done, 1 failed, in 0:00";
    QTest::newRow("skipped and warned") << "cwssf"
                                        << "2 converted, 1 failed, 2 skipped, 1 with a warning, in 0:00"
                                        << "Stopped: 5 of 6 done, 1 failed, 2 skipped, 1 with a warning, in 0:00";
}

void tst_cBatch::countsSkippedAndWarnedApart()
{
    QFETCH(QString, files);
    QFETCH(QString, finished);
    QFETCH(QString, stopped);
    for (const bool stop : {false, true}) {
        cBatchProgress progress;
        progress.start(static_cast<int>(files.size()) + (stop ? 1 : 0));
        for (const QChar kind : std::as_const(files))
            progress.fileDone(kind == u'c'   ? cFileResult::Outcome::Converted
                              : kind == u'w' ? cFileResult::Outcome::Warned
                              : kind == u's' ? cFileResult::Outcome::Skipped
                                             : cFileResult::Outcome::Failed);
        progress.finish();
        // After the file count, whose plural is the translation's.
        QCOMPARE(stop ? progress.stoppedText() : progress.finishedText().section(QStringLiteral(": "), 1),
                 stop ? stopped : finished);
    }
}

void tst_cBatch::makesAMissingOutputFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("made");
    QTest::newRow("nested, missing") << QStringLiteral("new/deeper") << true;
    QTest::newRow("a file in its place") << QStringLiteral("file/out") << false;
}

void tst_cBatch::makesAMissingOutputFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, made);
    QTemporaryDir dir;
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("file")), "not a folder"));
    cBatch batch;
    QSignalSpy finished(&batch, &cBatch::finished);
    debug->clear();

    QCOMPARE(batch.start({}, {dir.filePath(folder)}), made);
    QCOMPARE(batch.isRunning(), made);
    QCOMPARE(QFileInfo(dir.filePath(folder)).isDir(), made);
    const QString line =
        made ? QStringLiteral("Output folder created: ") : QStringLiteral("Could not create the output folder: ");
    QVERIFY2(debug->lines().contains(line + TestSupport::debugQuoted(dir.filePath(folder))),
             qPrintable(debug->lines().join('\n')));
    if (made)
        QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), made ? 1 : 0);
}

void tst_cBatch::talliesEveryFile_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("failedBefore");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<int>("converted");
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("total");
    QTest::newRow("all converted") << QStringList{"a.mp3", "b.mp3"} << 0 << false << 2 << 0 << 2;
    QTest::newRow("one bad, one missing") << QStringList{"a.mp3", "bad.mp3"} << 1 << false << 1 << 2 << 3;
    QTest::newRow("nothing but missing paths") << QStringList() << 2 << false << 0 << 2 << 2;
    QTest::newRow("stopped during a slow file")
        << QStringList{"a.mp3", "slow.mp3", "c.mp3"} << 0 << true << 1 << 0 << 3;
}

void tst_cBatch::talliesEveryFile()
{
    QFETCH(QStringList, names);
    QFETCH(int, failedBefore);
    QFETCH(bool, stop);
    QFETCH(int, converted);
    QFETCH(int, failed);
    QFETCH(int, total);
    QTemporaryDir out;
    QStringList files;
    for (const QString &name : std::as_const(names)) {
        files << out.filePath(QStringLiteral("in/") + name);
        QVERIFY(QDir(out.path()).mkpath(QStringLiteral("in")) && TestSupport::writeFile(files.last(), "x"));
    }
    cBatch batch;
    QSignalSpy finished(&batch, &cBatch::finished);
    QSignalSpy results(&batch, &cBatch::fileFinished);
    cBatch::Options options;
    options.outputFolder = out.filePath(QStringLiteral("out"));
    options.jobs = 1;
    options.forwardOutput = false;
    options.oneFilePerRun = true; // the fake program converts one file per run
    QVERIFY(batch.start(cSource::of(files), options, failedBefore));
    if (stop) {
        QTRY_COMPARE(results.count(), 1);
        QTest::qWait(100);
        batch.stop();
    }
    QVERIFY(finished.wait(20000));
    QVERIFY(!batch.isRunning());
    QCOMPARE(batch.wasStopped(), stop);
    QCOMPARE(batch.progress().converted(), converted);
    QCOMPARE(batch.progress().failed(), failed);
    QCOMPARE(batch.progress().total(), total);
    QCOMPARE(results.count(), converted + failed - failedBefore);
}

QTEST_GUILESS_MAIN(tst_cBatch)
#include "tst_cbatch.moc"
