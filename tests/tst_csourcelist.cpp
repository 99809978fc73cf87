#include "core/csoundfilecheck.h"
#include "core/csourcelist.h"
#include "support/testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const latin1Names[] = {"/ok.wav",
                                   "/Gr\xf6\xdf"
                                   "e.wav",
                                   "/notes\xff.txt", "/d\xe4ir/x.wav"};

QStringList failureLines(const cSourceList::Result &result)
{
    QStringList lines;
    for (const cSourceList::Failure &failure : result.failures)
        lines << failure.path + QStringLiteral(": ") + failure.reason;
    return lines;
}

} // namespace

// The walk from named files and folders to the list of sources, on a real
// tree with awkward names and links.
class tst_cSourceList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void isSoundFile();
    void droppedFileIsSound_data();
    void droppedFileIsSound();
    void collect_data();
    void collect();
    void unreadable_data();
    void unreadable();
    void cancelEndsWalkWithoutResult();

private:
    QTemporaryDir scratch;
    QDir root{scratch.path()};
};

void tst_cSourceList::initTestCase()
{
    const QStringList files = QStringLiteral("a.wav|notes.txt|sub/c.flac|sub/deeper/d.OGG|sub/readme.md|"
                                             "sub/.hidden.wav|.hiddendir/x.wav|names/-dash.mp3|"
                                             "names/it's \"quoted\".mp3|names/Запись 1.opus|names/line\nbreak.wav|"
                                             "loop/e.wav|empty/.keep|locked/h.wav|locked/inside/g.wav")
                                  .split(QLatin1Char('|'));
    for (const QString &file : files) {
        QVERIFY(root.mkpath(QFileInfo(root.filePath(file)).path()));
        QVERIFY(TestSupport::writeFile(root.filePath(file), "x"));
    }
    // Names in Latin-1 bytes, as old archives unpack them.
    QVERIFY(root.mkpath(QStringLiteral("latin1")));
    const QByteArray latin1 = QFile::encodeName(root.filePath(QStringLiteral("latin1")));
    QVERIFY(::mkdir((latin1 + "/d\xe4ir").constData(), 0700) == 0);
    for (const char *name : latin1Names)
        QVERIFY(::close(::open((latin1 + name).constData(), O_CREAT | O_WRONLY, 0600)) == 0);
    // A loop, links to folders, a link to a file and a broken link.
    const QList<std::pair<const char *, const char *>> links{{"..", "loop/up"},
                                                             {"../sub", "loop/sub link"},
                                                             {"e.wav", "loop/f.wav"},
                                                             {"no.wav", "loop/broken.wav"},
                                                             {"sub", "sub link"}};
    for (const auto &[target, link] : links)
        QVERIFY(QFile::link(QString::fromUtf8(target), root.filePath(QString::fromUtf8(link))));
}

// Qt can't name these files to remove them.
void tst_cSourceList::cleanupTestCase()
{
    const QByteArray latin1 = QFile::encodeName(root.filePath(QStringLiteral("latin1")));
    for (const char *name : latin1Names)
        ::unlink((latin1 + name).constData());
    ::rmdir((latin1 + "/d\xe4ir").constData());
}

void tst_cSourceList::isSoundFile()
{
    for (const char *name : {"a.wav", "A.MP3", "a.FlAc", "a.aiff", "a.amr", "a.gsm", "a.b.m4a"})
        QVERIFY2(cSourceList::isSoundFile(QString::fromUtf8(name)), name);
    for (const char *name : {"a.txt", "a.wav.txt", "wav", "a.wav.", ""})
        QVERIFY2(!cSourceList::isSoundFile(QString::fromUtf8(name)), name);
}

void tst_cSourceList::droppedFileIsSound_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("sound");

    QTest::newRow("text") << "notes.txt" << QByteArray("RIFF, said the text") << false;
    QTest::newRow("sound extension, any case") << "PROMPT.WAV" << QByteArray() << true;
    QTest::newRow("WAV without extension") << "prompt" << QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) << true;
    QTest::newRow("tagged MP3") << "prompt" << QByteArray("ID3\x04\0\0\0\0", 8) << true;
    QTest::newRow("bare MP3 frame") << "prompt" << QByteArray("\xff\xfb\x90\x64") << true;
    QTest::newRow("FLAC") << "prompt" << QByteArray("fLaC") << true;
    QTest::newRow("Ogg") << "prompt" << QByteArray("OggS\0\x02") << true;
    QTest::newRow("M4A") << "prompt"
                         << QByteArray("\0\0\0\x20"
                                       "ftypM4A ",
                                       12)
                         << true;
    QTest::newRow("text without extension") << "README" << QByteArray("Hello\n") << false;
    QTest::newRow("empty without extension") << "empty" << QByteArray() << false;
}

void tst_cSourceList::droppedFileIsSound()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, sound);
    const QTemporaryDir dir;
    QVERIFY(TestSupport::writeFile(dir.filePath(name), content));
    QCOMPARE(cSoundFileCheck::isSound(dir.filePath(name)), sound);
}

void tst_cSourceList::collect_data()
{
    QTest::addColumn<QStringList>("named");
    QTest::addColumn<QStringList>("files");    // relative to the tree
    QTest::addColumn<QStringList>("failures"); // "path: reason"

    QTest::newRow("a folder: sound files of sub-folders, sorted; hidden and other files left out")
        << QStringList{"sub"} << QStringList{"sub/c.flac", "sub/deeper/d.OGG"} << QStringList();
    QTest::newRow("awkward names") << QStringList{"names"}
                                   << QStringList{"names/-dash.mp3", "names/it's \"quoted\".mp3",
                                                  "names/line\nbreak.wav", "names/Запись 1.opus"}
                                   << QStringList();
    QTest::newRow("a named file is listed whatever its name")
        << QStringList{"notes.txt", "sub/.hidden.wav"} << QStringList{"notes.txt", "sub/.hidden.wav"} << QStringList();
    QTest::newRow("a named hidden folder is walked")
        << QStringList{".hiddendir"} << QStringList{".hiddendir/x.wav"} << QStringList();
    QTest::newRow("a file, then its folder: listed once")
        << QStringList{"sub/deeper/d.OGG", "sub"} << QStringList{"sub/deeper/d.OGG", "sub/c.flac"} << QStringList();
    QTest::newRow("a folder, then a file in it: listed once")
        << QStringList{"sub", "sub/deeper/d.OGG"} << QStringList{"sub/c.flac", "sub/deeper/d.OGG"} << QStringList();
    QTest::newRow("a folder and its sub-folder: listed once")
        << QStringList{"sub/deeper", "sub"} << QStringList{"sub/deeper/d.OGG", "sub/c.flac"} << QStringList();
    QTest::newRow("a file named twice is listed twice")
        << QStringList{"a.wav", "./a.wav"} << QStringList{"a.wav", "a.wav"} << QStringList();
    QTest::newRow("missing paths are reported, the rest listed")
        << QStringList{"gone.wav", "a.wav", "gone/"} << QStringList{"a.wav"}
        << QStringList{"gone.wav: No such file or folder", "gone/: No such file or folder"};
    QTest::newRow("names not UTF-8: sound files fail, shown escaped; other files left out")
        << QStringList{"latin1"} << QStringList{"latin1/ok.wav"}
        << QStringList{"{root}/latin1/Gr\\xf6\\xdfe.wav: The name is not valid UTF-8: rename the file",
                       "{root}/latin1/d\\xe4ir/x.wav: The name of a folder on its path is not valid UTF-8: rename the "
                       "folder"};
    QTest::newRow("relative path cleaned")
        << QStringList{"sub/deeper/../../a.wav"} << QStringList{"a.wav"} << QStringList();
    QTest::newRow("absolute path") << QStringList{"{root}/a.wav"} << QStringList{"a.wav"} << QStringList();
    QTest::newRow("links: no loop, no folder followed; a file's listed, a broken one left out")
        << QStringList{"loop"} << QStringList{"loop/e.wav", "loop/f.wav"} << QStringList();
    QTest::newRow("a named link to a folder is walked")
        << QStringList{"sub link"} << QStringList{"sub link/c.flac", "sub link/deeper/d.OGG"} << QStringList();
    QTest::newRow("empty folder, empty name") << QStringList{"empty", ""} << QStringList() << QStringList();
}

void tst_cSourceList::collect()
{
    QFETCH(QStringList, named);
    QFETCH(QStringList, files);
    QFETCH(QStringList, failures);
    named.replaceInStrings(QStringLiteral("{root}"), root.path());
    failures.replaceInStrings(QStringLiteral("{root}"), root.path());
    for (QString &file : files)
        file = root.filePath(file);
    const QString notFound = QStringLiteral(": No such file or folder");
    QStringList missing = failures.filter(notFound);
    missing.replaceInStrings(notFound, QString());

    const TestSupport::DebugMessages messages;
    const cSourceList::Result result = cSourceList::collect(named, root.path());
    QCOMPARE(result.paths(), files);
    QCOMPARE(failureLines(result), failures);
    QCOMPARE(result.missing, missing);
    for (const QString &path : std::as_const(missing))
        QVERIFY(messages.lines().contains(QStringLiteral("Not found: ") + TestSupport::debugQuoted(path)));

    cSourceList sources;
    QSignalSpy listed(&sources, &cSourceList::listed);
    QVERIFY(sources.list(named, root.path()));
    QVERIFY(listed.wait());
    const auto async = listed.at(0).at(0).value<cSourceList::Result>();
    QCOMPARE(async.paths(), result.paths());
    QCOMPARE(async.failures, result.failures);
    QCOMPARE(async.missing, result.missing);
}

void tst_cSourceList::unreadable_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("locked"); // left with only these permissions
    QTest::addColumn<int>("permissions");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("failures");

    const int none = 0;
    const int readOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QTest::newRow("a named folder") << "locked"
                                    << "locked" << none << QStringList()
                                    << QStringList{"{root}/locked: Permission denied"};
    QTest::newRow("a sub-folder") << "locked"
                                  << "locked/inside" << none << QStringList{"locked/h.wav"}
                                  << QStringList{"{root}/locked/inside: Permission denied"};
    QTest::newRow("a named file in a folder that can't be searched")
        << "locked/h.wav"
        << "locked" << readOnly << QStringList() << QStringList{"{root}/locked/h.wav: Permission denied"};
}

// Root reads any folder: as root the case runs in a copy of this program as
// an unprivileged user.
void tst_cSourceList::unreadable()
{
    if (::geteuid() == 0) {
        const QString test = QStringLiteral("unreadable:") + QString::fromUtf8(QTest::currentDataTag());
        const TestSupport::ChildRun child = TestSupport::rerunUnprivileged(test);
        QVERIFY2(child.exitCode == 0 && child.output.contains(QStringLiteral("PASS   : tst_cSourceList::unreadable(")),
                 qPrintable(child.output));
        return;
    }
    QFETCH(QString, named);
    QFETCH(QString, locked);
    QFETCH(int, permissions);
    QFETCH(QStringList, files);
    QFETCH(QStringList, failures);
    failures.replaceInStrings(QStringLiteral("{root}"), root.path());
    for (QString &file : files)
        file = root.filePath(file);
    const QString lockedPath = root.filePath(locked);
    const auto restore = qScopeGuard([&] { QFile::setPermissions(lockedPath, QFile::permissions(root.path())); });
    QVERIFY(QFile::setPermissions(lockedPath, QFileDevice::Permissions(permissions)));

    const TestSupport::DebugMessages messages;
    const cSourceList::Result result = cSourceList::collect({named}, root.path());
    QCOMPARE(result.paths(), files);
    QCOMPARE(failureLines(result), failures);
    QVERIFY(!messages.lines().filter(QStringLiteral("Permission denied")).isEmpty());
}

// A cancel given while the walk reports its first file ends the walk before
// a second is found, with cancelled() and no result.
void tst_cSourceList::cancelEndsWalkWithoutResult()
{
    QTemporaryDir tree;
    for (int i = 0; i < 1000; ++i) {
        const QString path = tree.filePath(QStringLiteral("d%1/p%2.wav").arg(i % 20).arg(i));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) && TestSupport::writeFile(path, "x"));
    }
    const TestSupport::DebugMessages messages;
    cSourceList sources;
    const QSignalSpy listed(&sources, &cSourceList::listed);
    QSignalSpy cancelled(&sources, &cSourceList::cancelled);
    {
        TestSupport::HoldFirstEmission hold(&sources, &cSourceList::progress);
        QVERIFY(sources.list({tree.path()}));
        QVERIFY(hold.waitUntilHeld(5000));
        QVERIFY(!sources.list({tree.path()}));
        sources.cancel();
        hold.releaseLater(0);
        QVERIFY(cancelled.wait());
    }
    QCOMPARE(listed.count(), 0);
    QVERIFY(messages.lines().contains(QStringLiteral("Listing cancelled, files found so far: 1")));

    QVERIFY(sources.list({tree.path()}));
    QVERIFY(QSignalSpy(&sources, &cSourceList::listed).wait());
    QCOMPARE(listed.count(), 1);
    QCOMPARE(listed.at(0).at(0).value<cSourceList::Result>().sources.size(), 1000);
    QCOMPARE(cancelled.count(), 1);
}

QTEST_GUILESS_MAIN(tst_cSourceList)
#include "tst_csourcelist.moc"
