#pragma once

#include <QByteArray>
#include <QString>

// Whether a file a user hands over one by one (by a drop) is a sound file:
// by its extension when its name has one, else by the first bytes of its
// content, so that a prompt saved without an extension is still taken.
class cSoundFileCheck
{
public:
    static bool isSound(const QString &path);
    // Whether a file that starts with these bytes is in a container or a
    // stream format that sound comes in.
    static bool startsLikeSound(const QByteArray &head);
};
