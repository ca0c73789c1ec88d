// "Reminders.Dat": one reminder per line, rebuilt from the bookings when the
// program closes and shown at the next start.
#pragma once

#include "debugout.h"
#include "skippedlines.h"

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
    // window shows; an existing empty file gives true and no lines. Each
    // line is UTF-8 when valid, otherwise Windows-1252. Empty lines are
    // passed over; a line holding control characters is no reminder and
    // goes to *skipped (the file is rebuilt from the bookings at the next
    // close, so nothing of the user's is kept in it).
    bool readReminders(QStringList *lines, SkippedLines *skipped = nullptr) const;
    QString RemindersFileName() const { return m_fileName; }

private:
    DebugOut m_debug;
    QString m_fileName;
};

} // namespace Quorvant
