#pragma once

#include "workers/cfileidentity.h"
#include "workers/ctext.h"

#include <QHash>
#include <QString>

#include <optional>

// The sources of one batch and the outputs it has written, for the rule that
// no output replaces a source of the batch or another file's output.
class cBatchOutputs
{
public:
    // Why a file's output must not be written: a line for the log, words for people.
    struct Refusal
    {
        QString logLine;
        cText reason;
    };

    void addSource(const QString &fn);
    void written(const QString &outPath, const QString &fn);
    // An output may be written unless it would replace its own source,
    // another source of the batch, or what another source of the batch has
    // written; the texts are the converter's.
    std::optional<Refusal> refusal(const QString &fn, const QString &outPath) const;

private:
    // The source an output of the batch was written from.
    struct WrittenFrom
    {
        QString path;
        cFileIdentity identity;
    };

    // The identity of every source of the batch, with the first path that has it.
    QHash<cFileIdentity, QString> sources;
    // Outputs written in this batch, with the source each came from.
    QHash<cFileIdentity, WrittenFrom> writtenBy;
};
