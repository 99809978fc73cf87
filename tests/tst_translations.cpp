#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// One message of a Linguist source file: its state and its text, or its
// plural forms.
struct Translation
{
    QString type; // "", "unfinished", "vanished" or "obsolete"
    QStringList forms;
};

// The messages of a .ts file by context, source text and disambiguation.
QMap<QString, Translation> readTs(const QString &path)
{
    QMap<QString, Translation> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    QString comment;
    bool numerus = false;
    Translation translation;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"message")
            messages.insert(context + QLatin1Char('\x1f') + source + QLatin1Char('\x1f') + comment, translation);
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
            source.clear();
            comment.clear();
            translation = Translation();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"comment") {
            comment = xml.readElementText();
        } else if (xml.name() == u"translation") {
            translation.type = xml.attributes().value(QLatin1String("type")).toString();
            if (!numerus)
                translation.forms.append(xml.readElementText());
        } else if (xml.name() == u"numerusform") {
            translation.forms.append(xml.readElementText());
        }
    }
    return messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%L?(n|[1-9][0-9]?)"));
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found.append(match.captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

// "&" before a letter or digit marks a keyboard accelerator; "&&" is an ampersand.
int accelerators(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1).isLetterOrNumber())
            ++count;
        ++i;
    }
    return count;
}

// What is wrong with the .ts file at path for the texts the code has now: a
// copy brought up to date by lupdate lists them and their plural forms.
QStringList problemsOf(const QString &path, const QString &scratchDir)
{
    const QString current = QDir(scratchDir).filePath(QStringLiteral("current_") + QFileInfo(path).fileName());
    QFile::remove(current);
    if (!QFile::copy(path, current))
        return {QStringLiteral("cannot copy ") + path};

    QStringList arguments = QStringLiteral(MARROWBY_LUPDATE_OPTIONS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (path.endsWith(QLatin1String("_en.ts")))
        arguments.append(QStringLiteral("-pluralonly"));
    arguments << QStringLiteral("-I") << QStringLiteral(MARROWBY_SOURCE_DIR)
              << QStringLiteral("@" MARROWBY_TRANSLATED_SOURCES) << QStringLiteral("-ts") << current;
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(MARROWBY_SOURCE_DIR));
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(MARROWBY_LUPDATE), arguments);
    if (!lupdate.waitForFinished(60000) || lupdate.exitStatus() != QProcess::NormalExit || lupdate.exitCode() != 0)
        return {QStringLiteral("lupdate failed: ") + QString::fromLocal8Bit(lupdate.readAll())};

    const QMap<QString, Translation> shipped = readTs(path);
    const QMap<QString, Translation> used = readTs(current);
    if (used.isEmpty())
        return {QStringLiteral("no texts found in the code")};
    QStringList problems;
    for (auto message = used.cbegin(); message != used.cend(); ++message) {
        const QString source = message.key().section(QLatin1Char('\x1f'), 1, 1);
        const QString what =
            message.key().section(QLatin1Char('\x1f'), 0, 0) + QStringLiteral(" \"") + source + QStringLiteral("\": ");
        const auto found = shipped.constFind(message.key());
        if (found == shipped.cend()) {
            problems.append(what + QStringLiteral("not in the file"));
            continue;
        }
        const Translation &translation = found.value();
        if (translation.type == u"vanished" || translation.type == u"obsolete") {
            problems.append(what + QStringLiteral("marked obsolete, but the code uses it"));
        } else if (translation.type == u"unfinished") {
            problems.append(what + QStringLiteral("unfinished"));
        } else if (translation.forms.size() != message.value().forms.size() || translation.forms.contains(QString())) {
            problems.append(what + QStringLiteral("empty"));
        } else {
            for (const QString &form : translation.forms) {
                if (placeholders(form) != placeholders(source))
                    problems.append(what + QStringLiteral("placeholders differ in \"") + form + u'"');
                if (accelerators(form) != accelerators(source))
                    problems.append(what + QStringLiteral("accelerators differ in \"") + form + u'"');
            }
        }
    }
    return problems;
}

QString shippedFile(const QString &language)
{
    return QStringLiteral(MARROWBY_SOURCE_DIR "/translations/marrowby_%1.ts").arg(language);
}

} // namespace

// The translations shipped are complete and keep each text's placeholders and
// accelerators, checked against the texts the code has now.
class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shippedFilesAreComplete_data();
    void shippedFilesAreComplete();
    void brokenCopiesAreCaught_data();
    void brokenCopiesAreCaught();

private:
    QTemporaryDir scratch;
};

void tst_Translations::initTestCase()
{
    QVERIFY(scratch.isValid());
}

void tst_Translations::shippedFilesAreComplete_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Russian") << QStringLiteral("ru");
    QTest::newRow("German") << QStringLiteral("de");
    QTest::newRow("English plural forms") << QStringLiteral("en");
}

void tst_Translations::shippedFilesAreComplete()
{
    QFETCH(QString, language);
    const QStringList problems = problemsOf(shippedFile(language), scratch.path());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void tst_Translations::brokenCopiesAreCaught_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("problem"); // empty: none

    auto row = [](const char *name, const QString &message, const QString &after, const QString &problem) {
        QTest::newRow(name) << message << after << problem;
    };
    const QString select = QStringLiteral("<translation>Выбрать файлы</translation>");
    const QString play = QStringLiteral("<translation>Воспроизвести %1</translation>");
    row("unfinished", select, QStringLiteral("<translation type=\"unfinished\">Выбрать файлы</translation>"),
        QStringLiteral("\"Select files\": unfinished"));
    row("empty", select, QStringLiteral("<translation></translation>"), QStringLiteral("\"Select files\": empty"));
    row("obsolete but used", select, QStringLiteral("<translation type=\"vanished\">Выбрать файлы</translation>"),
        QStringLiteral("\"Select files\": marked obsolete"));
    row("not in the file",
        QStringLiteral("<message>\n        <source>Select files</source>\n        ") + select +
            QStringLiteral("\n    </message>"),
        QString(), QStringLiteral("\"Select files\": not in the file"));
    row("plural form empty", QStringLiteral("<numerusform>%n файлов: </numerusform>"),
        QStringLiteral("<numerusform></numerusform>"), QStringLiteral("\"%n file(s): \": empty"));
    row("placeholder dropped", play, QStringLiteral("<translation>Воспроизвести</translation>"),
        QStringLiteral("\"Play %1\": placeholders differ"));
    row("placeholder added", select, QStringLiteral("<translation>Выбрать файлы %1</translation>"),
        QStringLiteral("\"Select files\": placeholders differ"));
    row("placeholder localized", play, QStringLiteral("<translation>Воспроизвести %L1</translation>"),
        QStringLiteral("\"Play %1\": placeholders differ"));
    row("%n dropped from a plural form", QStringLiteral("<numerusform>%n файлов: </numerusform>"),
        QStringLiteral("<numerusform>файлов: </numerusform>"), QStringLiteral("\"%n file(s): \": placeholders"));
    row("accelerator added", select, QStringLiteral("<translation>&amp;Выбрать файлы</translation>"),
        QStringLiteral("\"Select files\": accelerators differ"));
    row("ampersand", select, QStringLiteral("<translation>Выбрать &amp;&amp; файлы</translation>"), QString());
}

void tst_Translations::brokenCopiesAreCaught()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, problem);

    QString text = QString::fromUtf8(TestSupport::readFile(shippedFile(QStringLiteral("ru"))));
    QCOMPARE(text.count(before), 1);
    text.replace(before, after);
    const QString broken = QDir(scratch.path()).filePath(QStringLiteral("broken_ru.ts"));
    QVERIFY(TestSupport::writeFile(broken, text.toUtf8()));

    const QStringList problems = problemsOf(broken, scratch.path());
    if (problem.isEmpty()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    } else {
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(problem), qPrintable(problems.first()));
    }
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
