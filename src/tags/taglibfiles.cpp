#include "taglibfiles.h"

#include "editortypes.h"
#include "textfileformat.h"

#include <QDir>

namespace Quorvant {

bool readTagFileLines(const QString &path, QStringList *lines)
{
    lines->clear();
    QByteArray bytes;
    if (!readDataFile(path, &bytes, nullptr))
        return false;
    *lines = splitTextLines(decodeTextFile(bytes).text);
    return true;
}

bool writeTagFileLines(const QString &path, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return writeFileAtomically(path, text.toUtf8(), nullptr);
}

QString resolveIgnoringCase(const QString &base, const QString &relative)
{
    QString path = base;
    const QStringList parts = QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QDir dir(path);
        QString chosen = part;
        if (dir.exists(part)) {
            // An exact spelling wins over another entry differing only in case.
        } else {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    chosen = entry;
                    break;
                }
            }
        }
        path = dir.filePath(chosen);
    }
    return path;
}

} // namespace Quorvant
