#include "workers/cwavheader.h"

#include <QFile>

namespace {

constexpr quint16 extensible = 0xFFFE;

// Little-endian numbers in a chunk; 0 past its end.
quint32 littleEndian(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uchar>(at + i < bytes.size() ? bytes.at(at + i) : 0);
    return value;
}

quint16 u16(const QByteArray &bytes, int at)
{
    return static_cast<quint16>(littleEndian(bytes, at, 2));
}

quint32 u32(const QByteArray &bytes, int at)
{
    return littleEndian(bytes, at, 4);
}

} // namespace

cWavHeader cWavHeader::read(const QString &path)
{
    cWavHeader header;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return header;
    header.fileBytes = file.size();
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return header;
    bool haveFormat = false;
    // Chunks are walked as a player walks them: each is padded to an even size.
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return header;
        const quint32 size = u32(chunk, 4);
        const qint64 next = file.pos() + size + (size & 1);
        if (chunk.startsWith("data")) {
            header.dataOffset = file.pos();
            header.dataBytes = size;
            header.valid = haveFormat;
            return header;
        }
        if (chunk.startsWith("fmt ")) {
            const QByteArray format = file.read(qMin<quint32>(size, 64));
            if (format.size() < 16)
                return header;
            header.tag = u16(format, 0);
            header.channels = u16(format, 2);
            header.rate = u32(format, 4);
            header.bits = u16(format, 14);
            // The sub-format's GUID begins with the coding's own tag.
            if (header.tag == extensible)
                header.tag = format.size() >= 26 ? u16(format, 24) : 0;
            haveFormat = true;
        }
        if (!file.seek(next))
            return header;
    }
    return header;
}
