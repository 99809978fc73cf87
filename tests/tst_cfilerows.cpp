#include "ui/cfilerows.h"

#include <QtTest>

// The window's rows without a window: which row a start or a result belongs
// to, also for a file listed twice, after removals and across batches.
class tst_cFileRows : public QObject
{
    Q_OBJECT

private slots:
    void resultsFindTheirRows_data();
    void resultsFindTheirRows();
    void stopLeavesUnfinishedRowsWaiting();
};

using State = cFileRows::State;

void tst_cFileRows::resultsFindTheirRows_data()
{
    // Events: "s:path" a start, "ok:path", "warn:path", "skip:path" or
    // "fail:path" a result, "rm:row" a removal, "new" a new batch; each gives
    // the row it touched (-1 for none). "add:p,q" adds paths and gives how many
    // were added; "again" starts a batch of the failed rows and gives how
    // many; "next:row" gives the next row that needs attention.
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<int>>("touched");
    QTest::addColumn<QList<State>>("states");
    QTest::addColumn<int>("firstUnfinished");

    const QStringList twice{"a", "b", "a"};
    QTest::newRow("k-th result, k-th row")
        << twice << QStringList{"ok:a", "fail:a", "ok:a", "ok:c"} << QList<int>{0, 2, -1, -1}
        << QList<State>{State::Converted, State::Waiting, State::Failed} << 1;
    QTest::newRow("starts take waiting rows")
        << twice << QStringList{"s:a", "s:a", "s:a", "ok:a"} << QList<int>{0, 2, -1, 0}
        << QList<State>{State::Converted, State::Waiting, State::Converting} << 1;
    QTest::newRow("after a removal") << twice << QStringList{"rm:0", "ok:a", "ok:b"} << QList<int>{-1, 1, 0}
                                     << QList<State>{State::Converted, State::Converted} << 2;
    QTest::newRow("a new batch starts over")
        << twice << QStringList{"ok:a", "ok:a", "ok:b", "new", "fail:a"} << QList<int>{0, 2, 1, -1, 0}
        << QList<State>{State::Failed, State::Waiting, State::Waiting} << 1;
    QTest::newRow("adding leaves listed paths out")
        << QStringList{"a", "b"} << QStringList{"add:b,c,c,d", "ok:c", "next:-1"} << QList<int>{2, 2, -1}
        << QList<State>{State::Waiting, State::Waiting, State::Converted, State::Waiting} << 0;
    QTest::newRow("failed rows again, the others keep their results")
        << twice << QStringList{"ok:a", "fail:b", "fail:a", "next:0", "next:2", "again", "ok:a", "fail:b", "next:1"}
        << QList<int>{0, 1, 2, 1, 1, 2, 2, 1, 1} << QList<State>{State::Converted, State::Failed, State::Converted}
        << 3;
    QTest::newRow("skipped and warned are results of their own; a warning wants attention")
        << twice << QStringList{"skip:a", "warn:b", "next:0"} << QList<int>{0, 1, 1}
        << QList<State>{State::Skipped, State::Warned, State::Waiting} << 2;
}

void tst_cFileRows::resultsFindTheirRows()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, events);
    QFETCH(QList<int>, touched);
    QFETCH(QList<State>, states);
    QFETCH(int, firstUnfinished);

    cFileRows rows;
    rows.setPaths(paths);
    QList<int> got;
    for (const QString &event : std::as_const(events)) {
        const QString what = event.section(u':', 0, 0);
        const QString arg = event.section(u':', 1);
        if (what == QLatin1String("s"))
            got << rows.start(arg);
        else if (what == QLatin1String("rm"))
            rows.remove({arg.toInt()}), got << -1;
        else if (what == QLatin1String("new"))
            rows.restart(), got << -1;
        else if (what == QLatin1String("add"))
            got << rows.add(arg.split(u','));
        else if (what == QLatin1String("again"))
            got << static_cast<int>(rows.restartFailed().size());
        else if (what == QLatin1String("next"))
            got << rows.nextNeedingAttention(arg.toInt());
        else if (what == QLatin1String("skip") || what == QLatin1String("warn"))
            got << rows.finish(
                {arg, what == QLatin1String("warn"), QString(), cText(),
                 what == QLatin1String("warn") ? cBatch::Result::Kind::Warned : cBatch::Result::Kind::Skipped,
                 QString()});
        else
            got << rows.finish(arg, what == QLatin1String("ok"), QString(), cText());
    }
    QCOMPARE(got, touched);
    QList<State> gotStates;
    for (int row = 0; row < rows.count(); ++row)
        gotStates << rows.at(row).state;
    QCOMPARE(gotStates, states);
    QCOMPARE(rows.firstUnfinished(), firstUnfinished);
}

void tst_cFileRows::stopLeavesUnfinishedRowsWaiting()
{
    cFileRows rows;
    rows.setPaths({"a", "b", "c"});
    rows.start(QStringLiteral("a"));
    rows.finish(QStringLiteral("a"), true, QStringLiteral("/out/a.wav"), cText());
    rows.start(QStringLiteral("b"));
    rows.start(QStringLiteral("c"));
    QCOMPARE(rows.stopConverting(), (QList<int>{1, 2}));
    QCOMPARE(rows.at(0).state, State::Converted);
    QCOMPARE(rows.at(0).output, QStringLiteral("/out/a.wav"));
    QCOMPARE(rows.at(1).state, State::Waiting);
    QCOMPARE(rows.at(2).state, State::Waiting);
}

QTEST_APPLESS_MAIN(tst_cFileRows)
#include "tst_cfilerows.moc"
