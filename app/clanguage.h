#pragma once

#include <QLocale>
#include <QString>

// The language the program speaks: English in its source texts, Russian and
// German from the translations built into it, and Qt's own translations from
// the system for the file dialogs and standard buttons.
class cLanguage final
{
public:
    // Installs on the running application the translations for the first of
    // the locale's UI languages that the program speaks, and Qt's own for the
    // same language; replaces those an earlier call installed. English when it
    // speaks none of them, and under the C locale. Returns the language
    // installed: "ru", "de" or "en".
    static QString install(const QLocale &locale = QLocale::system());
};
