#include "app/clanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// Marks the translators this class installed, so a later call can take them back.
const QString translatorName = QStringLiteral("cLanguage");
const QString translationsDir = QStringLiteral(":/i18n");
const QString english = QStringLiteral("en");

// A translator loaded for the locale from file name_<language>.qm in dir, or
// none when dir has no file for any of the locale's languages.
std::unique_ptr<QTranslator> load(const QLocale &locale, const QString &name, const QString &dir)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, QStringLiteral("_"), dir))
        return nullptr;
    return translator;
}

// Installs the translator on the application, which owns it from then on.
void installOwned(std::unique_ptr<QTranslator> translator)
{
    if (!translator)
        return;
    QCoreApplication *const app = QCoreApplication::instance();
    translator->setObjectName(translatorName);
    translator->setParent(app);
    QCoreApplication::installTranslator(translator.release());
}

} // namespace

QString cLanguage::install(const QLocale &locale)
{
    QCoreApplication *const app = QCoreApplication::instance();
    if (!app)
        return english;
    for (QTranslator *const old : app->findChildren<QTranslator *>(translatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        old->deleteLater();
    }

    // The English plural forms ("1 file", "2 files") lie under every language:
    // the translator installed last is asked first.
    installOwned(load(QLocale(QLocale::English), QStringLiteral("marrowby"), translationsDir));

    // The C locale means English, whatever LANGUAGE names (as gettext has it).
    QString language = english;
    if (locale.language() != QLocale::C) {
        std::unique_ptr<QTranslator> own = load(locale, QStringLiteral("marrowby"), translationsDir);
        const QLocale::Language spoken = own ? QLocale(own->language()).language() : QLocale::English;
        if (spoken != QLocale::English) {
            language = QLocale::languageToCode(spoken);
            installOwned(std::move(own));
        }
    }
    installOwned(load(QLocale(language), QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    return language;
}
