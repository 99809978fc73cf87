#pragma once

#include <QString>
#include <QtGlobal>

// What a player learns from a WAV file's header: the format chunk, with the
// coding of WAVE_FORMAT_EXTENSIBLE taken from its sub-format, and where the
// data chunk lies and what size it declares.
struct cWavHeader
{
    static constexpr quint16 pcm = 1;
    static constexpr quint16 aLaw = 6;
    static constexpr quint16 muLaw = 7;

    // Reads the header of the file; valid only for a RIFF/WAVE file with a
    // format chunk followed by a data chunk.
    static cWavHeader read(const QString &path);

    bool valid = false;
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    qint64 dataOffset = 0; // where the samples start
    quint32 dataBytes = 0; // as declared
    qint64 fileBytes = 0;
};
