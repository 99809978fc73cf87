#include "support/testsupport.h"
#include "workers/cprivatefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// What a killed run left in an output folder is removed by the next run;
// everything that can't be proven such a leftover of Marrowby's own stays.
class tst_cPrivateFolder : public QObject
{
    Q_OBJECT

private slots:
    void clearLeftovers_data();
    void clearLeftovers();
};

void tst_cPrivateFolder::clearLeftovers_data()
{
    // A private folder with an output in it, as a run leaves it, then changed so.
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("removed");
    QTest::newRow("a run that ended") << QString() << true;
    QTest::newRow("a run that ended before its program wrote") << "no output" << true;
    QTest::newRow("a run that goes on") << "held" << false;
    QTest::newRow("no lock file") << "no lock" << false;
    QTest::newRow("an owner line not yet written") << "empty lock" << false;
    QTest::newRow("a link by a private folder's name") << "link" << false;
    QTest::newRow("a link inside") << "link inside" << false;
    QTest::newRow("a lock file that is a link") << "lock link" << false;
    QTest::newRow("a folder inside") << "folder inside" << false;
    QTest::newRow("open to others") << "open" << false;
    QTest::newRow("another user's") << "other user" << false;
    QTest::newRow("another name") << "other name" << false;
}

void tst_cPrivateFolder::clearLeftovers()
{
    QFETCH(QString, change);
    QFETCH(bool, removed);
    if (change == "other user" && ::geteuid() != 0)
        QSKIP("only root can give a folder to another user");
    QTemporaryDir scratch;
    const QDir root(scratch.path());
    QVERIFY(root.mkpath(QStringLiteral("out")) && root.mkpath(QStringLiteral("elsewhere")));
    const QString out = root.filePath(QStringLiteral("out"));
    const QString name =
        change == "other name" ? QStringLiteral(".marrowby-abc12") : QStringLiteral(".marrowby-Ab12cD");
    // A link's run lies elsewhere.
    const QString made = root.filePath((change == "link" ? "elsewhere/" : "out/") + name);
    QVERIFY(::mkdir(QFile::encodeName(made).constData(), 0700) == 0);
    const QString output = QDir(made).filePath(QStringLiteral("a.wav"));
    const QString lockFile = QDir(made).filePath(QStringLiteral(".lock"));
    if (change != "no output")
        QVERIFY(TestSupport::writeFile(output, "RIFF"));
    const int lock = change == "no lock" ? -1 : cPrivateFolder::mark(made);
    QVERIFY(change == "no lock" || lock >= 0);
    // The run ends, or goes on until the test is over.
    if (change != "held")
        cPrivateFolder::unmark(lock);
    const auto end = qScopeGuard([&] {
        if (change == "held")
            cPrivateFolder::unmark(lock);
    });

    if (change == "empty lock") {
        QVERIFY(TestSupport::writeFile(lockFile, ""));
    } else if (change == "link") {
        QVERIFY(QFile::link(made, QDir(out).filePath(name)));
    } else if (change == "link inside") {
        QVERIFY(QFile::link(root.filePath(QStringLiteral("elsewhere")), QDir(made).filePath(QStringLiteral("b.wav"))));
    } else if (change == "lock link") {
        const QString real = root.filePath(QStringLiteral("elsewhere/.lock"));
        QVERIFY(QFile::rename(lockFile, real) && QFile::link(real, lockFile));
    } else if (change == "folder inside") {
        QVERIFY(QDir(made).mkdir(QStringLiteral("sub")));
    } else if (change == "open") {
        QVERIFY(::chmod(QFile::encodeName(made).constData(), 0755) == 0);
    } else if (change == "other user") {
        QVERIFY(::chown(QFile::encodeName(made).constData(), 65534, 65534) == 0);
    }

    const QString inOut = QDir(out).filePath(name);
    QCOMPARE(cPrivateFolder::clearLeftovers(out), removed ? QStringList{inOut} : QStringList());
    QCOMPARE(QFileInfo(inOut).exists() || QFileInfo(inOut).isSymLink(), !removed);
    // Nothing that is left alone loses a file.
    if (!removed)
        QCOMPARE(QFileInfo::exists(output), change != "no output");
}

QTEST_GUILESS_MAIN(tst_cPrivateFolder)
#include "tst_cprivatefolder.moc"
