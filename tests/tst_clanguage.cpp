#include "app/clanguage.h"
#include "app/cmainwindow.h"
#include "core/cbatchprogress.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// What a person reads in each language: the three buttons, the options, the
// status bar's Stop button, the format shown beside Options, Qt's own Cancel
// button, the "1 file"/"2 files"/"5 files" plural forms, and, when a file is
// listed and converted, its play button, its result and the status line's
// summary of the batch.
QStringList expectedTexts(const QString &language, bool withRow)
{
    QStringList texts;
    QStringList row;
    if (language == QLatin1String("ru")) {
        texts = QStringList{"Выбрать файлы",
                            "Конвертировать",
                            "Параметры",
                            "Заменять расширение на .wav",
                            "Добавлять .wav к имени файла",
                            "Перезаписывать существующие файлы",
                            "Пропускать существующие файлы",
                            "Обновлять изменённые файлы",
                            "Сохранять структуру папок",
                            "Безопасные имена (строчные ASCII)",
                            "Система",
                            "Формат",
                            "Выровнять громкость",
                            "Обрезать тишину",
                            "Чистые файлы",
                            "Остановить",
                            "WAV, 8 кГц, 16 бит PCM",
                            "Отмена",
                            "1 файл: ",
                            "2 файла: ",
                            "5 файлов: "};
        row = QStringList{"Воспроизвести a.wav", "ОК", "2 файла"};
    } else if (language == QLatin1String("de")) {
        texts = QStringList{"Dateien auswählen",
                            "Konvertieren",
                            "Optionen",
                            "Endung durch .wav ersetzen",
                            ".wav an Dateinamen anhängen",
                            "Vorhandene Dateien überschreiben",
                            "Vorhandene Dateien überspringen",
                            "Geänderte Dateien aktualisieren",
                            "Ordnerstruktur beibehalten",
                            "Sichere Namen (ASCII-Kleinbuchstaben)",
                            "Zielsystem",
                            "Format",
                            "Gleiche Lautheit",
                            "Stille kürzen",
                            "Saubere Dateien",
                            "Stopp",
                            "WAV, 8 kHz, 16 Bit PCM",
                            "Abbrechen",
                            "1 Datei: ",
                            "2 Dateien: ",
                            "5 Dateien: "};
        row = QStringList{"a.wav abspielen", "OK", "2 Dateien"};
    } else {
        texts = QStringList{"Select files",
                            "Convert",
                            "Options",
                            "Set extension to .wav",
                            "Append .wav to filenames",
                            "Overwrite existing files",
                            "Skip existing files",
                            "Update changed files",
                            "Keep folder trees",
                            "Safe names (lower-case ASCII)",
                            "Target",
                            "Format",
                            "Even level",
                            "Trim silence",
                            "Clean files",
                            "Stop",
                            "WAV, 8 kHz 16-bit PCM",
                            "Cancel",
                            "1 file: ",
                            "2 files: ",
                            "5 files: "};
        row = QStringList{"Play a.wav", "OK", "2 files"};
    }
    return withRow ? texts + row : texts;
}

// The same texts as the window and the program show them now.
QStringList shownTexts(const QWidget *window)
{
    QStringList texts;
    QStringList keys;
    for (const char *name : {"selectBtn", "convertBtn", "optionsBtn"}) {
        QString text = window->findChild<QPushButton *>(QLatin1String(name))->text();
        keys.append(QKeySequence::mnemonic(text).toString());
        texts.append(text.remove(QLatin1Char('&')));
    }
    // Each button has an accelerator of its own.
    if (keys.contains(QString()) || keys.removeDuplicates() > 0)
        texts.append(QStringLiteral("accelerators: ") + keys.join(u' '));
    for (const QAction *const action :
         window->findChild<QPushButton *>(QStringLiteral("optionsBtn"))->menu()->actions()) {
        if (!action->isSeparator())
            texts.append(action->text());
    }
    texts.append(window->findChild<QPushButton *>(QStringLiteral("stopBtn"))->text());
    texts.append(window->findChild<QLabel *>(QStringLiteral("targetLabel"))->text());
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    texts.append(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')));
    for (const int files : {1, 2, 5}) {
        cBatchProgress progress;
        progress.start(files);
        texts.append(progress.finishedText().section(QLatin1Char(':'), 0, 0) + QStringLiteral(": "));
    }
    const auto *const fileList = window->findChild<QTableView *>(QStringLiteral("fileList"));
    if (fileList->model()->rowCount() > 0) {
        const QWidget *const play = fileList->indexWidget(fileList->model()->index(0, 1));
        texts.append(play->toolTip());
        texts.append(fileList->model()->index(0, 2).data().toString());
        // The name a screen reader speaks follows the tool tip.
        if (play->accessibleName() != play->toolTip())
            texts.append(QStringLiteral("accessible name: ") + play->accessibleName());
        // "1 file: 1 converted, 0 failed, in 0:00": the clock is left out.
        texts.append(window->findChild<QLabel *>(QStringLiteral("statusLabel"))->text().section(u':', 0, 0));
    }
    return texts;
}

} // namespace

// The language the program speaks: the one the session asks for at start, and
// another one installed while the window is open.
class tst_cLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startUp();
    void switchAtRunTime();

private:
    QTemporaryDir scratch;
};

void tst_cLanguage::initTestCase()
{
    QVERIFY(scratch.isValid());
    TestSupport::useScratchSettings(scratch.path());
    QVERIFY(QDir::setCurrent(scratch.path()));
}

void tst_cLanguage::startUp()
{
    // The environment this process started with is the session's (see tests/CMakeLists.txt).
    const QString expected = qEnvironmentVariable("MARROWBY_EXPECTED_LANGUAGE", QStringLiteral("en"));
    QCOMPARE(cLanguage::install(), expected);

    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    QCOMPARE(shownTexts(window.get()), expectedTexts(expected, false));
}

void tst_cLanguage::switchAtRunTime()
{
    QCOMPARE(cLanguage::install(QLocale::c()), QStringLiteral("en"));
    const std::unique_ptr<cMainWindow> window(new cMainWindow);
    window->show();

    // One file converted and one damaged, so that their rows show their texts too.
    const QString sound = QDir(scratch.path()).filePath(QStringLiteral("a.wav"));
    const QString damaged = QDir(scratch.path()).filePath(QStringLiteral("b.wav"));
    QVERIFY(TestSupport::makeTone(sound, 0.2));
    QVERIFY(TestSupport::writeFile(damaged, "not a sound"));
    QVERIFY(QDir(scratch.path()).mkpath(QStringLiteral("out")));
    window->findChild<QLineEdit *>(QStringLiteral("outputEdit"))->setText(scratch.filePath(QStringLiteral("out")));
    window->listFiles({sound, damaged});
    auto *const convertBtn = window->findChild<QPushButton *>(QStringLiteral("convertBtn"));
    QTest::mouseClick(convertBtn, Qt::LeftButton);
    const auto *const fileList = window->findChild<QTableView *>(QStringLiteral("fileList"));
    // The batch's end, not only its last row: the status line shows the tally then.
    QTRY_VERIFY_WITH_TIMEOUT(convertBtn->isEnabled(), 30000);
    QCOMPARE(fileList->model()->index(0, 2).data().toString(), QStringLiteral("OK"));
    QVERIFY(!fileList->model()->index(1, 2).data(Qt::ToolTipRole).toString().isEmpty());

    for (const QString &language : {QStringLiteral("ru"), QStringLiteral("de"), QStringLiteral("en")}) {
        QCOMPARE(cLanguage::install(QLocale(language)), language);
        // The windows get the change as posted events, which the event loop would deliver next.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(shownTexts(window.get()), expectedTexts(language, true));
        // The reason of a failure shown before the change follows it too.
        const QString failed = QCoreApplication::translate("cConversion", "ffmpeg failed with exit code %1: %2");
        QVERIFY2(fileList->model()
                     ->index(1, 2)
                     .data(Qt::ToolTipRole)
                     .toString()
                     .startsWith(failed.section(QStringLiteral("%1"), 0, 0)),
                 qPrintable(fileList->model()->index(1, 2).data(Qt::ToolTipRole).toString()));
    }
}

QTEST_MAIN(tst_cLanguage)
#include "tst_clanguage.moc"
