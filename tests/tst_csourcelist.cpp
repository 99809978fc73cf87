#include "core/csourcelist.h"
#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The walk from named files and folders to the list of sources, on a real
// tree with awkward names and links.
class tst_cSourceList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isSoundFile();
    void collect_data();
    void collect();
    void unreadableFolderIsSkippedAndLogged();

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
    // A loop, links to folders, a link to a file and a broken link.
    const QList<std::pair<const char *, const char *>> links{{"..", "loop/up"},
                                                             {"../sub", "loop/sub link"},
                                                             {"e.wav", "loop/f.wav"},
                                                             {"no.wav", "loop/broken.wav"},
                                                             {"sub", "sub link"}};
    for (const auto &[target, link] : links)
        QVERIFY(QFile::link(QString::fromUtf8(target), root.filePath(QString::fromUtf8(link))));
}

void tst_cSourceList::isSoundFile()
{
    for (const char *name : {"a.wav", "A.MP3", "a.FlAc", "a.aiff", "a.amr", "a.gsm", "a.b.m4a"})
        QVERIFY2(cSourceList::isSoundFile(QString::fromUtf8(name)), name);
    for (const char *name : {"a.txt", "a.wav.txt", "wav", "a.wav.", ""})
        QVERIFY2(!cSourceList::isSoundFile(QString::fromUtf8(name)), name);
}

void tst_cSourceList::collect_data()
{
    QTest::addColumn<QStringList>("named");
    QTest::addColumn<QStringList>("files");   // relative to the tree
    QTest::addColumn<QStringList>("missing"); // as named

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
        << QStringList{"gone.wav", "a.wav", "gone/"} << QStringList{"a.wav"} << QStringList{"gone.wav", "gone/"};
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
    QFETCH(QStringList, missing);
    named.replaceInStrings(QStringLiteral("{root}"), root.path());
    for (QString &file : files)
        file = root.filePath(file);

    const TestSupport::DebugMessages messages;
    const cSourceList::Result result = cSourceList::collect(named, root.path());
    QCOMPARE(result.files, files);
    QCOMPARE(result.missing, missing);
    for (const QString &path : std::as_const(missing))
        QVERIFY(messages.lines().contains(QStringLiteral("Not found: ") + TestSupport::debugQuoted(path)));
}

// Permissions don't stop root from reading a folder: nothing to test then.
void tst_cSourceList::unreadableFolderIsSkippedAndLogged()
{
    const QString inside = root.filePath(QStringLiteral("locked/inside"));
    QVERIFY(QFile::setPermissions(inside, QFileDevice::Permissions()));
    const auto restore =
        qScopeGuard([&] { QFile::setPermissions(inside, QFileDevice::ReadOwner | QFileDevice::ExeOwner); });
    if (::access(QFile::encodeName(inside).constData(), R_OK) == 0)
        QSKIP("Running with rights that read any folder");

    const TestSupport::DebugMessages messages;
    QCOMPARE(cSourceList::collect({root.filePath(QStringLiteral("locked"))}).files,
             QStringList{root.filePath(QStringLiteral("locked/h.wav"))});
    QVERIFY(
        messages.lines().contains(QStringLiteral("Folder not readable, skipped: ") + TestSupport::debugQuoted(inside)));
}

QTEST_GUILESS_MAIN(tst_cSourceList)
#include "tst_csourcelist.moc"
