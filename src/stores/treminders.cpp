#include "treminders.h"

#include "markerfields.h"
#include "skippedlines.h"
#include "storelock.h"
#include "textfileformat.h"
#include "veskfilesystems.h"

#include <QFile>
#include <QFileInfo>

namespace Quorvant {

TReminders::TReminders(const QString &dataFolder, DebugOut debugger)
    : m_debug(std::move(debugger))
    , m_fileName(findProgramFile(dataFolder, QStringLiteral("Reminders.Dat")))
{
}

bool TReminders::AddToReminders(const QString &text)
{
    if (text.isEmpty())
        return true;
    StoreLock lock(m_fileName);
    QFile file(m_fileName);
    // One line of readable text, as readReminders takes it.
    QString line = text;
    for (QChar &c : line) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            c = u' ';
    }
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (!lock.locked() || !file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size()) {
        debugOut(m_debug, QStringLiteral("Error: TReminders.AddToReminders: cannot write %1").arg(m_fileName));
        return false;
    }
    return true;
}

void TReminders::ClearAllReminders()
{
    StoreLock lock(m_fileName);
    if (QFileInfo::exists(m_fileName) && !QFile::remove(m_fileName))
        debugOut(m_debug, QStringLiteral("Error: TReminders.ClearAllReminders: cannot delete %1").arg(m_fileName));
}

bool TReminders::readReminders(QStringList *lines, SkippedLines *skipped) const
{
    lines->clear();
    if (!QFileInfo::exists(m_fileName))
        return false;
    QByteArray bytes;
    QString why;
    if (!readDataFile(m_fileName, &bytes, &why)) {
        debugOut(m_debug, QStringLiteral("Error: TReminders.ShowAllReminders: %1").arg(why));
        return false;
    }
    if (skipped)
        *skipped = {QFileInfo(m_fileName).fileName(), {}};
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        ++lineNumber;
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QString line = decodeMarkerField(QByteArrayView(bytes).sliced(pos, end - pos));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
        if (line.isEmpty())
            continue;
        if (isReadableText(line))
            lines->append(line);
        else if (skipped)
            skipped->add(lineNumber);
    }
    return true;
}

} // namespace Quorvant
