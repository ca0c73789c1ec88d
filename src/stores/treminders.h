// "Reminders.Dat": one reminder per line, rebuilt from the bookings when the
// program closes and shown at the next start.
#pragma once

#include "debugout.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

class TReminders
{
public:
    TReminders(const QString &dataFolder, DebugOut debugger = {});

    bool AddToReminders(const QString &text);
    void ClearAllReminders();
    // True with the lines when the file exists and can be read, so the
    // window shows; an existing empty file gives true and no lines.
    bool readReminders(QStringList *lines) const;
    QString RemindersFileName() const { return m_fileName; }

private:
    DebugOut m_debug;
    QString m_fileName;
};

} // namespace Quorvant
