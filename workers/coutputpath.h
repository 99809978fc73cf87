#pragma once

#include "workers/cfileidentity.h"
#include "workers/crules.h"

#include <QString>

#include <functional>

// Where a source's output goes: its file name by the naming rule, made safe
// for phone systems when asked, and the sub-folder of the output folder it
// goes into when folder trees are kept.
class cOutputPath
{
public:
    // Where an output goes, known before it exists: its folder, and its name
    // folded to one case, so that two names one folder may take for one file
    // (letter case on FAT, exFAT or SMB folders) wait for each other.
    struct Slot
    {
        cFileIdentity folder;
        QString name;

        static Slot of(const QString &outPath);
        bool operator==(const Slot &other) const { return folder == other.folder && name == other.name; }
    };

    // The output's file name for the source under the naming rule: the
    // extension, a dot and ASCII letters and digits, becomes the ending (as
    // ".wav"), or the ending is appended.
    // stemRule, when given, brings the name without its ending into what a
    // phone system takes (see cTarget::stem).
    static QString fileName(const QString &source, cNameRule nameRule, bool safe, const QString &ending,
                            const std::function<QString(const QString &)> &stemRule = {});
    // The name as lower-case ASCII that a dial plan takes: other scripts
    // transliterated, every run of blanks and punctuation but dots and
    // underscores one dash, no dash, dot or underscore in front, no dash at
    // the end; "sound" when nothing is left.
    static QString safeName(const QString &name);
    // The name with other scripts transliterated into ASCII letters as
    // safeName does, its case and punctuation kept ("Запись 1" becomes
    // "Zapis' 1"); a character with no ASCII spelling is left as it is.
    static QString asciiName(const QString &name);
    // The folder a source found in the named folder root goes to, relative to
    // the output folder, when folder trees are kept ("main-menu/after-hours");
    // empty for a source named itself or lying in root itself.
    static QString subFolder(const QString &root, const QString &source);
    // Makes the folders of subPath ("main-menu/after-hours") inside folder as
    // needed, each made safe when asked, and returns the innermost. Never
    // leaves folder: ".." is refused, and so is a link or a file where a
    // folder should be. Empty, with error, when it can't be made.
    static QString makeFolders(const QString &folder, const QString &subPath, bool safe, QString &error);
};
