#include "tscriptlibrary.h"

#include "editortypes.h"
#include "textfileformat.h"

#include <QDir>

namespace Quorvant {

namespace {

const QString HeaderEnd = QStringLiteral("-->");

} // namespace

bool TScriptLibrary::readHeader(const QString &path, QStringList *header)
{
    header->clear();
    QByteArray bytes;
    if (!readDataFile(path, &bytes, nullptr))
        return false;
    for (QString &line : splitTextLines(decodeTextFile(bytes).text)) {
        const bool last = line == HeaderEnd;
        header->append(std::move(line));
        if (last)
            break;
    }
    return true;
}

bool TScriptLibrary::entryFromHeader(const QStringList &header, const QString &path, TScriptEntry *entry)
{
    if (header.size() < 2)
        return false;
    entry->Title = header.at(1);
    entry->Path = path;
    QStringList description;
    if (header.size() > 3) {
        for (qsizetype i = 2; i < header.size(); ++i) {
            if (header.at(i) != HeaderEnd)
                description.append(header.at(i));
        }
    }
    entry->Description = description.join(QStringLiteral("\r\n"));
    return true;
}

bool TScriptLibrary::ListScripts(const QString &folder, QList<TScriptEntry> *entries)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return false;
    entries->clear();
    const QStringList names =
        dir.entryList({QStringLiteral("*.htm")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        QStringList header;
        TScriptEntry entry;
        if (readHeader(path, &header) && entryFromHeader(header, path, &entry))
            entries->append(entry);
    }
    return true;
}

} // namespace Quorvant
