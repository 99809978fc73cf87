#pragma once

#include "workers/csource.h"
#include "workers/ctext.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

// How one source file ended in a batch, from the converter to the window's
// row and the command line's line.
struct cFileResult
{
    Q_GADGET

public:
    enum class Outcome
    {
        Converted,
        // Written, with a warning about the result.
        Warned,
        // Left alone by the rule for existing files.
        Skipped,
        Failed
    };
    Q_ENUM(Outcome)

    cSource source;
    Outcome outcome = Outcome::Failed;
    // The file written, or the one that would have been; with several
    // formats, the first format's.
    QString output;
    // The warning, or why it was skipped or failed, in words for people.
    cText reason;
    // The ID of that output's format.
    QString format;
    // Every file written for the source, in the order of its formats (empty
    // when none was).
    QStringList outputs{};

    // Whether its output was written, with a warning or without.
    bool isWritten() const { return outcome == Outcome::Converted || outcome == Outcome::Warned; }
};

Q_DECLARE_METATYPE(cFileResult)
