// Figures for the file table of the central widget with many files: filling it
// from the file dialog, showing a burst of results, the longest stall of the
// GUI event loop while a real batch runs, and the peak memory.
//
// Run: bench_filetable [seconds of the real batch, default 10]

#include "ui/cmainwidget.h"
#include "workers/cconverter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

long maxRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Lets the event loop handle everything pending: layouts, painting, and the
// widgets of replaced rows, which are deleted once control is back in a loop.
void settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// Makes count files called f00000.wav, ... in dir, each a copy of source (or empty).
QStringList makeFiles(const QString &dir, int count, const QByteArray &content)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("f%1.wav").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(QDir(dir).filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        names << name;
    }
    return names;
}

// Selects the named files of dir through the widget's file dialog; returns the
// milliseconds from the dialog's accept until the filled table is laid out.
double selectThroughDialog(cMainWidget &widget, const QString &dir, const QStringList &names)
{
    QElapsedTimer clock;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *const dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        dialog->setDirectory(dir);
        auto *const edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QStringList quoted;
        for (const QString &name : names)
            quoted << QLatin1Char('"') + name + QLatin1Char('"');
        {
            // The dialog would select each typed name in its view as it is typed.
            const QSignalBlocker blocker(edit);
            edit->setMaxLength(1 << 24);
            edit->setText(quoted.join(QLatin1Char(' ')));
        }
        clock.start();
        static_cast<QDialog *>(dialog)->accept();
    });
    poll.start();
    // A dialog that did not close (a file it could not find) ends the run.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &watchdog, [] {
        if (QApplication::activeModalWidget()) {
            std::fprintf(stderr, "a dialog stayed open\n");
            std::exit(1);
        }
    });
    watchdog.start(60000);
    widget.findChild<QAbstractButton *>(QStringLiteral("selectBtn"))->click();
    settle();
    widget.repaint();
    return clock.nsecsElapsed() / 1e6;
}

// Sends the start and the result of each row from a thread of its own, as the
// converter does, then the end of the batch; returns the milliseconds until all are shown.
double applyResults(cMainWidget &widget, const QStringList &paths)
{
    auto *const converter = widget.findChild<cConverter *>();
    int shown = 0;
    const QMetaObject::Connection counting =
        QObject::connect(widget.findChild<cBatch *>(), &cBatch::fileFinished, &widget, [&shown] { ++shown; });
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QThread> sender(QThread::create([&] {
        for (int i = 0; i < paths.size(); ++i) {
            const bool converted = i % 10 != 3;
            const cSource source{paths.at(i), QString(), i};
            emit converter->fileStarted(source);
            emit converter->fileFinished(
                {source, converted ? cFileResult::Outcome::Converted : cFileResult::Outcome::Failed,
                 converted ? paths.at(i) : QString(),
                 converted ? cText() : cText::plain(QStringLiteral("Invalid data found when processing input")),
                 QStringLiteral("wav8")});
            emit converter->fileProcessed(paths.at(i), converted);
        }
    }));
    sender->start();
    while (shown < paths.size())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
    widget.repaint();
    const double ms = clock.nsecsElapsed() / 1e6;
    sender->wait();
    QObject::disconnect(counting);
    return ms;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct BatchFigures
{
    double convertClickMs = 0;
    double worstStallMs = 0;
    // How long the GUI thread itself ran during that worst gap: the rest of
    // the gap it waited for a processor (ffmpeg keeps both cores busy).
    double worstStallCpuMs = 0;
    int results = 0;
};

// Presses Convert, lets the real batch run for the given time and measures the
// largest gap between two ticks of a 5 ms timer beyond its interval.
BatchFigures measureBatch(cMainWidget &widget, int seconds)
{
    auto *const converter = widget.findChild<cConverter *>();
    BatchFigures figures;
    const QMetaObject::Connection counting =
        QObject::connect(converter, &cConverter::fileProcessed, &widget, [&figures] { ++figures.results; });
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    double cpuAtTick = threadCpuMs();
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        const double stall = sinceTick.nsecsElapsed() / 1e6 - 5;
        const double cpu = threadCpuMs();
        if (stall > figures.worstStallMs) {
            figures.worstStallMs = stall;
            figures.worstStallCpuMs = cpu - cpuAtTick;
        }
        cpuAtTick = cpu;
        sinceTick.start();
    });
    QElapsedTimer clock;
    clock.start();
    widget.findChild<QAbstractButton *>(QStringLiteral("convertBtn"))->click();
    figures.convertClickMs = clock.nsecsElapsed() / 1e6;
    sinceTick.start();
    tick.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    tick.stop();
    QObject::disconnect(counting);
    return figures;
}

const QAbstractItemModel *listOf(const cMainWidget &widget)
{
    return widget.findChild<QTableView *>(QStringLiteral("fileList"))->model();
}

// How many rows show text in their status cell.
int countStatus(const cMainWidget &widget, const QString &text)
{
    const QAbstractItemModel *const list = listOf(widget);
    int count = 0;
    for (int row = 0; row < list->rowCount(); ++row)
        count += list->index(row, 2).data().toString() == text ? 1 : 0;
    return count;
}

// The milliseconds one jump of the table costs, drawn, as when a batch keeps
// its running row in view: the median of jumps to rows spread over the table.
double scrollJumpMs(cMainWidget &widget)
{
    auto *const table = widget.findChild<QTableView *>(QStringLiteral("fileList"));
    QList<double> times;
    for (int i = 1; i <= 9; ++i) {
        QElapsedTimer clock;
        clock.start();
        table->scrollTo(table->model()->index(table->model()->rowCount() * i / 10, 0),
                        QAbstractItemView::PositionAtCenter);
        settle();
        widget.repaint();
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

QStringList tablePaths(const cMainWidget &widget)
{
    const QAbstractItemModel *const list = listOf(widget);
    QStringList paths;
    for (int row = 0; row < list->rowCount(); ++row)
        paths << list->index(row, 0).data().toString();
    return paths;
}

// The memory the process holds now, as the system counts it.
long currentRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Lists the paths as Select files does once the dialog has closed; returns
// the milliseconds until the filled table is drawn.
double listPaths(cMainWidget &widget, const QStringList &paths)
{
    QElapsedTimer clock;
    clock.start();
    widget.listFiles(paths);
    settle();
    widget.repaint();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    const int batchSeconds = argc > 1 ? QByteArray(argv[1]).toInt() : 10;

    QTemporaryDir scratch;
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QStringLiteral("Marrowby"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath(QStringLiteral("settings")));
    QDir().mkpath(scratch.filePath(QStringLiteral("out")));
    QDir().mkpath(scratch.filePath(QStringLiteral("few")));
    QDir().mkpath(scratch.filePath(QStringLiteral("many")));
    QDir::setCurrent(scratch.filePath(QStringLiteral("out")));
    // The debug stream would print one line per file of the real batch.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    const QString tone = scratch.filePath(QStringLiteral("tone.wav"));
    const int made =
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                           QStringLiteral("-i"), QStringLiteral("sine=frequency=440:sample_rate=8000:duration=0.1"),
                           QStringLiteral("-ac"), QStringLiteral("1"), tone});
    QFile toneFile(tone);
    if (made != 0 || !toneFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot make a tone with ffmpeg\n");
        return 1;
    }
    const QByteArray toneBytes = toneFile.readAll();
    const QStringList few = makeFiles(scratch.filePath(QStringLiteral("few")), 1000, toneBytes);
    const QStringList many = makeFiles(scratch.filePath(QStringLiteral("many")), 10000, toneBytes);
    QDir().mkpath(scratch.filePath(QStringLiteral("huge")));
    QStringList huge = makeFiles(scratch.filePath(QStringLiteral("huge")), 100000, QByteArray());
    for (QString &name : huge)
        name = scratch.filePath(QStringLiteral("huge/") + name);

    const long baseKiB = maxRssKiB();
    auto widget = std::make_unique<cMainWidget>();
    widget->resize(650, 600);
    widget->show();
    settle();
    const long emptyKiB = currentRssKiB();

    const double fill1k = selectThroughDialog(*widget, scratch.filePath(QStringLiteral("few")), few);
    const BatchFigures batch1k = measureBatch(*widget, batchSeconds);
    widget.reset();

    widget = std::make_unique<cMainWidget>();
    widget->resize(650, 600);
    widget->show();
    settle();
    const double fill10k = selectThroughDialog(*widget, scratch.filePath(QStringLiteral("many")), many);
    const long rss10k = currentRssKiB();
    const double results10k = applyResults(*widget, tablePaths(*widget));
    const int shownOk = countStatus(*widget, QStringLiteral("OK"));
    const int shownFail = countStatus(*widget, QStringLiteral("FAIL!"));
    const double jump10k = scrollJumpMs(*widget);
    const double refill10k = selectThroughDialog(*widget, scratch.filePath(QStringLiteral("many")), many);
    const BatchFigures batch10k = measureBatch(*widget, batchSeconds);
    widget.reset();

    widget = std::make_unique<cMainWidget>();
    widget->resize(650, 600);
    widget->show();
    settle();
    QStringList manyPaths;
    for (const QString &name : many)
        manyPaths << scratch.filePath(QStringLiteral("many/") + name);
    const double list10k = listPaths(*widget, manyPaths);
    const double list100k = listPaths(*widget, huge);
    const long rss100k = currentRssKiB();
    const double jump100k = scrollJumpMs(*widget);
    widget.reset();

    std::printf("select 1,000 files to the drawn list:        %8.1f ms\n", fill1k);
    std::printf("select 10,000 files to the drawn list:       %8.1f ms (target <= 100)\n", fill10k);
    std::printf("select 10,000 files over 10,000:             %8.1f ms\n", refill10k);
    std::printf("list 10,000 files to the drawn list:         %8.1f ms\n", list10k);
    std::printf("list 100,000 files to the drawn list:        %8.1f ms (target <= 1000)\n", list100k);
    std::printf("show 10,000 results:                         %8.1f ms (target <= 50); shown: %d OK, %d FAIL!\n",
                results10k, shownOk, shownFail);
    std::printf("scroll the table, 10,000 / 100,000 rows:     %8.1f / %.1f ms per jump\n", jump10k, jump100k);
    std::printf("press Convert, 1,000 rows:                   %8.1f ms\n", batch1k.convertClickMs);
    std::printf("press Convert, 10,000 rows:                  %8.1f ms\n", batch10k.convertClickMs);
    std::printf("real batch, 1,000 rows:   worst event-loop pause %5.1f ms (%.1f ms of it running), %d results "
                "in %d s\n",
                batch1k.worstStallMs, batch1k.worstStallCpuMs, batch1k.results, batchSeconds);
    std::printf("real batch, 10,000 rows:  worst event-loop pause %5.1f ms (%.1f ms of it running), %d results "
                "in %d s (target <= 20)\n",
                batch10k.worstStallMs, batch10k.worstStallCpuMs, batch10k.results, batchSeconds);
    std::printf("memory: %ld MiB before any window, %ld MiB with an empty list, %ld MiB with 10,000 rows, "
                "%ld MiB with 100,000 rows (target <= 150)\n",
                baseKiB / 1024, emptyKiB / 1024, rss10k / 1024, rss100k / 1024);
    return 0;
}
