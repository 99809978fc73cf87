#include "ui/cfilelistmodel.h"

#include <QtTest>

// The window's rows without a window: which row a start or a result belongs
// to, also for a file listed twice, after removals and across batches.
class tst_cFileListModel : public QObject
{
    Q_OBJECT

private slots:
    void resultsFindTheirRows_data();
    void resultsFindTheirRows();
    void stopLeavesUnfinishedRowsWaiting();
};

namespace {

// A row's state as the rows below name it.
QString state(const cFileListModel::Row &row)
{
    using State = cFileListModel::Row::State;
    if (row.state != State::Done)
        return row.state == State::Waiting ? QStringLiteral("waiting") : QStringLiteral("converting");
    switch (row.result.outcome) {
    case cFileResult::Outcome::Converted:
        return QStringLiteral("ok");
    case cFileResult::Outcome::Warned:
        return QStringLiteral("warn");
    case cFileResult::Outcome::Skipped:
        return QStringLiteral("skip");
    case cFileResult::Outcome::Failed:
        break;
    }
    return QStringLiteral("fail");
}

} // namespace

void tst_cFileListModel::resultsFindTheirRows_data()
{
    // Events: "s:row" the start of the row's source, "ok:row", "warn:row",
    // "skip:row" or "fail:row" its result, "stale:row" a result for that row
    // of a source it no longer holds, "rm:row" a removal, "new" a new batch;
    // each gives the row it touched (-1 for none). "add:p,q" adds paths and
    // gives how many were added; "again" starts a batch of the failed rows and
    // gives how many; "next:row" gives the next row that needs attention.
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<int>>("touched");
    QTest::addColumn<QStringList>("states");
    QTest::addColumn<int>("firstUnfinished");

    const QStringList twice{"a", "b", "a"};
    QTest::newRow("each result to its own row, also for a file listed twice")
        << twice << QStringList{"ok:2", "fail:0", "ok:0", "ok:3"} << QList<int>{2, 0, -1, -1}
        << QStringList{"fail", "waiting", "ok"} << 1;
    QTest::newRow("starts take waiting rows")
        << twice << QStringList{"s:2", "s:2", "s:0", "ok:2"} << QList<int>{2, -1, 0, 2}
        << QStringList{"converting", "waiting", "ok"} << 0;
    QTest::newRow("a source its row no longer holds")
        << twice << QStringList{"stale:0", "rm:0", "ok:1"} << QList<int>{-1, -1, -1}
        << QStringList{"waiting", "waiting"} << 0;
    QTest::newRow("a new batch starts over")
        << twice << QStringList{"ok:0", "ok:2", "ok:1", "new", "fail:0"} << QList<int>{0, 2, 1, -1, 0}
        << QStringList{"fail", "waiting", "waiting"} << 1;
    QTest::newRow("adding leaves listed paths out")
        << QStringList{"a", "b"} << QStringList{"add:b,c,c,d", "ok:2", "next:-1"} << QList<int>{2, 2, -1}
        << QStringList{"waiting", "waiting", "ok", "waiting"} << 0;
    QTest::newRow("failed rows again, the others keep their results")
        << twice
        << QStringList{"ok:0", "fail:1", "fail:2", "next:0", "next:2", "again", "ok:2", "ok:0", "fail:1", "next:1"}
        << QList<int>{0, 1, 2, 1, 1, 2, 2, -1, 1, 1} << QStringList{"ok", "fail", "ok"} << 3;
    QTest::newRow("skipped and warned are results of their own; a warning wants attention")
        << twice << QStringList{"skip:0", "warn:1", "next:0"} << QList<int>{0, 1, 1}
        << QStringList{"skip", "warn", "waiting"} << 2;
}

void tst_cFileListModel::resultsFindTheirRows()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, events);
    QFETCH(QList<int>, touched);
    QFETCH(QStringList, states);
    QFETCH(int, firstUnfinished);

    const QHash<QString, cFileResult::Outcome> outcomes{{"ok", cFileResult::Outcome::Converted},
                                                        {"warn", cFileResult::Outcome::Warned},
                                                        {"skip", cFileResult::Outcome::Skipped},
                                                        {"fail", cFileResult::Outcome::Failed},
                                                        {"stale", cFileResult::Outcome::Converted}};
    cFileListModel rows;
    rows.setPaths(paths);
    // What the last batch was handed: the list as it was when it started.
    QList<cSource> listed = rows.sources();
    QList<int> got;
    for (const QString &event : std::as_const(events)) {
        const QString what = event.section(u':', 0, 0);
        const QString arg = event.section(u':', 1);
        // The source the batch was handed for the row, or one it never held.
        const cSource stale{QStringLiteral("z"), QString(), arg.toInt()};
        const cSource source = what == QLatin1String("stale") ? stale : listed.value(arg.toInt(), stale);
        if (what == QLatin1String("s"))
            got << rows.start(source);
        else if (what == QLatin1String("rm"))
            rows.remove({arg.toInt()}), got << -1;
        else if (what == QLatin1String("new"))
            rows.restart(), got << -1;
        else if (what == QLatin1String("add"))
            got << rows.add(arg.split(u',')), listed = rows.sources();
        else if (what == QLatin1String("again"))
            got << static_cast<int>(rows.restartFailed().size());
        else if (what == QLatin1String("next"))
            got << rows.nextNeedingAttention(arg.toInt());
        else
            got << rows.finish({source, outcomes.value(what), QString(), cText(), QString()});
    }
    QCOMPARE(got, touched);
    QStringList gotStates;
    for (int row = 0; row < rows.count(); ++row)
        gotStates << state(rows.at(row));
    QCOMPARE(gotStates, states);
    QCOMPARE(rows.firstUnfinished(), firstUnfinished);
}

void tst_cFileListModel::stopLeavesUnfinishedRowsWaiting()
{
    cFileListModel rows;
    rows.setPaths({"a", "b", "c"});
    const QList<cSource> sources = rows.sources();
    rows.start(sources.at(0));
    rows.finish({sources.at(0), cFileResult::Outcome::Converted, QStringLiteral("/out/a.wav"), cText(), QString()});
    rows.start(sources.at(1));
    rows.start(sources.at(2));
    QCOMPARE(rows.stopConverting(), (QList<int>{1, 2}));
    QCOMPARE(state(rows.at(0)), QStringLiteral("ok"));
    QCOMPARE(rows.at(0).result.output, QStringLiteral("/out/a.wav"));
    QCOMPARE(state(rows.at(1)), QStringLiteral("waiting"));
    QCOMPARE(state(rows.at(2)), QStringLiteral("waiting"));
}

QTEST_APPLESS_MAIN(tst_cFileListModel)
#include "tst_cfilelistmodel.moc"
