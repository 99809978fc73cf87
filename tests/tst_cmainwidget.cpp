#include "support/testsupport.h"
#include "ui/cmainwidget.h"
#include "workers/cconverter.h"
#include "workers/cplayer.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
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

// Clicks button and hands the modal file dialog it opens to act, from inside
// the dialog's own event loop. False when no dialog opened, or when a dialog
// was still open 10 s later (it is then rejected, so that the test fails
// instead of hanging).
bool clickThroughDialog(QAbstractButton *button, const std::function<void(QFileDialog *)> &act)
{
    bool acted = false;
    bool leftOpen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *const dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (acted || !dialog)
            return;
        acted = true;
        act(dialog);
    });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &watchdog, [&] {
        if (auto *const open = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            leftOpen = true;
            open->reject();
        }
    });
    poll.start(10);
    watchdog.start(10000);
    button->click();
    return acted && !leftOpen;
}

// Enters the names in the dialog's file name field, in its folder dir, and
// accepts. The field's signals are held back: as they come, the dialog selects
// the names it has already listed in its view and then returns only those,
// and it lists the folder in the background.
void choose(QFileDialog *dialog, const QString &dir, const QStringList &names = {})
{
    dialog->setDirectory(dir);
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    auto *const edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    {
        const QSignalBlocker blocker(edit);
        edit->setText(quoted.join(QLatin1Char(' ')));
    }
    static_cast<QDialog *>(dialog)->accept();
}

void cancel(QFileDialog *dialog)
{
    dialog->reject();
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

class tst_cMainWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void storedSettings_data();
    void storedSettings();
    void storedJobs_data();
    void storedJobs();
    void unnamedModeOnlyClearsStatuses();
    void optionsMenu();
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
    void resultsAfterReselection();
    void repeatedFileShowsInFirstRow();
    void emptyTableConvertsNothing();

private:
    bool makeWidget();
    template <typename T>
    T *part(const char *name) const
    {
        return widget->findChild<T *>(QLatin1String(name));
    }
    QAction *option(const QString &name) const { return widget->findChild<QAction *>(name); }
    QString status(int row) const { return fileList->item(row, 2)->text(); }
    bool select(const QString &dir, const QStringList &names);

    QTemporaryDir settingsDir;
    QTemporaryDir workDir;
    QTemporaryDir sounds;
    QString toneWav;

    std::unique_ptr<cMainWidget> widget;
    QPushButton *selectBtn = nullptr;
    QPushButton *convertBtn = nullptr;
    QPushButton *optionsBtn = nullptr;
    QTableWidget *fileList = nullptr;
    QLineEdit *outputEdit = nullptr;
    QToolButton *outputBtn = nullptr;
    cConverter *converter = nullptr;
    cPlayer *player = nullptr;
};

void tst_cMainWidget::initTestCase()
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
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
}

bool tst_cMainWidget::makeWidget()
{
    widget = std::make_unique<cMainWidget>();
    selectBtn = part<QPushButton>("selectBtn");
    convertBtn = part<QPushButton>("convertBtn");
    optionsBtn = part<QPushButton>("optionsBtn");
    fileList = part<QTableWidget>("fileList");
    outputEdit = part<QLineEdit>("outputEdit");
    outputBtn = part<QToolButton>("outputBtn");
    converter = widget->findChild<cConverter *>();
    player = widget->findChild<cPlayer *>();
    widget->show();
    return selectBtn && convertBtn && optionsBtn && fileList && outputEdit && outputBtn && converter && player &&
           QTest::qWaitForWindowExposed(widget.get());
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
    if (storedValue.isValid())
        store(QStringLiteral("Jobs"), storedValue.toString());
    QVERIFY(makeWidget());
    QCOMPARE(converter->jobs(), jobs);
    widget.reset();
    QCOMPARE(stored(QStringLiteral("Jobs")), storedValue);
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
    emit converter->fileProcessed(toneWav, true);
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

void tst_cMainWidget::optionsMenu()
{
    QVERIFY(makeWidget());
    const QMenu *const menu = optionsBtn->menu();
    QVERIFY(menu);
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Set extension to .wav"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("Append .wav to filenames"));
    QVERIFY(entries.at(2)->isSeparator());
    QCOMPARE(entries.at(3)->text(), QStringLiteral("Overwrite existing files"));
    QCOMPARE(entries.at(4)->text(), QStringLiteral("Skip existing files"));
    QCOMPARE(entries.at(0)->objectName(), QStringLiteral("actionChangeExt"));
    QCOMPARE(entries.at(1)->objectName(), QStringLiteral("actionAddExt"));
    QCOMPARE(entries.at(3)->objectName(), QStringLiteral("actionOverwrite"));
    QCOMPARE(entries.at(4)->objectName(), QStringLiteral("actionSkip"));

    // One choice per pair, and the pairs are independent.
    for (QAction *const entry : entries)
        QVERIFY(entry->isSeparator() || entry->isCheckable());
    entries.at(1)->trigger();
    entries.at(3)->trigger();
    QVERIFY(entries.at(1)->isChecked() && !entries.at(0)->isChecked());
    QVERIFY(entries.at(3)->isChecked() && !entries.at(4)->isChecked());
    entries.at(3)->trigger();
    QVERIFY(entries.at(3)->isChecked());
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
        QCOMPARE(dialog->nameFilters(),
                 QStringList({QStringLiteral("Sound files (*.wav *.mp3)"), QStringLiteral("All files (*.*)")}));
        QCOMPARE(dialog->directory().absolutePath(), QDir::currentPath());
        choose(dialog, first.path(), names);
    }));

    QCOMPARE(fileList->rowCount(), 3);
    QCOMPARE(fileList->columnCount(), 3);
    QVERIFY(fileList->horizontalHeader()->isHidden());
    QVERIFY(fileList->verticalHeader()->isHidden());
    for (int row = 0; row < 3; ++row) {
        const QString path = QDir(first.path()).filePath(names.at(row));
        QCOMPARE(fileList->item(row, 0)->text(), path);
        QCOMPARE(fileList->item(row, 0)->toolTip(), path);
        QCOMPARE(status(row), QString());
        for (int column = 0; column < 3; ++column)
            QCOMPARE(fileList->item(row, column)->flags(), Qt::ItemFlags(Qt::ItemIsEnabled));

        auto *const play = qobject_cast<QToolButton *>(fileList->cellWidget(row, 1));
        QVERIFY(play);
        QVERIFY(play->autoRaise());
        QVERIFY(!play->icon().isNull());
        QCOMPARE(play->text(), QString());
        QCOMPARE(play->property("fn").toString(), path);
        QCOMPARE(play->toolTip(), QStringLiteral("Play ") + names.at(row));
        QCOMPARE(play->accessibleName(), play->toolTip());
    }

    // A cancelled dialog opens where the first file was, and keeps the table.
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        QCOMPARE(dialog->directory().absolutePath(), first.path());
        cancel(dialog);
    }));
    QCOMPARE(fileList->rowCount(), 3);
    QCOMPARE(fileList->item(2, 0)->text(), QDir(first.path()).filePath(names.at(2)));

    // A new selection replaces every row.
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quotedCurrentPath()));
    QVERIFY(clickThroughDialog(selectBtn, [&](QFileDialog *dialog) {
        QCOMPARE(dialog->directory().absolutePath(), first.path());
        choose(dialog, second.path(), {QStringLiteral("e.wav")});
    }));
    QCOMPARE(fileList->rowCount(), 1);
    QCOMPARE(fileList->item(0, 0)->text(), other);
    QCOMPARE(qobject_cast<QToolButton *>(fileList->cellWidget(0, 1))->property("fn").toString(), other);

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
    // After each result, as the user sees it, every column fits its contents.
    int tooNarrow = 0;
    const QAbstractItemView *const view = fileList;
    connect(converter, &cConverter::fileProcessed, fileList, [&] {
        for (int column = 0; column < 3; ++column)
            tooNarrow += fileList->columnWidth(column) < view->sizeHintForColumn(column) ? 1 : 0;
    });

    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    const QStringList firstRun{QStringLiteral("OK"), QStringLiteral("FAIL!"), QStringLiteral("OK")};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(status(row), firstRun.at(row));
        const QColor colour = row == 1 ? QColor(Qt::darkRed) : QColor(Qt::darkGreen);
        QCOMPARE(fileList->item(row, 2)->foreground(), QBrush(colour));
    }
    QVERIFY(QFile::exists(QDir(out.path()).filePath(QStringLiteral("tone.wav"))));

    // Skip is the default: this time every output exists already, or can't be made.
    // The converter's thread ends just after its last signal; a press before
    // that would be dropped.
    QTRY_VERIFY(converter->isFinished());
    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    for (int row = 0; row < 3; ++row)
        QCOMPARE(status(row), QString());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(status(row), QStringLiteral("FAIL!"));
        QCOMPARE(fileList->item(row, 2)->foreground(), QBrush(Qt::darkRed));
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
                                   << "FAIL!";
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

    qobject_cast<QToolButton *>(fileList->cellWidget(1, 1))->click();
    for (QWidget *const w : locked)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(finished.wait(batchTimeoutMs));
    QTRY_VERIFY(selectBtn->isEnabled());
    for (QWidget *const w : locked)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));

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
// folder, previews a file and presses Convert again: the preview gives
// Convert back, the second press starts nothing new, and the new folder
// takes the files not yet started.
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
    QSignalSpy results(converter, &cConverter::fileProcessed);

    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    QVERIFY(gate.waitForReader());

    QVERIFY(clickThroughDialog(outputBtn, [&](QFileDialog *dialog) { choose(dialog, second.path()); }));
    QCOMPARE(outputEdit->text(), second.path());

    QSignalSpy previewed(player, &cPlayer::playFinished);
    qobject_cast<QToolButton *>(fileList->cellWidget(1, 1))->click();
    QVERIFY(!convertBtn->isEnabled());
    QVERIFY(!selectBtn->isEnabled());
    QVERIFY(previewed.wait(batchTimeoutMs));
    QTRY_VERIFY(convertBtn->isEnabled());
    QVERIFY(converter->isRunning());

    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());

    QVERIFY(gate.release(TestSupport::readFile(toneWav)));
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(status(0), QStringLiteral("OK"));
    QCOMPARE(status(1), QStringLiteral("OK"));
    QCOMPARE(results.size(), 2);
    QCOMPARE(QDir(first.path()).entryList(QDir::Files), QStringList{QStringLiteral("held.wav")});
    QCOMPARE(QDir(second.path()).entryList(QDir::Files), QStringList{QStringLiteral("tone.wav")});
}

// Files selected while a batch runs: a result for a file that left the table
// shows nowhere, one for a path the new table holds too shows in its row.
void tst_cMainWidget::resultsAfterReselection()
{
    QTemporaryDir out;
    Gate gate(sounds.filePath(QStringLiteral("gate.wav")));
    QVERIFY(gate.isMade());
    store(QStringLiteral("Output"), out.path());
    store(QStringLiteral("Jobs"), QStringLiteral("1"));
    QVERIFY(makeWidget());
    QVERIFY(select(sounds.path(), {QStringLiteral("gate.wav"), QStringLiteral("tone.mp3")}));
    QSignalSpy results(converter, &cConverter::fileProcessed);
    convertBtn->click();
    QVERIFY(gate.waitForReader());

    QVERIFY(select(sounds.path(), {QStringLiteral("tone.wav"), QStringLiteral("tone.mp3")}));
    QVERIFY(gate.release(TestSupport::readFile(toneWav)));
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(results.size(), 2);
    QCOMPARE(fileList->rowCount(), 2);
    QCOMPARE(status(0), QString());
    QCOMPARE(status(1), QStringLiteral("OK"));
}

// The same file selected twice is converted twice; both results show in the
// first of its rows.
void tst_cMainWidget::repeatedFileShowsInFirstRow()
{
    QTemporaryDir out;
    store(QStringLiteral("Output"), out.path());
    QVERIFY(makeWidget());
    QVERIFY(
        select(sounds.path(), {QStringLiteral("beep.wav"), QStringLiteral("tone.mp3"), QStringLiteral("beep.wav")}));
    QCOMPARE(fileList->rowCount(), 3);
    QSignalSpy results(converter, &cConverter::fileProcessed);
    convertBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(results.size(), 3);
    QVERIFY(!status(0).isEmpty());
    QCOMPARE(status(1), QStringLiteral("OK"));
    QCOMPARE(status(2), QString());
}

void tst_cMainWidget::emptyTableConvertsNothing()
{
    QVERIFY(makeWidget());
    QSignalSpy results(converter, &cConverter::fileProcessed);
    convertBtn->click();
    QVERIFY(!convertBtn->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), batchTimeoutMs);
    QCOMPARE(results.size(), 0);
    QCOMPARE(fileList->rowCount(), 0);
}

QTEST_MAIN(tst_cMainWidget)
#include "tst_cmainwidget.moc"
