#include "app/cmainwindow.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <sys/resource.h>

// The main window: its settings round trip and the log file it writes.
class tst_cMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartWithEmptyStore();
    void geometryRoundTrip_data();
    void geometryRoundTrip();
    void rejectedStateDoesNoHarm();

    void logStartsWithStartUpLinesAndIsEmptiedAtStart();
    void logKeepsOrderAcrossThreads();
    void logLines_data();
    void logLines();
    void logKeepsMessagesOfTheWindowsLifetime();
    void unopenableLogChangesNothingElse();
    void fatalMessageFromAWorkerIsTheLastLine();
    void longPathsLeaveResultsInView();
    void stopBatch_data();
    void stopBatch();

private:
    QByteArray logBytes() const;
    QStringList readLogLines() const;

    QTemporaryDir scratch;
    QString workDir;
    QtMessageHandler testHandler = nullptr;
};

void tst_cMainWindow::initTestCase()
{
    QVERIFY(scratch.isValid());
    TestSupport::useScratchSettings(scratch.filePath(QStringLiteral("config")));
    workDir = scratch.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(workDir));
    QVERIFY(QDir::setCurrent(workDir));
    // The window installs its own handler and removes it again; keep QtTest's.
    testHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(testHandler);
}

void tst_cMainWindow::init()
{
    QSettings().clear();
    QSettings().sync();
    QFile::remove(QDir(workDir).filePath(QStringLiteral("marrowby_log.txt")));
}

void tst_cMainWindow::cleanup()
{
    qInstallMessageHandler(testHandler);
}

QByteArray tst_cMainWindow::logBytes() const
{
    return TestSupport::readFile(QDir(workDir).filePath(QStringLiteral("marrowby_log.txt")));
}

QStringList tst_cMainWindow::readLogLines() const
{
    QStringList lines = QString::fromLatin1(logBytes()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

void tst_cMainWindow::firstStartWithEmptyStore()
{
    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    QCOMPARE(window->windowTitle(), QStringLiteral("Marrowby 1.0"));
    QCOMPARE(window->geometry(), QRect(40, 40, 650, 650));
    QVERIFY(!window->isMaximized());
    QVERIFY(window->centralWidget());
    QCOMPARE(window->centralWidget()->objectName(), QStringLiteral("cMainWidget"));
}

void tst_cMainWindow::geometryRoundTrip_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal window") << false;
    QTest::newRow("maximized window") << true;
}

void tst_cMainWindow::geometryRoundTrip()
{
    QFETCH(bool, maximized);

    QRect stored;
    {
        const std::unique_ptr<cMainWindow> window(new cMainWindow);
        window->show();
        if (maximized) {
            window->showMaximized();
            QTRY_VERIFY(window->isMaximized());
        } else {
            window->setGeometry(QRect(70, 90, 500, 420));
        }
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        stored = window->geometry();
    }

    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWindow"));
    QCOMPARE(settings.value(QStringLiteral("IsMaximized")).toBool(), maximized);
    QCOMPARE(settings.value(QStringLiteral("Geometry")).toRect(), stored);
    QVERIFY(settings.contains(QStringLiteral("State")));

    const std::unique_ptr<cMainWindow> again(new cMainWindow);
    QCOMPARE(again->isMaximized(), maximized);
    if (!maximized)
        QCOMPARE(again->geometry(), QRect(70, 90, 500, 420));
    // The title is set once and stays.
    QCOMPARE(again->windowTitle(), QStringLiteral("Marrowby 1.0"));
}

void tst_cMainWindow::rejectedStateDoesNoHarm()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("MainWindow/State"), QByteArray("not a saved state \x01\x02\x03"));
    }
    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->geometry(), QRect(40, 40, 650, 650));
    QVERIFY(window->centralWidget()->isVisible());
}

void tst_cMainWindow::logStartsWithStartUpLinesAndIsEmptiedAtStart()
{
    QVERIFY(TestSupport::writeFile(QDir(workDir).filePath(QStringLiteral("marrowby_log.txt")),
                                   "left over from an earlier run\n"));
    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    // Nothing reaches the file before the event loop runs.
    QCOMPARE(logBytes(), QByteArray());
    QTRY_COMPARE(readLogLines().size(), 2);
    const QStringList lines = readLogLines();
    static const QRegularExpression first(QStringLiteral(
        R"(^"Marrowby 1\.0" application started, build date: [A-Z][a-z]{2} [ \d]\d \d{4} \d\d:\d\d:\d\d$)"));
    QVERIFY2(first.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("Current date: QDateTime(")), qPrintable(lines.at(1)));
    QVERIFY(!logBytes().contains("left over"));
}

void tst_cMainWindow::logKeepsOrderAcrossThreads()
{
    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    const int count = 300;
    std::unique_ptr<QThread> thread(QThread::create([] {
        for (int i = 0; i < count; ++i)
            qDebug() << "worker line" << i;
    }));
    thread->start();
    QVERIFY(thread->wait(10000));
    qDebug() << "gui line";

    QTRY_COMPARE(readLogLines().size(), 2 + count + 1);
    const QStringList lines = readLogLines();
    for (int i = 0; i < count; ++i)
        QCOMPARE(lines.at(2 + i), QStringLiteral("worker line %1").arg(i));
    QCOMPARE(lines.constLast(), QStringLiteral("gui line"));
}

void tst_cMainWindow::logLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("debug") << int(QtDebugMsg) << QStringLiteral("Exit code: 0") << QByteArray("Exit code: 0\n");
    QTest::newRow("warning, no level marker")
        << int(QtWarningMsg) << QStringLiteral("careful") << QByteArray("careful\n");
    QTest::newRow("critical") << int(QtCriticalMsg) << QStringLiteral("bad") << QByteArray("bad\n");
    QTest::newRow("info is not logged") << int(QtInfoMsg) << QStringLiteral("quiet") << QByteArray();
    QTest::newRow("line breaks stay whole")
        << int(QtDebugMsg) << QStringLiteral("first\nsecond\r\nthird") << QByteArray("first\nsecond\r\nthird\n");
    QTest::newRow("german and cyrillic in UTF-8")
        << int(QtDebugMsg) << QString::fromUtf8("Größe café.wav Файл песня.mp3")
        << QString::fromUtf8("Größe café.wav Файл песня.mp3\n").toUtf8();
    QTest::newRow("a NUL ends the text, not the line")
        << int(QtDebugMsg) << QString::fromLatin1("before\0after", 12) << QByteArray("before\n");
}

void tst_cMainWindow::logLines()
{
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(QByteArray, expected);

    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    QTRY_COMPARE(readLogLines().size(), 2);
    const QByteArray before = logBytes();

    switch (QtMsgType(kind)) {
    case QtWarningMsg:
        qWarning().noquote() << message;
        break;
    case QtCriticalMsg:
        qCritical().noquote() << message;
        break;
    case QtInfoMsg:
        qInfo().noquote() << message;
        break;
    default:
        qDebug().noquote() << message;
        break;
    }
    qDebug() << "end";
    QTRY_VERIFY(logBytes().endsWith("end\n"));
    QCOMPARE(logBytes().mid(before.size()), expected + "end\n");
}

void tst_cMainWindow::logKeepsMessagesOfTheWindowsLifetime()
{
    {
        const std::unique_ptr<cMainWindow> window(new cMainWindow);
        QTRY_COMPARE(readLogLines().size(), 2);
        // A warning Qt itself prints becomes a line like any other.
        QObject object;
        QVERIFY(!QObject::connect(&object, "2noSuchSignal()", &object, "1deleteLater()"));
        QTRY_COMPARE(readLogLines().size(), 3);
        QVERIFY2(readLogLines().at(2).contains(QStringLiteral("noSuchSignal")), qPrintable(readLogLines().at(2)));
        // Still queued when the window goes: written before the log closes.
        qDebug() << "raised before the end";
    }
    // After the window, messages go to the default output again.
    qInstallMessageHandler(testHandler);
    QTest::ignoreMessage(QtDebugMsg, "raised after the window");
    qDebug() << "raised after the window";
    QCoreApplication::processEvents();
    QCOMPARE(readLogLines().size(), 4);
    QCOMPARE(readLogLines().at(3), QStringLiteral("raised before the end"));
    QVERIFY(!logBytes().contains("raised after"));
}

void tst_cMainWindow::unopenableLogChangesNothingElse()
{
    // A folder in the way makes the log unopenable, also for root.
    const QString logPath = QDir(workDir).filePath(QStringLiteral("marrowby_log.txt"));
    QVERIFY(QDir().mkdir(logPath));
    {
        const std::unique_ptr<cMainWindow> window(new cMainWindow);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        qDebug() << "nowhere to go";
        QCoreApplication::processEvents();
        QCOMPARE(window->windowTitle(), QStringLiteral("Marrowby 1.0"));
        window->setGeometry(QRect(50, 60, 400, 300));
    }
    QVERIFY(QFileInfo(logPath).isDir());
    QCOMPARE(QSettings().value(QStringLiteral("MainWindow/Geometry")).toRect(), QRect(50, 60, 400, 300));
    QVERIFY(QDir().rmdir(logPath));
}

// The process aborts, so a child process raises the message: this program,
// called with --raise-fatal-in and a folder.
void tst_cMainWindow::fatalMessageFromAWorkerIsTheLastLine()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setWorkingDirectory(workDir);
    child.setChildProcessModifier([] {
        const rlimit noCoreFile{0, 0};
        setrlimit(RLIMIT_CORE, &noCoreFile);
    });
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--raise-fatal-in"), workDir});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QStringList lines = readLogLines();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(0).contains(QStringLiteral("application started")), qPrintable(lines.at(0)));
    QCOMPARE(lines.at(2), QStringLiteral("fatal from a worker"));
}

// With paths far longer than the window is wide, the play button and the
// status of every row stay inside the table at the default window size, with
// no scrolling to the side; the full path is in the tool tip. The status bar
// says what was listed.
void tst_cMainWindow::longPathsLeaveResultsInView()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("Ansagen für die Warteschleife und das Hauptmenü/"
                                                        "Приветствия и голосовое меню колл-центра"));
    QVERIFY(QDir().mkpath(folder));
    QStringList paths;
    for (const QString &name :
         {QStringLiteral("Welcome message for callers outside business hours - please hold while we connect you.mp3"),
          QStringLiteral("営業時間外のお客様へのご案内メッセージ 次の担当者におつなぎしますので少々お待ちください.wav"),
          QStringLiteral("Μήνυμα καλωσορίσματος για καλούντες εκτός ωραρίου – παρακαλούμε περιμένετε.wav")}) {
        paths << QDir(folder).filePath(name);
        QVERIFY(TestSupport::writeFile(paths.constLast(), {}));
    }

    cMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.listFiles(paths + QStringList{root.filePath(QStringLiteral("gone.wav"))});
    auto *const table = window.findChild<QTableView *>(QStringLiteral("fileList"));
    auto *const label = window.statusBar()->findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY(table && label);
    QCOMPARE(label->text(), QStringLiteral("3 file(s) listed, 1 named path(s) not found"));
    QCOMPARE(table->model()->rowCount(), 3);
    QCOMPARE(window.geometry().size(), QSize(650, 650));

    QTRY_VERIFY(!table->horizontalScrollBar()->isVisible());
    QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(table->textElideMode(), Qt::ElideMiddle);
    const QRect viewport = table->viewport()->rect();
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(table->model()->index(row, 0).data(Qt::ToolTipRole).toString(), paths.at(row));
        for (int column = 1; column < 3; ++column) {
            const QRect cell = table->visualRect(table->model()->index(row, column));
            QVERIFY2(viewport.contains(cell), qPrintable(QStringLiteral("row %1, column %2").arg(row).arg(column)));
            QVERIFY(table->columnWidth(column) >=
                    static_cast<const QAbstractItemView *>(table)->sizeHintForColumn(column));
        }
    }
}

void tst_cMainWindow::stopBatch_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("Stop button") << false;
    QTest::newRow("closing the window") << true;
}

// The Stop button of the status line, or closing the window, ends a batch: no
// converter program is left running, no unfinished output stays; after Stop
// the rows not done stay empty and Convert comes back; after closing, the
// stopped files' lines are in the log.
void tst_cMainWindow::stopBatch()
{
    QFETCH(bool, byClosing);
    // Made before the stand-in converter comes first on PATH.
    QTemporaryDir sounds;
    const QString toneWav = sounds.filePath(QStringLiteral("tone.wav"));
    for (const QString &name : {QStringLiteral("tone.wav"), QStringLiteral("tone.mp3"), QStringLiteral("beep.wav")})
        QVERIFY(TestSupport::makeTone(sounds.filePath(name), 0.5));
    QTemporaryDir fake;
    QTemporaryDir out;
    const QString pids = fake.filePath(QStringLiteral("pids"));
    QVERIFY(!TestSupport::writeFakeConverter(fake.path(), "for out; do :; done\n"
                                                          "echo $$ >> '" +
                                                              QFile::encodeName(pids) +
                                                              "'\n"
                                                              "printf partial > \"$out\"\n"
                                                              "exec sleep 60")
                 .isEmpty());
    const QByteArray oldPath = TestSupport::prependToPath(fake.path());
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", oldPath); });
    QSettings().setValue(QStringLiteral("MainWidget/Output"), out.path());

    auto window = std::make_unique<cMainWindow>();
    window->show();
    window->listFiles(
        {toneWav, sounds.filePath(QStringLiteral("tone.mp3")), sounds.filePath(QStringLiteral("beep.wav"))});
    auto *const table = window->findChild<QTableView *>(QStringLiteral("fileList"));
    auto *const convert = window->findChild<QPushButton *>(QStringLiteral("convertBtn"));
    auto *const stopBtn = window->statusBar()->findChild<QPushButton *>(QStringLiteral("stopBtn"));
    auto *const label = window->statusBar()->findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY(table && convert && stopBtn && label);
    QVERIFY(!stopBtn->isVisible());

    convert->click();
    // The first program has begun its output, in a private folder of the output folder.
    QTRY_VERIFY_WITH_TIMEOUT(
        QDirIterator(out.path(), {QStringLiteral("tone.wav")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories)
            .hasNext(),
        60000);
    QTRY_VERIFY(stopBtn->isVisible());
    if (byClosing) {
        window.reset();
        const QByteArray log = TestSupport::readFile(QStringLiteral("marrowby_log.txt"));
        QVERIFY2(log.contains("Conversion stopped"), log.constData());
    } else {
        stopBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(convert->isEnabled(), 60000);
        QVERIFY(!stopBtn->isVisible());
        QVERIFY(label->text().startsWith(QLatin1String("Stopped: 0 of 3 done, 0 failed, in 0:")));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(table->model()->index(row, 2).data().toString(), QString());
    }
    QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    const QList<QByteArray> started = TestSupport::readFile(pids).split('\n');
    QVERIFY(started.size() > 1);
    for (const QByteArray &pid : started) {
        if (!pid.isEmpty())
            QVERIFY2(!QFile::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)), pid.constData());
    }
}

namespace {

// The child's part: a window writing the log, then a worker thread raising a
// fatal message while the GUI thread waits for it, so no queued line can be
// written meanwhile.
int raiseFatalFromWorker(const QString &dir)
{
    TestSupport::useScratchSettings(QDir(dir).filePath(QStringLiteral("config")));
    QDir::setCurrent(dir);
    cMainWindow window;
    QTimer::singleShot(0, &window, [] {
        std::unique_ptr<QThread> worker(QThread::create([] { qFatal("fatal from a worker"); }));
        worker->start();
        worker->wait();
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--raise-fatal-in") == 0)
        return raiseFatalFromWorker(QString::fromLocal8Bit(argv[2]));
    // What QTEST_MAIN does for a widget test.
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_cMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_cmainwindow.moc"
