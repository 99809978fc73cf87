#include "workers/ctext.h"

#include <QCoreApplication>

cText cText::plain(const QString &text)
{
    cText plainText;
    plainText.args = QStringList{text};
    return plainText;
}

QString cText::toString() const
{
    return filled(source ? QCoreApplication::translate(context, source) : QString());
}

QString cText::sourceText() const
{
    return filled(source ? QString::fromUtf8(source) : QString());
}

QString cText::filled(const QString &text) const
{
    if (!source)
        return args.value(0);
    // All arguments in one pass, so that a "%1" inside one is left as it is.
    switch (args.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(args.at(0));
    case 2:
        return text.arg(args.at(0), args.at(1));
    default:
        return text.arg(args.at(0), args.at(1), args.at(2));
    }
}
