#pragma once

#include "app/ccommandline.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// One of the program's options, each declared once in a table in the source
// file, for the mode decision and the parser alike.
struct cCommandLineOption
{
    // What naming an option does to how the program runs.
    enum class Kind
    {
        Setting, // a choice of the command's: it works only with --convert
        Mode,    // the program runs as a command without a window
        Action   // the same, to print something instead of converting
    };

    const char *names;       // one letter for a short name, separated by blanks
    const char *description; // nullptr: the parser adds it itself (help, version)
    const char *valueName;   // nullptr: a flag
    Kind kind;
    // Sets in the request what the option asks for, from the values given
    // in order (none for a flag; an option taken once goes by its last, as
    // QCommandLineParser::value() does); returns why a value is bad usage,
    // or nothing. nullptr: it sets nothing (--convert only chooses the mode).
    // The table's order is the order they are set in: a setter may read what
    // an earlier one set (--format reads the target).
    QString (*set)(cCommandLine::Request &request, const QStringList &values);

    QStringList nameList() const { return QString::fromLatin1(names).split(QLatin1Char(' ')); }
    QString name() const { return nameList().constFirst(); }

    // Every option, in the help's order. Actions come last: the parser adds
    // help and version after the others itself, and of several actions asked
    // for, the first here is done.
    static const QList<cCommandLineOption> &all();
    // The option of that name, short or long, without dashes; nullptr for none.
    static const cCommandLineOption *find(QStringView name);
};
