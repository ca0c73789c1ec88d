// A folder of script templates ("JAVA", "DHTML"): each "*.Htm" file is a
// page whose header comment gives the script's title and description.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

struct TScriptEntry
{
    QString Title;
    QString Path;
    QString Description;
    friend bool operator==(const TScriptEntry &, const TScriptEntry &) = default;
};

class TScriptLibrary
{
public:
    // The templates of the folder in name order; false (and *entries left
    // as it was) when the folder does not exist.
    [[nodiscard]] static bool ListScripts(const QString &folder, QList<TScriptEntry> *entries);
    // The entry for one file's header lines (up to and with its "-->"
    // line); false when there are fewer than two.
    static bool entryFromHeader(const QStringList &header, const QString &path, TScriptEntry *entry);
    // The header lines of a file; false when it cannot be read.
    static bool readHeader(const QString &path, QStringList *header);
};

} // namespace Quorvant
