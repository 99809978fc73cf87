#include "core/csoundfilecheck.h"

#include "core/csourcelist.h"

#include <QFile>
#include <QFileInfo>

bool cSoundFileCheck::isSound(const QString &path)
{
    const QFileInfo info(path);
    if (!info.suffix().isEmpty())
        return cSourceList::isSoundFile(info.fileName());
    // A pipe without a writer would hold the window at open.
    if (!info.isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && startsLikeSound(file.read(12));
}

bool cSoundFileCheck::startsLikeSound(const QByteArray &head)
{
    // WAV (and other RIFF), MP3 with a tag, FLAC, Ogg, AIFF, AU, AMR, CAF,
    // WavPack, WMA (ASF) and Matroska start with a mark of their own.
    static const char *const marks[] = {
        "RIFF", "ID3", "fLaC", "OggS", "FORM", ".snd", "#!AMR", "caff", "wvpk", "\x30\x26\xb2\x75", "\x1a\x45\xdf\xa3"};
    for (const char *const mark : marks) {
        if (head.startsWith(mark))
            return true;
    }
    // MP4 and 3GP (M4A, AAC in MP4) name their brand after a box size.
    if (head.mid(4, 4) == "ftyp")
        return true;
    // A bare MP3 or ADTS AAC stream starts with a frame's sync bits.
    return head.size() >= 2 && static_cast<uchar>(head.at(0)) == 0xff &&
           (static_cast<uchar>(head.at(1)) & 0xe0) == 0xe0;
}
