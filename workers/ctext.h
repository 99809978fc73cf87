#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// A text for people kept in its source form with its arguments, and worded in
// the language installed only when it is shown, so that a reason already shown
// follows a change of language like every other text. The source is a literal
// marked with QT_TRANSLATE_NOOP(context, ...) under the same context.
class cText
{
public:
    cText() = default;
    cText(const char *context, const char *source, const QStringList &args = {})
        : context(context), source(source), args(args)
    {}
    // A text of the class's own translation context, marked in the class's
    // code with QT_TR_NOOP.
    template <typename Class>
    static cText of(const char *source, const QStringList &args = {})
    {
        return cText(Class::staticMetaObject.className(), source, args);
    }
    // A text that is not translated (the system's own words, say).
    static cText plain(const QString &text);

    bool isEmpty() const { return !source && args.isEmpty(); }
    // The text in the language installed now, its arguments filled in.
    QString toString() const;
    // The text untranslated, its arguments filled in: for the log.
    QString sourceText() const;

    bool operator==(const cText &other) const { return toString() == other.toString(); }

private:
    QString filled(const QString &text) const;

    const char *context = nullptr;
    const char *source = nullptr;
    QStringList args;
};

Q_DECLARE_METATYPE(cText)
