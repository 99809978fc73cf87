#include "app/cmainwindow.h"
#include "core/csourcelist.h"
#include "support/testsupport.h"
#include "support/widgetdriving.h"
#include "ui/cmainwidget.h"
#include "ui/coptionsmenu.h"
#include "workers/cconverter.h"
#include "workers/coutputformat.h"
#include "workers/cplayer.h"
#include "workers/ctarget.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace {

const QStringList optionNames{QStringLiteral("actionChangeExt"), QStringLiteral("actionAddExt"),
                              QStringLiteral("actionOverwrite"), QStringLiteral("actionSkip")};

// Generous bound for a batch of a few short files with the real converter.
constexpr int batchTimeoutMs = 60000;

void store(const QString &key, const QString &value)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWidget"));
    settings.setValue(key, value);
}

QVariant stored(const QString &key)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWidget"));
    return settings.value(key);
}

// The working directory as the widget writes it to the debug stream.
QString quotedCurrentPath()
{
    return TestSupport::debugQuoted(QDir::currentPath());
}

// A named pipe posing as a sound file: the converter program waits on it, so
// a batch is held at that file until the test writes a sound into the pipe.
class Gate
{
public:
    explicit Gate(const QString &path) : path(path) { made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }
    ~Gate()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Q_DISABLE_COPY_MOVE(Gate)

    bool isMade() const { return made; }

    // True once the converter program has opened the pipe, that is once the
    // batch has started this file; the program then waits for data.
    bool waitForReader()
    {
        return QTest::qWaitFor(
            [this] {
                fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                return fd >= 0;
            },
            batchTimeoutMs);
    }

    // Lets the held file through as the given sound.
    bool release(const QByteArray &sound)
    {
        if (fd < 0 || ::fcntl(fd, F_SETFL, 0) != 0)
            return false;
        qsizetype written = 0;
        while (written < sound.size()) {
            const ssize_t n = ::write(fd, sound.constData() + written, static_cast<size_t>(sound.size() - written));
            if (n <= 0)
                break;
            written += n;
        }
        ::close(fd);
        fd = -1;
        return written == sound.size();
    }

private:
    QString path;
    bool made = false;
    int fd = -1;
};

} // namespace

using namespace WidgetDriving;

class tst_cMainWidget : public QObject
{
    Q_OBJECT

public:
    // Stands in for the desktop's file manager.
    Q_INVOKABLE void openUrl(const QUrl &url) { openedUrls << url; }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void storedSettings_data();
    void storedSettings();
    void storedJobs_data();
    void storedJobs();
    void storedOneFilePerRun_data();
    void storedOneFilePerRun();
    void unnamedModeOnlyClearsStatuses();
    void rowsShowEachKindOfResult_data();
    void rowsShowEachKindOfResult();
    void optionsMenu();
    void targets_data();
    void targets();
    void outputFolderDialog();
    void outputFolderUsedByConvert_data();
    void outputFolderUsedByConvert();
    void selectFiles();
    void realBatch();
    void rules_data();
    void rules();
    void preview_data();
    void preview();
    void batchGoesOnWhileUserWorks();
    void listIsTheBatchsWhileItRuns();
    void eachRowGetsItsOwnResult();
    void emptyTableConvertsNothing();
    void keyboard();
    void stopPreview();
    void removeAndOpenFolder();
    void dropsAdd_data();
    void dropsAdd();
    void addFilesAndClearList();
    void failuresEasyToFind();
    void menuKeys_data();
    void menuKeys();
    void previewDecodedByConverter_data();
    void previewDecodedByConverter();
    void outputFolderRules_data();
    void outputFolderRules();
    void playsTheResult_data();
    void playsTheResult();

private:
    bool makeWidget();
    template <typename T>
    T *part(const char *name) const
    {
        return widget->findChild<T *>(QLatin1String(name));
    }
    QAction *option(const QString &name) const { return widget->findChild<QAction *>(name); }
    // The list's rows, whether the table shows them or not.
    QModelIndex cell(int row, int column) const { return list->index(row, column); }
    int rowCount() const { return list->rowCount(); }
    int currentRow() const { return shown->mapToSource(fileList->currentIndex()).row(); }
    QToolButton *playButton(int row) const
    {
        return qobject_cast<QToolButton *>(fileList->indexWidget(shown->mapFromSource(cell(row, 1))));
    }
    QString status(int row) const { return cell(row, 2).data().toString(); }
    QString tip(int row) const { return cell(row, 2).data(Qt::ToolTipRole).toString(); }
    QAction *rowAction(const QString &text) const
    {
        const QList<QAction *> actions = fileList->actions();
        const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                        [&](const QAction *action) { return action->text() == text; });
        return found == actions.cend() ? nullptr : *found;
    }
    bool select(const QString &dir, const QStringList &names);

    QTemporaryDir settingsDir;
    QTemporaryDir workDir;
    QTemporaryDir sounds;
    QString toneWav;

    std::unique_ptr<cMainWidget> widget;
    QPushButton *selectBtn = nullptr;
    QPushButton *convertBtn = nullptr;
    QPushButton *optionsBtn = nullptr;
    QTableView *fileList = nullptr;
    QSortFilterProxyModel *shown = nullptr;
    QAbstractItemModel *list = nullptr;
    QLineEdit *outputEdit = nullptr;
    QToolButton *outputBtn = nullptr;
    cConverter *converter = nullptr;
    cPlayer *player = nullptr;
    QList<QUrl> openedUrls;
    // QtTest's message handler, put back after a test's main window removed its own.
    QtMessageHandler testHandler = nullptr;
    // What the status line shows.
    QString statusLine;
    bool stoppable = false;
};

void tst_cMainWidget::initTestCase()
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    testHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(testHandler);
    // A converter program that quits early must not end the test with it.
    ::signal(SIGPIPE, SIG_IGN);
    QVERIFY(settingsDir.isValid() && workDir.isValid() && sounds.isValid());
    TestSupport::useScratchSettings(settingsDir.path());
    QVERIFY(QDir::setCurrent(workDir.path()));

    toneWav = sounds.filePath(QStringLiteral("tone.wav"));
    QVERIFY(TestSupport::makeTone(sounds.filePath(QStringLiteral("tone.mp3")), 1.0));
    QVERIFY(TestSupport::makeTone(toneWav, 0.3));
    QVERIFY(TestSupport::makeTone(sounds.filePath(QStringLiteral("beep.wav")), 0.2));
    QVERIFY(TestSupport::writeFile(sounds.filePath(QStringLiteral("bad.mp3")), QByteArray(4000, 'x')));
}

void tst_cMainWidget::init()
{
    QSettings settings;
    settings.clear();
    settings.sync();
    QVERIFY(QDir::setCurrent(workDir.path()));
}

void tst_cMainWidget::cleanup()
{
    widget.reset();
    qInstallMessageHandler(testHandler);
}

bool tst_cMainWidget::makeWidget()
{
    widget = std::make_unique<cMainWidget>();
    selectBtn = part<QPushButton>("selectBtn");
    convertBtn = part<QPushButton>("convertBtn");
    optionsBtn = part<QPushButton>("optionsBtn");
    fileList = part<QTableView>("fileList");
    shown = fileList ? qobject_cast<QSortFilterProxyModel *>(fileList->model()) : nullptr;
    list = shown ? shown->sourceModel() : nullptr;
    outputEdit = part<QLineEdit>("outputEdit");
    outputBtn = part<QToolButton>("outputBtn");
    converter = widget->findChild<cConverter *>();
    player = widget->findChild<cPlayer *>();
    statusLine.clear();
    stoppable = false;
    connect(widget.get(), &cMainWidget::statusChanged, this, [this](const QString &text, bool canStop) {
        statusLine = text;
        stoppable = canStop;
    });
    widget->show();
    return selectBtn && convertBtn && optionsBtn && fileList && list && outputEdit && outputBtn && converter &&
           player && QTest::qWaitForWindowExposed(widget.get());
}

bool tst_cMainWidget::select(const QString &dir, const QStringList &names)
{
    return clickThroughDialog(selectBtn, [&](QFileDialog *dialog) { choose(dialog, dir, names); });
}

void tst_cMainWidget::storedSettings_data()
{
    // Naming rule first, existing-file rule second; nothing stored at all when empty.
    QTest::addColumn<QStringList>("storedModes");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QStringList>("savedModes");

    QTest::newRow("empty store") << QStringList() << QStringList{"actionChangeExt", "actionSkip"}
                                 << QStringList{"actionChangeExt", "actionSkip"};
    QTest::newRow("stored choices") << QStringList{"actionAddExt", "actionOverwrite"}
                                    << QStringList{"actionAddExt", "actionOverwrite"}
                                    << QStringList{"actionAddExt", "actionOverwrite"};
    QTest::newRow("name in other letter case") << QStringList{"actionaddext", "actionSkip"} << QStringList{"actionSkip"}
                                               << QStringList{"actionaddext", "actionSkip"};
    QTest::newRow("unknown existing-file mode")
        << QStringList{"actionChangeExt", "skip"} << QStringList{"actionChangeExt"}
        << QStringList{"actionChangeExt", "skip"};
}

// What the store holds comes back in the window, and all four keys are
// written again at exit although nothing was changed.
void tst_cMainWidget::storedSettings()
{
    QFETCH(QStringList, storedModes);
    QFETCH(QStringList, checked);
    QFETCH(QStringList, savedModes);

    QTemporaryDir lastOpenDir;
    const bool emptyStore = storedModes.isEmpty();
    const QString output = emptyStore ? QString() : QStringLiteral("/srv/prompts/out");
    const QString lastOpen = emptyStore ? QDir::currentPath() : lastOpenDir.path();
    if (!emptyStore) {
        store(QStringLiteral("Output"), output);
        store(QStringLiteral("LastOpenPath"), lastOpen);
        store(QStringLiteral("FileNameMode"), storedModes.at(0));
        store(QStringLiteral("FileSaveMode"), storedModes.at(1));
    }

    QVERIFY(makeWidget());
    QCOMPARE(outputEdit->text(), output);
    for (const QString &name : optionNames) {
        QVERIFY2(option(name), qPrintable(name));
        QCOMPARE(option(name)->isChecked(), checked.contains(name));
    }
    QString openedIn;
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        openedIn = dialog->directory().absolutePath();
        cancel(dialog);
    }));
    QCOMPARE(openedIn, lastOpen);

    widget.reset();
    QCOMPARE(stored(QStringLiteral("Output")), QVariant(output));
    QCOMPARE(stored(QStringLiteral("LastOpenPath")), QVariant(lastOpen));
    QCOMPARE(stored(QStringLiteral("FileNameMode")), QVariant(savedModes.at(0)));
    QCOMPARE(stored(QStringLiteral("FileSaveMode")), QVariant(savedModes.at(1)));
}

void tst_cMainWidget::storedJobs_data()
{
    const int automatic = std::max(1, QThread::idealThreadCount());
    QTest::addColumn<QVariant>("storedValue");
    QTest::addColumn<int>("jobs");
    QTest::newRow("missing") << QVariant() << automatic;
    QTest::newRow("three") << QVariant(QStringLiteral("3")) << 3;
    QTest::newRow("zero") << QVariant(QStringLiteral("0")) << automatic;
    QTest::newRow("not a number") << QVariant(QStringLiteral("many")) << automatic;
}

// "Jobs" sets how many files convert at once; what was stored, however odd,
// is written back, and nothing is written when nothing was stored.
void tst_cMainWidget::storedJobs()
{
    QFETCH(QVariant, storedValue);
    QFETCH(int, jobs);
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    if (storedValue.isValid())
        store(QStringLiteral("Jobs"), storedValue.toString());
    QVERIFY(makeWidget());
    // Handed to the converter with the batch.
    QVERIFY(select(sounds.path(), {QStringLiteral("bad.mp3")}));
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(converter->jobs(), jobs);
    widget.reset();
    QCOMPARE(stored(QStringLiteral("Jobs")), storedValue);
}

void tst_cMainWidget::storedOneFilePerRun_data()
{
    QTest::addColumn<QVariant>("storedValue");
    QTest::addColumn<bool>("oneFilePerRun");
    QTest::newRow("missing: small files share runs") << QVariant() << false;
    QTest::newRow("true") << QVariant(QStringLiteral("true")) << true;
    QTest::newRow("false") << QVariant(QStringLiteral("false")) << false;
}

// "OneFilePerRun" is read when a batch starts.
void tst_cMainWidget::storedOneFilePerRun()
{
    QFETCH(QVariant, storedValue);
    QFETCH(bool, oneFilePerRun);
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    if (storedValue.isValid())
        store(QStringLiteral("OneFilePerRun"), storedValue.toString());
    QVERIFY(makeWidget());
    converter->setOneFilePerRun(!oneFilePerRun);
    QVERIFY(select(sounds.path(), {QStringLiteral("bad.mp3")}));
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(converter->isOneFilePerRun(), oneFilePerRun);
}

// With no naming rule chosen, Convert empties the status column and starts
// nothing, until the user chooses one.
void tst_cMainWidget::unnamedModeOnlyClearsStatuses()
{
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    store(QStringLiteral("FileNameMode"), QStringLiteral("ActionChangeExt"));
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.wav")}));
    emit converter->fileFinished({{toneWav, QString(), 0}, cFileResult::Outcome::Converted, out.path(), cText(), {}});
    QCOMPARE(status(0), QStringLiteral("OK"));

    convertBtn->click();
    QCOMPARE(status(0), QString());
    QVERIFY(convertBtn->isEnabled());
    QVERIFY(!converter->isRunning());

    option(QStringLiteral("actionChangeExt"))->trigger();
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QVERIFY(QFile::exists(QDir(out.path()).filePath(QStringLiteral("tone.wav"))));
}

void tst_cMainWidget::rowsShowEachKindOfResult_data()
{
    QTest::addColumn<cFileResult::Outcome>("outcome");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    const QString reason = QStringLiteral("why");
    QTest::newRow("converted") << cFileResult::Outcome::Converted << "OK"
                               << "Written to /out/tone.wav";
    QTest::newRow("warned") << cFileResult::Outcome::Warned << QString::fromUtf8("OK \u26a0") << reason;
    QTest::newRow("skipped") << cFileResult::Outcome::Skipped << "SKIP" << reason;
    QTest::newRow("failed") << cFileResult::Outcome::Failed << "FAIL!" << reason;
}

void tst_cMainWidget::rowsShowEachKindOfResult()
{
    QFETCH(cFileResult::Outcome, outcome);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.wav")}));
    emit converter->fileFinished(
        {{toneWav, QString(), 0},
         outcome,
         QStringLiteral("/out/tone.wav"),
         outcome == cFileResult::Outcome::Converted ? cText() : cText::plain(QStringLiteral("why")),
         QStringLiteral("wav8")});
    QCOMPARE(status(0), text);
    QCOMPARE(tip(0), toolTip);
    QCOMPARE(cell(0, 2).data(Qt::AccessibleDescriptionRole).toString(), toolTip);
}

void tst_cMainWidget::optionsMenu()
{
    QVERIFY(makeWidget());
    const QMenu *const menu = optionsBtn->menu();
    QVERIFY(menu);
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 15);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Set extension to .wav"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("Append .wav to filenames"));
    QVERIFY(entries.at(2)->isSeparator());
    QCOMPARE(entries.at(3)->text(), QStringLiteral("Overwrite existing files"));
    QCOMPARE(entries.at(4)->text(), QStringLiteral("Skip existing files"));
    QCOMPARE(entries.at(0)->objectName(), QStringLiteral("actionChangeExt"));
    QCOMPARE(entries.at(1)->objectName(), QStringLiteral("actionAddExt"));
    QCOMPARE(entries.at(3)->objectName(), QStringLiteral("actionOverwrite"));
    QCOMPARE(entries.at(4)->objectName(), QStringLiteral("actionSkip"));
    QCOMPARE(entries.at(5)->objectName(), QStringLiteral("actionUpdate"));
    QCOMPARE(entries.at(5)->text(), QStringLiteral("Update changed files"));
    QVERIFY(entries.at(6)->isSeparator());
    QCOMPARE(entries.at(7)->objectName(), QStringLiteral("actionKeepFolders"));
    QCOMPARE(entries.at(8)->objectName(), QStringLiteral("actionSafeNames"));
    QVERIFY(entries.at(9)->isSeparator());
    QCOMPARE(entries.at(10)->text(), QStringLiteral("Target"));
    QVERIFY(entries.at(10)->menu());
    QCOMPARE(entries.at(10)->menu()->actions().size(), cTarget::all().size());
    QCOMPARE(entries.at(10)->menu()->actions().at(1)->toolTip(),
             QStringLiteral("Asterisk and the PBXs built on it: each prompt in several codecs side by side\n"
                            "Writes .ulaw, .alaw, .g722, .sln16"));
    QCOMPARE(entries.at(11)->text(), QStringLiteral("Format"));
    QVERIFY(entries.at(11)->menu());
    QCOMPARE(entries.at(11)->menu()->actions().size(), cOutputFormat::all().size());
    QCOMPARE(entries.at(12)->text(), QStringLiteral("Even level"));
    QCOMPARE(entries.at(13)->text(), QStringLiteral("Trim silence"));
    QCOMPARE(entries.at(14)->text(), QStringLiteral("Clean files"));

    // One choice per pair, and the pairs are independent.
    for (QAction *const entry : entries)
        QVERIFY(entry->isSeparator() || entry->isCheckable() || entry->menu());
    entries.at(1)->trigger();
    entries.at(3)->trigger();
    QVERIFY(entries.at(1)->isChecked() && !entries.at(0)->isChecked());
    QVERIFY(entries.at(3)->isChecked() && !entries.at(4)->isChecked());
    entries.at(5)->trigger();
    QVERIFY(entries.at(5)->isChecked() && !entries.at(3)->isChecked() && !entries.at(4)->isChecked());
    entries.at(3)->trigger();
    QVERIFY(entries.at(3)->isChecked());
}

void tst_cMainWidget::targets_data()
{
    // Stored under MainWidget (empty: not stored): Target, TargetFormats, Format.
    QTest::addColumn<QStringList>("storedKeys");
    QTest::addColumn<QStringList>("triggered"); // actions, in order
    QTest::addColumn<QStringList>("formats");   // checked, and what a batch gets
    QTest::addColumn<QString>("summary");       // beside the Options button
    QTest::addColumn<QString>("ending");        // as the name rule says it
    QTest::addColumn<QStringList>("writtenKeys");

    const QString generic = QStringLiteral("generic");
    QTest::newRow("nothing stored: any system, as before")
        << QStringList{"", "", ""} << QStringList() << QStringList{"wav8"} << "WAV, 8 kHz 16-bit PCM"
        << "wav" << QStringList{generic, "", "wav8"};
    QTest::newRow("an unknown target is any system")
        << QStringList{"pbx", "ulaw,alaw", "ulaw"} << QStringList() << QStringList{"ulaw"}
        << QString::fromUtf8("Raw µ-law, 8 kHz (.ulaw)") << "ulaw" << QStringList{generic, "", "ulaw"};
    QTest::newRow("a stored target keeps the formats it takes")
        << QStringList{"asterisk", "alaw,wav32,bogus,ulaw", "gsm"} << QStringList() << QStringList{"ulaw", "alaw"}
        << "Asterisk: .ulaw, .alaw"
        << "ulaw/.alaw" << QStringList{"asterisk", "ulaw,alaw", "gsm"};
    QTest::newRow("a stored target without formats has its own")
        << QStringList{"teams", "", ""} << QStringList() << QStringList{"wav16"}
        << "Microsoft Teams: WAV, 16 kHz 16-bit PCM"
        << "wav" << QStringList{"teams", "wav16", "wav8"};
    QTest::newRow("choosing a target sets its formats")
        << QStringList{"", "", "ulaw"} << QStringList{"actionTarget_asterisk"}
        << QStringList{"ulaw", "alaw", "g722", "sln16"} << "Asterisk: .ulaw, .alaw, .g722, .sln16"
        << "ulaw/.alaw/.g722/.sln16" << QStringList{"asterisk", "ulaw,alaw,g722,sln16", "ulaw"};
    QTest::newRow("narrowed and widened; the last one stays")
        << QStringList{"asterisk", "ulaw", ""}
        << QStringList{"actionFormat_ulaw", "actionFormat_wav16", "actionFormat_ulaw"} << QStringList{"wav16"}
        << "Asterisk: WAV, 16 kHz 16-bit PCM"
        << "wav16" << QStringList{"asterisk", "wav16", "wav8"};
    QTest::newRow("a format replaces the one it would be written over")
        << QStringList{"genesys-cloud", "", ""} << QStringList{"actionFormat_wav16"} << QStringList{"wav16"}
        << "Genesys Cloud: WAV, 16 kHz 16-bit PCM"
        << "wav" << QStringList{"genesys-cloud", "wav16", "wav8"};
    QTest::newRow("a folder per rate: alike endings told by the rate")
        << QStringList{"freeswitch", "", ""} << QStringList() << QStringList{"wav8", "wav16"}
        << "FreeSWITCH: .wav 8 kHz, .wav 16 kHz"
        << "wav" << QStringList{"freeswitch", "wav8,wav16", "wav8"};
    QTest::newRow("any system again: its format comes back")
        << QStringList{"asterisk", "", "gsm"} << QStringList{"actionTarget_generic"} << QStringList{"gsm"}
        << "GSM 06.10 (.gsm)"
        << "gsm" << QStringList{generic, "", "gsm"};
}

// The Target sub-menu: what is stored comes back, a target brings its formats,
// which the Format sub-menu narrows or widens among those it takes; the
// summary beside the Options button says it, and a batch gets it.
void tst_cMainWidget::targets()
{
    QFETCH(QStringList, storedKeys);
    QFETCH(QStringList, triggered);
    QFETCH(QStringList, formats);
    QFETCH(QString, summary);
    QFETCH(QString, ending);
    QFETCH(QStringList, writtenKeys);
    const QStringList keys{"Target", "TargetFormats", "Format"};
    for (int i = 0; i < keys.size(); ++i) {
        if (!storedKeys.at(i).isEmpty())
            store(keys.at(i), storedKeys.at(i));
    }
    QVERIFY(makeWidget());
    for (const QString &name : triggered)
        option(name)->trigger();

    const cTarget &target = cTarget::byId(writtenKeys.at(0));
    QVERIFY(option(QStringLiteral("actionTarget_") + target.id())->isChecked());
    for (const cOutputFormat &format : cOutputFormat::all()) {
        const QAction *const action = option(QStringLiteral("actionFormat_") + format.id());
        QCOMPARE(action->isChecked(), formats.contains(format.id()));
        QCOMPARE(action->isEnabled(), target.takes(format.id()));
    }
    const auto *const label = part<QLabel>("targetLabel");
    QVERIFY(label && label->isVisible());
    QCOMPARE(optionsBtn->accessibleDescription(), summary);
    QCOMPARE(label->text(), QString(summary).replace(QStringLiteral(": "), QStringLiteral("\n")));
    QCOMPARE(option(QStringLiteral("actionChangeExt"))->text(), QStringLiteral("Set extension to .") + ending);

    widget.reset();
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(stored(keys.at(i)), writtenKeys.at(i).isEmpty() ? QVariant() : QVariant(writtenKeys.at(i)));
    // Read back as the next start does, the menu chooses the same for a batch.
    QWidget owner;
    cOptionsMenu menu(new QPushButton(&owner), new QLabel(&owner), &owner);
    QSettings settings;
    settings.beginGroup(QStringLiteral("MainWidget"));
    menu.readSettings(settings);
    cBatch::Options options;
    QVERIFY(menu.chosenRules(options));
    QCOMPARE(options.target, target.id());
    QCOMPARE(options.formats, formats);
}

void tst_cMainWidget::outputFolderDialog()
{
    QTemporaryDir chosen;
    QVERIFY(makeWidget());
    outputEdit->setText(QStringLiteral("typed by hand"));

    QVERIFY(clickThroughDialog(outputBtn, [](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Open directory"));
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
        cancel(dialog);
    }));
    QCOMPARE(outputEdit->text(), QStringLiteral("typed by hand"));

    QVERIFY(clickThroughDialog(outputBtn, [&](QFileDialog *dialog) { choose(dialog, chosen.path()); }));
    QCOMPARE(outputEdit->text(), chosen.path());

    widget.reset();
    QCOMPARE(stored(QStringLiteral("Output")), QVariant(chosen.path()));
}

void tst_cMainWidget::outputFolderUsedByConvert_data()
{
    QTest::addColumn<bool>("storeFolder");
    QTest::addColumn<bool>("typeFolder");

    QTest::newRow("stored folder") << true << false;
    QTest::newRow("typed over a stored folder") << true << true;
    QTest::newRow("typed on a first run") << false << true;
    QTest::newRow("first run, working directory") << false << false;
}

// The folder the field shows when Convert is pressed receives the files, also
// one typed by hand; files land nowhere else.
void tst_cMainWidget::outputFolderUsedByConvert()
{
    QFETCH(bool, storeFolder);
    QFETCH(bool, typeFolder);

    QTemporaryDir storedDir;
    QTemporaryDir typedDir;
    QTemporaryDir cwd;
    QVERIFY(QDir::setCurrent(cwd.path()));
    if (storeFolder)
        store(QStringLiteral("Output"), storedDir.path());
    const QString expected = typeFolder ? typedDir.path() : storeFolder ? storedDir.path() : cwd.path();

    QVERIFY(makeWidget());
    if (typeFolder) {
        outputEdit->selectAll();
        QTest::keyClicks(outputEdit, typedDir.path());
    }
    QCOMPARE(outputEdit->text(), typeFolder ? typedDir.path() : storeFolder ? storedDir.path() : QString());
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.mp3")}));
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));

    for (const QString &dir : {storedDir.path(), typedDir.path(), cwd.path()})
        QCOMPARE(QFile::exists(QDir(dir).filePath(QStringLiteral("tone.wav"))), dir == expected);
}

void tst_cMainWidget::selectFiles()
{
    QTemporaryDir first;
    QTemporaryDir second;
    const QStringList names{QStringLiteral("c.wav"), QStringLiteral("a b.mp3"), QStringLiteral("b.wav")};
    for (const QString &name : names + QStringList{QStringLiteral("d.mp3")})
        QVERIFY(TestSupport::writeFile(QDir(first.path()).filePath(name), {}));
    const QString other = QDir(second.path()).filePath(QStringLiteral("e.wav"));
    QVERIFY(TestSupport::writeFile(other, {}));
    QVERIFY(makeWidget());

    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Select files"));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
        // The first filter shows every kind of file a folder is walked for.
        const QStringList filters = dialog->nameFilters();
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters.first().startsWith(QLatin1String("Sound files (*.wav *.mp3 ")));
        const QStringList patterns = filters.first().section(u'(', 1).chopped(1).split(u' ');
        for (const QString &extension : cSourceList::soundExtensions())
            QVERIFY2(patterns.contains(QStringLiteral("*.") + extension), qPrintable(extension));
        QCOMPARE(filters.last(), QStringLiteral("All files (*)"));
        QCOMPARE(dialog->directory().absolutePath(), QDir::currentPath());
        choose(dialog, first.path(), names);
    }));

    QCOMPARE(rowCount(), 3);
    QCOMPARE(list->columnCount(), 3);
    QVERIFY(fileList->horizontalHeader()->isHidden());
    QVERIFY(fileList->verticalHeader()->isHidden());
    for (int row = 0; row < 3; ++row) {
        const QString path = QDir(first.path()).filePath(names.at(row));
        QCOMPARE(cell(row, 0).data().toString(), path);
        QCOMPARE(cell(row, 0).data(Qt::ToolTipRole).toString(), path);
        QCOMPARE(status(row), QString());
        for (int column = 0; column < 3; ++column)
            QCOMPARE(cell(row, column).flags(), Qt::ItemIsEnabled | Qt::ItemIsSelectable);

        auto *const play = playButton(row);
        QVERIFY(play);
        QVERIFY(play->autoRaise());
        QVERIFY(!play->icon().isNull());
        QCOMPARE(play->text(), QString());
        QCOMPARE(play->toolTip(), QStringLiteral("Play ") + names.at(row));
        QCOMPARE(play->accessibleName(), play->toolTip());
    }

    // A cancelled dialog opens where the first file was, and keeps the table.
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        QCOMPARE(dialog->directory().absolutePath(), first.path());
        cancel(dialog);
    }));
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(2, 0).data().toString(), QDir(first.path()).filePath(names.at(2)));

    // A new selection replaces every row.
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        QCOMPARE(dialog->directory().absolutePath(), first.path());
        choose(dialog, second.path(), {QStringLiteral("e.wav")});
    }));
    QCOMPARE(rowCount(), 1);
    QCOMPARE(cell(0, 0).data().toString(), other);
    QCOMPARE(playButton(0)->toolTip(), QStringLiteral("Play e.wav"));

    widget.reset();
    QCOMPARE(stored(QStringLiteral("LastOpenPath")), QVariant(second.path()));
}

// A good MP3, a file the converter can't read and a good WAV; a second run of
// the same list replaces every status.
void tst_cMainWidget::realBatch()
{
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.mp3"), QStringLiteral("bad.mp3"), QStringLiteral("beep.wav")}));
    // After each result, as the user sees it, the play and status columns fit their contents.
    int tooNarrow = 0;
    const QAbstractItemView *const view = fileList;
    connect(converter, &cConverter::fileProcessed, fileList, [&] {
        for (int column = 1; column < 3; ++column)
            tooNarrow += fileList->columnWidth(column) < view->sizeHintForColumn(column) ? 1 : 0;
    });

    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    const QStringList firstRun{QStringLiteral("OK"), QStringLiteral("FAIL!"), QStringLiteral("OK")};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(status(row), firstRun.at(row));
        const QColor colour = row == 1 ? QColor(Qt::darkRed) : QColor(Qt::darkGreen);
        QCOMPARE(cell(row, 2).data(Qt::ForegroundRole).value<QBrush>(), QBrush(colour));
    }
    QVERIFY(QFile::exists(QDir(out.path()).filePath(QStringLiteral("tone.wav"))));
    // The output written, and why the damaged file failed, for the eye and for screen readers.
    QCOMPARE(tip(0), QStringLiteral("Written to ") + QDir(out.path()).filePath(QStringLiteral("tone.wav")));
    QVERIFY(!tip(1).isEmpty());
    for (int row = 0; row < 3; ++row)
        QCOMPARE(cell(row, 2).data(Qt::AccessibleDescriptionRole).toString(), tip(row));
    QVERIFY2(QRegularExpression(QStringLiteral("^3 file\\(s\\): 2 converted, 1 failed, in 0:\\d\\d$"))
                 .match(statusLine)
                 .hasMatch(),
             qPrintable(statusLine));

    // Skip is the default: this time every output exists already, or can't be made.
    // The converter's thread ends just after its last signal; a press before
    // that would be dropped.
    QTRY_VERIFY(converter->isFinished());
    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    for (int row = 0; row < 3; ++row)
        QCOMPARE(status(row), QString());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    // Left alone as asked: skipped, which is no failure; the damaged file fails again.
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(status(row), row == 1 ? QStringLiteral("FAIL!") : QStringLiteral("SKIP"));
        QCOMPARE(cell(row, 2).data(Qt::ForegroundRole).value<QBrush>(), QBrush(row == 1 ? Qt::darkRed : Qt::gray));
    }
    QCOMPARE(tooNarrow, 0);
}

void tst_cMainWidget::rules_data()
{
    QTest::addColumn<QString>("nameOption");
    QTest::addColumn<QString>("saveOption");
    QTest::addColumn<bool>("outputExists");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("result");

    QTest::newRow("set extension, new file") << "actionChangeExt"
                                             << "actionSkip" << false << "tone.wav"
                                             << "OK";
    QTest::newRow("append .wav") << "actionAddExt"
                                 << "actionSkip" << false << "tone.mp3.wav"
                                 << "OK";
    QTest::newRow("skip existing") << "actionChangeExt"
                                   << "actionSkip" << true << "tone.wav"
                                   << "SKIP";
    QTest::newRow("update, output newer") << "actionChangeExt"
                                          << "actionUpdate" << true << "tone.wav"
                                          << "SKIP";
    QTest::newRow("overwrite existing") << "actionChangeExt"
                                        << "actionOverwrite" << true << "tone.wav"
                                        << "OK";
}

// The options chosen in the menu are the rules the converter applies.
void tst_cMainWidget::rules()
{
    QFETCH(QString, nameOption);
    QFETCH(QString, saveOption);
    QFETCH(bool, outputExists);
    QFETCH(QString, output);
    QFETCH(QString, result);

    QTemporaryDir out;
    const QString outPath = QDir(out.path()).filePath(output);
    const QByteArray old("not a sound");
    if (outputExists)
        QVERIFY(TestSupport::writeFile(outPath, old));
    store(QStringLiteral("Output"), out.path());
    QVERIFY(makeWidget());
    option(nameOption)->trigger();
    option(saveOption)->trigger();
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.mp3")}));

    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), result);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{output});
    if (result == QStringLiteral("OK"))
        QCOMPARE(TestSupport::readWavHeader(outPath).rate, quint32(8000));
    else
        QCOMPARE(TestSupport::readFile(outPath), old);
}

void tst_cMainWidget::preview_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("playable");

    QTest::newRow("playable") << "tone.wav" << true;
    QTest::newRow("can't be played") << "bad.mp3" << false;
}

// A preview locks the commands until it ends; the row's own file is played.
void tst_cMainWidget::preview()
{
    QFETCH(QString, file);
    QFETCH(bool, playable);

    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("tone.mp3"), file}));
    const QList<QWidget *> locked{fileList, selectBtn, convertBtn, outputEdit, outputBtn, optionsBtn};
    QSignalSpy finished(player, &cPlayer::playFinished);
    const TestSupport::DebugMessages debug;

    playButton(1)->click();
    for (QWidget *const w : locked)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(finished.wait(batchTimeoutMs));
    QTRY_VERIFY(selectBtn->isEnabled());
    for (QWidget *const w : locked)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    // A file that can't play says why, on its own.
    QCOMPARE(statusLine, playable ? QStringLiteral("2 file(s) listed")
                                  : QStringLiteral("Could not play, the file is empty, damaged "
                                                   "or in a format that can't be played: bad.mp3"));

    // The player logs the stream handle it got for the file, 0 when it could not open it.
    const QRegularExpression handleLine(QStringLiteral("^(-?\\d+) -?\\d+$"));
    QStringList handles;
    const QStringList lines = debug.lines();
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = handleLine.match(line);
        if (match.hasMatch())
            handles << match.captured(1);
    }
    QCOMPARE(handles.size(), 1);
    QCOMPARE(handles.first() != QStringLiteral("0"), playable);
}

// While a batch is held at its first file, the user picks another output
// folder and previews a file: Convert stays locked after the preview, and the
// new folder takes the files not yet started. The status line follows.
void tst_cMainWidget::batchGoesOnWhileUserWorks()
{
    QTemporaryDir first;
    QTemporaryDir second;
    Gate gate(sounds.filePath(QStringLiteral("held.wav")));
    QVERIFY(gate.isMade());
    store(QStringLiteral("Output"), first.path());
    // One file at a time, so the second file starts only after the folder has changed.
    store(QStringLiteral("Jobs"), QStringLiteral("1"));
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("held.wav"), QStringLiteral("tone.mp3")}));
    QCOMPARE(statusLine, QStringLiteral("2 file(s) listed"));
    QSignalSpy results(converter, &cConverter::fileProcessed);

    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    QVERIFY(gate.waitForReader());
    QTRY_COMPARE(status(0), QStringLiteral("\u2026"));
    QTRY_VERIFY(statusLine.startsWith(QLatin1String("Converting: 0 of 2 done, 0 failed, 0:")));
    QVERIFY(stoppable);

    QVERIFY(clickThroughDialog(outputBtn, [&](QFileDialog *dialog) { choose(dialog, second.path()); }));
    QCOMPARE(outputEdit->text(), second.path());

    QSignalSpy previewed(player, &cPlayer::playFinished);
    playButton(1)->click();
    QVERIFY(!convertBtn->isEnabled());
    QVERIFY(statusLine.endsWith(QLatin1String("Playing tone.mp3")));
    QVERIFY(previewed.wait(batchTimeoutMs));
    QTRY_VERIFY(outputEdit->isEnabled());
    QVERIFY(converter->isRunning());
    QVERIFY(!convertBtn->isEnabled());
    QVERIFY(!selectBtn->isEnabled());

    QVERIFY(gate.release(TestSupport::readFile(toneWav)));
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QCOMPARE(status(1), QStringLiteral("OK"));
    QCOMPARE(results.size(), 2);
    QCOMPARE(QDir(first.path()).entryList(QDir::Files), QStringList{QStringLiteral("held.wav")});
    QCOMPARE(QDir(second.path()).entryList(QDir::Files), QStringList{QStringLiteral("tone.wav")});
    QVERIFY(selectBtn->isEnabled());
    QVERIFY(!stoppable);
}

// While a batch runs its list can be neither replaced nor edited.
void tst_cMainWidget::listIsTheBatchsWhileItRuns()
{
    QTemporaryDir out;
    Gate gate(sounds.filePath(QStringLiteral("gate.wav")));
    QVERIFY(gate.isMade());
    store(QStringLiteral("Output"), out.path());
    store(QStringLiteral("Jobs"), QStringLiteral("1"));
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("gate.wav"), QStringLiteral("tone.mp3")}));
    convertBtn->click();
    QVERIFY(gate.waitForReader());

    QVERIFY(!selectBtn->isEnabled());
    QVERIFY(!drop(widget.get(), {QUrl::fromLocalFile(toneWav)}));
    fileList->setFocus();
    fileList->selectRow(1);
    QTest::keyClick(fileList, Qt::Key_Delete);
    QCOMPARE(rowCount(), 2);

    QVERIFY(gate.release(TestSupport::readFile(toneWav)));
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QCOMPARE(status(1), QStringLiteral("OK"));
}

// The same file listed twice is converted twice, and each row shows its own
// result: the second run finds the output the first one wrote.
void tst_cMainWidget::eachRowGetsItsOwnResult()
{
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    QVERIFY(makeWidget());
    QVERIFY(
        select(sounds.path(), {QStringLiteral("beep.wav"), QStringLiteral("tone.mp3"), QStringLiteral("beep.wav")}));
    QCOMPARE(rowCount(), 3);
    QSignalSpy results(converter, &cConverter::fileProcessed);
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(results.size(), 3);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QCOMPARE(status(1), QStringLiteral("OK"));
    QCOMPARE(status(2), QStringLiteral("SKIP"));
}

void tst_cMainWidget::emptyTableConvertsNothing()
{
    QVERIFY(makeWidget());
    QSignalSpy results(converter, &cConverter::fileProcessed);
    convertBtn->click();
    QVERIFY(convertBtn->isEnabled());
    QVERIFY(!converter->isRunning());
    QCOMPARE(statusLine, QStringLiteral("Nothing to convert: select files or drop them here first"));
    QCOMPARE(results.size(), 0);
}

// Tab and Shift+Tab leave the table; Space on a row plays it, and the focus
// comes back to the table when the preview ends.
void tst_cMainWidget::keyboard()
{
    QVERIFY(makeWidget());
    widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget.get()));
    widget->listFiles({toneWav, sounds.filePath(QStringLiteral("beep.wav"))});

    fileList->setFocus();
    QTest::keyClick(fileList, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), outputEdit);
    fileList->setFocus();
    QTest::keyClick(fileList, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), selectBtn);

    fileList->setFocus();
    QTest::keyClick(fileList, Qt::Key_Down);
    QCOMPARE(currentRow(), 1);
    QSignalSpy finished(player, &cPlayer::playFinished);
    QTest::keyClick(fileList, Qt::Key_Space);
    QCOMPARE(statusLine, QStringLiteral("Playing beep.wav"));
    QVERIFY(!fileList->isEnabled());
    QVERIFY(finished.wait(batchTimeoutMs));
    QTRY_VERIFY(fileList->isEnabled());
    QCOMPARE(QApplication::focusWidget(), fileList);
    QCOMPARE(statusLine, QStringLiteral("2 file(s) listed"));
}

// Esc ends a long preview at once.
void tst_cMainWidget::stopPreview()
{
    const QString longTone = sounds.filePath(QStringLiteral("long.wav"));
    QVERIFY(TestSupport::makeTone(longTone, 60));
    QVERIFY(makeWidget());
    widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget.get()));
    widget->listFiles({longTone});

    QSignalSpy finished(player, &cPlayer::playFinished);
    playButton(0)->click();
    QVERIFY(stoppable);
    QTest::keyClick(widget.get(), Qt::Key_Escape);
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY(selectBtn->isEnabled());
    QVERIFY(!stoppable);
    QCOMPARE(statusLine, QStringLiteral("1 file(s) listed"));
}

// Delete removes the selected rows, and results then find the rows left;
// the context menu offers the same, and opens the folder of a file.
void tst_cMainWidget::removeAndOpenFolder()
{
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    QVERIFY(makeWidget());
    const QString beep = sounds.filePath(QStringLiteral("beep.wav"));
    widget->listFiles({toneWav, sounds.filePath(QStringLiteral("bad.mp3")), beep});
    QStringList menu;
    for (const QAction *const action : fileList->actions())
        menu << action->text();
    QCOMPARE(menu,
             QStringList({QStringLiteral("Play"), QStringLiteral("Play result"), QStringLiteral("Remove from list"),
                          QStringLiteral("Open containing folder"), QString(), QStringLiteral("Next failure"),
                          QStringLiteral("Show only failed and warned"), QStringLiteral("Convert failed files again"),
                          QString(), QStringLiteral("Add files\u2026"), QStringLiteral("Clear list")}));

    fileList->setFocus();
    fileList->selectRow(0);
    fileList->selectionModel()->select(fileList->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(fileList, Qt::Key_Delete);
    QCOMPARE(rowCount(), 1);
    QCOMPARE(cell(0, 0).data().toString(), beep);
    QCOMPARE(statusLine, QStringLiteral("1 file(s) listed"));

    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));

    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
    fileList->setCurrentIndex(fileList->model()->index(0, 0));
    fileList->actions().at(3)->trigger();
    QCOMPARE(openedUrls, QList<QUrl>{QUrl::fromLocalFile(sounds.path())});
}

void tst_cMainWidget::dropsAdd_data()
{
    // Names in a folder that holds a.mp3, sub/b.wav, notes.txt, a WAV named
    // "prompt", a text named "readme" and a name in Latin-1 bytes; "." is the
    // folder itself, "tone" the file listed before the drop.
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("status");

    QTest::newRow("a folder, and a file listed already")
        << QStringList{".", "tone"} << QStringList{"tone", "a.mp3", "sub/b.wav"}
        << "2 file(s) added, 1 already listed, 1 could not be read (see the log)";
    QTest::newRow("a file that is not sound") << QStringList{"notes.txt", "a.mp3"} << QStringList{"tone", "a.mp3"}
                                              << "1 file(s) added; notes.txt is not a sound file";
    QTest::newRow("names without extension, by content")
        << QStringList{"prompt", "readme", "notes.txt"} << QStringList{"tone", "prompt"}
        << "1 file(s) added; 2 file(s) left out: not sound files";
    QTest::newRow("one file twice") << QStringList{"a.mp3", "a.mp3"} << QStringList{"tone", "a.mp3"}
                                    << "1 file(s) added, 1 already listed";
}

// Local files and folders dropped on the window add to the list; a drop of
// nothing local is refused.
void tst_cMainWidget::dropsAdd()
{
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, listed);
    QFETCH(QString, status);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("sub"))));
    for (const QString &name : {QStringLiteral("sub/b.wav"), QStringLiteral("a.mp3"), QStringLiteral("notes.txt")})
        QVERIFY(TestSupport::writeFile(dir.filePath(name), {}));
    QVERIFY(QFile::copy(toneWav, dir.filePath(QStringLiteral("prompt"))));
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("readme")), "Read me\n"));
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/Gr\xf6\xdf"
                                                              "e.wav";
    QVERIFY(::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0600)) == 0);
    const auto removeLatin1 = qScopeGuard([&] { ::unlink(latin1.constData()); });
    const auto path = [&](const QString &name) {
        return name == QLatin1String("tone") ? toneWav : name == QLatin1String(".") ? dir.path() : dir.filePath(name);
    };
    QVERIFY(makeWidget());
    widget->listFiles({toneWav});
    QVERIFY(!drop(widget.get(), {QUrl(QStringLiteral("https://example.org/a.wav"))}));

    QList<QUrl> urls{QUrl(QStringLiteral("https://example.org/c.wav"))};
    for (const QString &name : std::as_const(dropped))
        urls << QUrl::fromLocalFile(path(name));
    QVERIFY(drop(widget.get(), urls));
    QTRY_COMPARE(rowCount(), listed.size());
    for (int row = 0; row < listed.size(); ++row)
        QCOMPARE(cell(row, 0).data().toString(), path(listed.at(row)));
    QCOMPARE(statusLine, status);
}

// "Add files…" opens the dialog Select files opens and adds what is chosen;
// "Clear list" empties the list.
void tst_cMainWidget::addFilesAndClearList()
{
    QVERIFY(makeWidget());
    widget->listFiles({toneWav});
    QAction *const add = rowAction(QStringLiteral("Add files\u2026"));
    QAction *const clear = rowAction(QStringLiteral("Clear list"));
    QVERIFY(add && clear);

    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(throughDialog([add] { add->trigger(); },
                          [&](QFileDialog *dialog) {
                              QCOMPARE(dialog->windowTitle(), QStringLiteral("Add files"));
                              QCOMPARE(dialog->nameFilters().size(), 2);
                              choose(dialog, sounds.path(), {QStringLiteral("beep.wav"), QStringLiteral("tone.wav")});
                          }));
    QCOMPARE(rowCount(), 2);
    QCOMPARE(cell(0, 0).data().toString(), toneWav);
    QCOMPARE(cell(1, 0).data().toString(), sounds.filePath(QStringLiteral("beep.wav")));
    QCOMPARE(statusLine, QStringLiteral("1 file(s) added, 1 already listed"));

    clear->trigger();
    QCOMPARE(rowCount(), 0);
    QCOMPARE(statusLine, QString());
    QVERIFY(!clear->isEnabled());
}

// After a batch with damaged files the first failure is current; F8 goes
// from failure to failure and the status line says why; Shift+F8 shows them
// alone; Ctrl+R converts them again, the other rows keeping their results.
void tst_cMainWidget::failuresEasyToFind()
{
    QTemporaryDir out;
    QTemporaryDir src;
    store(QStringLiteral("Output"), out.path());
    const QStringList names{"a.wav", "b.mp3", "c.wav", "d.mp3"};
    QStringList paths;
    for (const QString &name : names) {
        paths << src.filePath(name);
        QVERIFY(QFile::copy(name.endsWith(QLatin1String(".wav")) ? toneWav : sounds.filePath("bad.mp3"), paths.last()));
    }
    QVERIFY(makeWidget());
    widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget.get()));
    widget->listFiles(paths);

    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(currentRow(), 1);
    QVERIFY2(statusLine.startsWith(QLatin1String("4 file(s): 2 converted, 2 failed")), qPrintable(statusLine));

    QTest::keyClick(widget.get(), Qt::Key_F8);
    QCOMPARE(currentRow(), 3);
    QCOMPARE(QApplication::focusWidget(), fileList);
    QVERIFY(!tip(3).isEmpty());
    QCOMPARE(statusLine, QStringLiteral("d.mp3 failed: ") + tip(3));
    QTest::keyClick(fileList, Qt::Key_F8);
    QCOMPARE(currentRow(), 1);
    QTest::keyClick(fileList, Qt::Key_Up);
    QVERIFY2(statusLine.startsWith(QLatin1String("4 file(s): 2 converted, 2 failed")), qPrintable(statusLine));

    QTest::keyClick(fileList, Qt::Key_F8, Qt::ShiftModifier);
    const auto hidden = [this] {
        QList<bool> rows;
        for (int row = 0; row < rowCount(); ++row)
            rows << !shown->mapFromSource(cell(row, 0)).isValid();
        return rows;
    };
    QCOMPARE(hidden(), (QList<bool>{true, false, true, false}));
    QCOMPARE(currentRow(), 1);

    // A retry that can't start (a file stands where the output folder would be) keeps the failures.
    outputEdit->setText(QDir(out.path()).filePath(QStringLiteral("a.wav/sub")));
    QTest::keyClick(fileList, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE((QStringList{status(0), status(1), status(2), status(3)}), (QStringList{"OK", "FAIL!", "OK", "FAIL!"}));
    outputEdit->setText(out.path());

    // b.mp3 is mended; a.wav and c.wav, whose outputs are there, are not converted again.
    QVERIFY(QFile::remove(paths.at(1)) && QFile::copy(sounds.filePath("tone.mp3"), paths.at(1)));
    QTest::keyClick(fileList, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!convertBtn->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QVERIFY2(statusLine.startsWith(QLatin1String("2 file(s): 1 converted, 1 failed")), qPrintable(statusLine));
    QCOMPARE((QStringList{status(0), status(1), status(2), status(3)}), (QStringList{"OK", "OK", "OK", "FAIL!"}));
    QCOMPARE(hidden(), (QList<bool>{true, true, true, false}));
    QCOMPARE(currentRow(), 3);
}

void tst_cMainWidget::menuKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
}

// The keys that open a context menu open the rows' menu at the current row.
void tst_cMainWidget::menuKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QVERIFY(makeWidget());
    widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget.get()));
    widget->listFiles({toneWav, sounds.filePath(QStringLiteral("beep.wav"))});
    fileList->setFocus();
    fileList->setCurrentIndex(fileList->model()->index(1, 0));

    QStringList shown;
    QRect at;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        if (auto *const menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *const action : menu->actions())
                shown << action->text();
            at = menu->geometry();
            menu->close();
        }
    });
    poll.start(10);
    QTest::keyClick(fileList, Qt::Key(key), modifiers);
    QTRY_VERIFY(!shown.isEmpty());
    QCOMPARE(shown.first(), QStringLiteral("Play"));
    QCOMPARE(shown.size(), fileList->actions().size());
    const QRect row = fileList->visualRect(fileList->model()->index(1, 0));
    QVERIFY(at.top() > fileList->viewport()->mapToGlobal(row.topLeft()).y());
}

void tst_cMainWidget::previewDecodedByConverter_data()
{
    QTest::addColumn<bool>("stopWhileDecoding");
    QTest::newRow("M4A heard") << false;
    QTest::newRow("stopped while decoding") << true;
}

// An M4A, which the audio layer can't read, is decoded by the converter
// program into a temporary WAV and heard; Esc ends the decoding too, and the
// temporary file goes either way.
void tst_cMainWidget::previewDecodedByConverter()
{
    QFETCH(bool, stopWhileDecoding);
    const double seconds = 0.5;
    const QString m4a = sounds.filePath(QStringLiteral("tone.m4a"));
    QVERIFY(QFile::exists(m4a) || TestSupport::makeTone(m4a, seconds));
    QTemporaryDir scratch;
    const QString temp = scratch.filePath(QStringLiteral("temp"));
    const QString capture = scratch.filePath(QStringLiteral("capture.raw"));
    QVERIFY(QDir().mkpath(temp));
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QByteArray oldPath = qgetenv("PATH");
    const auto restore = qScopeGuard([&] {
        qputenv("TMPDIR", oldTemp);
        qputenv("PATH", oldPath);
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    });
    qputenv("TMPDIR", QFile::encodeName(temp));
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));
    if (stopWhileDecoding) {
        QVERIFY(!TestSupport::writeFakeConverter(scratch.path(), "exec sleep 60").isEmpty());
        TestSupport::prependToPath(scratch.path());
    }
    QVERIFY(makeWidget());
    widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget.get()));
    widget->listFiles({m4a});

    playButton(0)->click();
    if (stopWhileDecoding) {
        QTRY_VERIFY(!QDir(temp).isEmpty());
        QVERIFY(!selectBtn->isEnabled());
        QTest::keyClick(widget.get(), Qt::Key_Escape);
    }
    QTRY_VERIFY_WITH_TIMEOUT(selectBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(statusLine, QStringLiteral("1 file(s) listed"));
    QVERIFY(QDir(temp).isEmpty());
    if (!stopWhileDecoding) {
        const qsizetype expected = qRound(seconds * 44100);
        const qsizetype played = TestSupport::loudFrames(capture, 2);
        QVERIFY2(qAbs(played - expected) <= expected / 20, qPrintable(QString::number(played)));
    }
}

void tst_cMainWidget::outputFolderRules_data()
{
    // In texts, "<tmp>" stands for a fresh temporary folder, "~" for the home folder.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("used");        // where the files land; empty: the working directory
    QTest::addColumn<QString>("dialogStart"); // where the folder dialog opens; "<src>": the sources' folder

    QTest::newRow("empty") << ""
                           << ""
                           << "<src>";
    QTest::newRow("blanks around") << "  <tmp>/out \t"
                                   << "<tmp>/out"
                                   << "<tmp>/out";
    QTest::newRow("home folder") << "~/prompts"
                                 << "~/prompts"
                                 << "~/prompts";
    QTest::newRow("created at Convert") << "<tmp>/new/deeper"
                                        << "<tmp>/new/deeper"
                                        << "<src>";
    QTest::newRow("tilde inside a name") << "<tmp>/a~/b"
                                         << "<tmp>/a~/b"
                                         << "<src>";
}

// The typed text is used without its blanks and with "~/" for the home
// folder, a missing folder is made at Convert, and the text is kept as typed.
void tst_cMainWidget::outputFolderRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, used);
    QFETCH(QString, dialogStart);

    QTemporaryDir tmp;
    QTemporaryDir home;
    QTemporaryDir cwd;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", oldHome); });
    QVERIFY(QDir::setCurrent(cwd.path()));
    const auto expand = [&](QString text) {
        text.replace(QLatin1String("<tmp>"), tmp.path()).replace(QLatin1String("<src>"), sounds.path());
        return text.startsWith(QLatin1Char('~')) ? home.path() + text.mid(1) : text;
    };
    typed.replace(QLatin1String("<tmp>"), tmp.path());
    const QString usedDir = used.isEmpty() ? cwd.path() : expand(used);
    if (typed.contains(QLatin1String("out")) || typed.startsWith(QLatin1Char('~')))
        QVERIFY(QDir().mkpath(usedDir));

    store(QStringLiteral("Output"), typed);
    QVERIFY(makeWidget());
    widget->listFiles({sounds.filePath(QStringLiteral("beep.wav"))});
    QString openedIn;
    QVERIFY(clickThroughDialog(outputBtn, [&](QFileDialog *dialog) {
        openedIn = dialog->directory().absolutePath();
        cancel(dialog);
    }));
    QCOMPARE(openedIn, expand(dialogStart));

    if (!QFileInfo(usedDir).exists())
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("Output folder created: ") + TestSupport::debugQuoted(usedDir)));
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QVERIFY(QFile::exists(QDir(usedDir).filePath(QStringLiteral("beep.wav"))));
    QCOMPARE(outputEdit->text(), typed);
    widget.reset();
    QCOMPARE(stored(QStringLiteral("Output")), QVariant(typed));
}

void tst_cMainWidget::playsTheResult_data()
{
    QTest::addColumn<QString>("storedFormat");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("decoded"); // a file without a header is decoded for the preview

    QTest::newRow("the default") << QString() << "wav8"
                                 << "tone.wav" << false;
    QTest::newRow("µ-law WAV") << "wav8-ulaw"
                               << "wav8-ulaw"
                               << "tone.wav" << false;
    QTest::newRow("raw µ-law") << "ulaw"
                               << "ulaw"
                               << "tone.ulaw" << true;
    QTest::newRow("G.722") << "g722"
                           << "g722"
                           << "tone.g722" << true;
    QTest::newRow("an unknown format is the default") << "mp3"
                                                      << "wav8"
                                                      << "tone.wav" << false;
}

// The stored format is chosen in the menu, the name rules say its ending, and
// a row that shows "OK" plays what it wrote with Shift+Space, headerless or not.
void tst_cMainWidget::playsTheResult()
{
    QFETCH(QString, storedFormat);
    QFETCH(QString, format);
    QFETCH(QString, output);
    QFETCH(bool, decoded);
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    if (!storedFormat.isEmpty())
        store(QStringLiteral("Format"), storedFormat);
    QVERIFY(makeWidget());
    QVERIFY(option(QStringLiteral("actionFormat_") + format)->isChecked());
    const QString ending = QFileInfo(output).suffix();
    QCOMPARE(option(QStringLiteral("actionChangeExt"))->text(), QStringLiteral("Set extension to .") + ending);
    QCOMPARE(option(QStringLiteral("actionAddExt"))->text(), QStringLiteral("Append .%1 to filenames").arg(ending));

    widget->listFiles({sounds.filePath(QStringLiteral("tone.mp3"))});
    fileList->setFocus();
    fileList->selectRow(0);
    QAction *playResult = nullptr;
    for (QAction *const action : fileList->actions()) {
        if (action->text() == QStringLiteral("Play result"))
            playResult = action;
    }
    QVERIFY(playResult && !playResult->isEnabled());
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QVERIFY(QFile::exists(QDir(out.path()).filePath(output)));
    QVERIFY(playResult->isEnabled());

    QSignalSpy finished(player, &cPlayer::playFinished);
    const TestSupport::DebugMessages debug;
    QTest::keyClick(fileList, Qt::Key_Space, Qt::ShiftModifier);
    QVERIFY(!selectBtn->isEnabled());
    QVERIFY2(statusLine.endsWith(QStringLiteral("Playing ") + output), qPrintable(statusLine));
    QVERIFY(finished.wait(batchTimeoutMs));
    QTRY_VERIFY(selectBtn->isEnabled());
    const QStringList lines = debug.lines();
    QCOMPARE(!lines.filter(QStringLiteral("Decoding for the preview with args:")).isEmpty(), decoded);
    // The layer opened the file: a stream handle, and no error code after it.
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^[1-9]\\d* 0$"))).size(), 1);

    widget.reset();
    QCOMPARE(stored(QStringLiteral("Format")), QVariant(format));
}

QTEST_MAIN(tst_cMainWidget)
#include "tst_cmainwidget.moc"
