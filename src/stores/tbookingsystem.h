// The local record of files this user has booked out of shared projects:
// "Network.Cfg" in the data folder, a run of fixed 360-byte records.
#pragma once

#include "debugout.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Quorvant {

// One record of "Network.Cfg".
struct TBookings
{
    QString ProjectName;
    QString FileName;
    QString UserName;

    static constexpr int RecordSize = 360;
    static constexpr int ProjectNameMax = 51;
    static constexpr int FileNameMax = 255;
    static constexpr int UserNameMax = 51;

    // Each field is its length byte and text (UTF-8, cut at a character
    // boundary to the field's maximum), zero-padded to its width.
    QByteArray toRecord() const;
    // Length bytes beyond a field's maximum are clamped to it, so a damaged
    // record never reads into its neighbour.
    static TBookings fromRecord(const char *record);
};

class TBookingSystem
{
public:
    TBookingSystem(const QString &dataFolder, DebugOut debugger = {});

    [[nodiscard]] bool AddInfo(const QString &ProjectName, const QString &FileName, const QString &UserName);
    bool RemoveRecord(const QString &ProjectName, const QString &FileName, const QString &UserName);
    bool BookedOut(const QString &ProjectName, const QString &FileName) const;
    // One reminder per record, in file order, added to "Reminders.Dat".
    void MakeRemindersForBookedOutFiles() const;

    // Every whole record of the file, in order (empty when it is missing).
    QList<TBookings> records() const;
    QString ConfigFile() const { return m_configFile; }

    static QString reminderText(const TBookings &booking);

private:
    DebugOut m_debug;
    QString m_dataFolder;
    QString m_configFile;
};

} // namespace Quorvant
