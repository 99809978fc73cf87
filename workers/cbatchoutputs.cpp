#include "workers/cbatchoutputs.h"

#include "workers/cconverter.h"
#include "workers/debugline.h"

void cBatchOutputs::addSource(const QString &fn)
{
    const cFileIdentity identity = cFileIdentity::of(fn);
    if (identity.isValid() && !sources.contains(identity))
        sources.insert(identity, fn);
}

void cBatchOutputs::written(const QString &outPath, const QString &fn)
{
    writtenBy.insert(cFileIdentity::of(outPath), {fn, cFileIdentity::of(fn)});
}

std::optional<cBatchOutputs::Refusal> cBatchOutputs::refusal(const QString &fn, const QString &outPath) const
{
    const cFileIdentity output = cFileIdentity::of(outPath);
    if (!output.isValid())
        return std::nullopt;
    const cFileIdentity source = cFileIdentity::of(fn);
    if (output == source)
        return Refusal{debugLine("Not converted, the output file is the source file itself:", outPath),
                       cText::of<cConverter>(QT_TRANSLATE_NOOP(
                           "cConverter", "Not converted: the output file would be the source file itself"))};
    if (sources.contains(output))
        return Refusal{
            debugLine("Not converted, the output file is another source of this batch:", outPath),
            cText::of<cConverter>(
                QT_TRANSLATE_NOOP("cConverter", "Not converted: the output file %1 is another source of this batch"),
                {outPath})};
    const auto earlier = writtenBy.constFind(output);
    if (earlier != writtenBy.cend() && earlier->path != fn && !(source.isValid() && earlier->identity == source))
        return Refusal{
            debugLine("Not converted, the output file was already written in this batch from:", earlier->path),
            cText::of<cConverter>(
                QT_TRANSLATE_NOOP("cConverter",
                                  "Not converted: the output file was already written in this batch from %1"),
                {earlier->path})};
    return std::nullopt;
}
