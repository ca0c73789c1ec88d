#include "treminders.h"

#include "storelock.h"
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
    QString line = text;
    line.replace(QStringLiteral("\r"), QStringLiteral(" ")).replace(QStringLiteral("\n"), QStringLiteral(" "));
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

bool TReminders::readReminders(QStringList *lines) const
{
    lines->clear();
    if (!QFileInfo::exists(m_fileName))
        return false;
    QString text;
    if (!LoadTextFile(m_fileName, &text))
        return false;
    *lines = splitTextLines(text);
    return true;
}

} // namespace Quorvant
