#pragma once

#include <QDebug>
#include <QString>
#include <QStringList>

// One log line composed as the debug stream composes a message: items
// separated by a blank, strings in double quotes, lists as (…). Lines made
// this way can be kept and written later with qDebug().noquote().
template <typename... Items>
QString debugLine(const Items &...items)
{
    QString text;
    {
        QDebug stream(&text);
        (stream << ... << items);
    }
    if (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// A list as "(", each element quoted as the debug stream quotes a string,
// ", " between them, ")".
inline QString debugList(const QStringList &items)
{
    QStringList quoted;
    for (const QString &item : items) {
        QString text;
        QDebug(&text).nospace() << item;
        quoted << text;
    }
    return QLatin1Char('(') + quoted.join(QStringLiteral(", ")) + QLatin1Char(')');
}
