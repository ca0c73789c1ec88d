#include "tbookingsystem.h"

#include "asciitext.h"
#include "storelock.h"
#include "textfileformat.h"
#include "treminders.h"
#include "veskfilesystems.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <QFileInfo>

namespace Quorvant {

namespace {

constexpr int ProjectOffset = 0;
constexpr int FileOffset = 52;
constexpr int UserOffset = 308;

// The UTF-8 bytes of text, cut at a character boundary to at most max bytes.
QByteArray clampUtf8(const QString &text, int max)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= max)
        return bytes;
    int cut = max;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return bytes.left(cut);
}

void putField(char *record, int offset, const QString &text, int max)
{
    const QByteArray bytes = clampUtf8(text, max);
    record[offset] = char(bytes.size());
    std::memcpy(record + offset + 1, bytes.constData(), size_t(bytes.size()));
}

QString getField(const char *record, int offset, int max)
{
    const int length = std::min(int(uchar(record[offset])), max);
    const QByteArray bytes(record + offset + 1, length);
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

bool sameBooking(const TBookings &b, const QString &project, const QString &file)
{
    return asciiEqualsIgnoreCase(b.ProjectName, project) && asciiEqualsIgnoreCase(b.FileName, file);
}

} // namespace

QByteArray TBookings::toRecord() const
{
    QByteArray record(RecordSize, '\0');
    putField(record.data(), ProjectOffset, ProjectName, ProjectNameMax);
    putField(record.data(), FileOffset, FileName, FileNameMax);
    putField(record.data(), UserOffset, UserName, UserNameMax);
    return record;
}

TBookings TBookings::fromRecord(const char *record)
{
    return {getField(record, ProjectOffset, ProjectNameMax), getField(record, FileOffset, FileNameMax),
            getField(record, UserOffset, UserNameMax)};
}

TBookingSystem::TBookingSystem(const QString &dataFolder, DebugOut debugger)
    : m_debug(std::move(debugger))
    , m_dataFolder(dataFolder)
    , m_configFile(findProgramFile(dataFolder, QStringLiteral("Network.Cfg")))
{
}

QList<TBookings> TBookingSystem::records() const
{
    QList<TBookings> result;
    StoreLock lock(m_configFile);
    if (!lock.locked()) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.records: the booking file is locked"));
        return result;
    }
    QFile file(m_configFile);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.readAll();
    for (qsizetype at = 0; at + TBookings::RecordSize <= bytes.size(); at += TBookings::RecordSize)
        result.append(TBookings::fromRecord(bytes.constData() + at));
    return result;
}

bool TBookingSystem::AddInfo(const QString &ProjectName, const QString &FileName, const QString &UserName)
{
    StoreLock lock(m_configFile);
    if (!lock.locked()) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.AddInfo: the booking file is locked"));
        return false;
    }
    QFile file(m_configFile);
    if (!file.open(QIODevice::ReadWrite)) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.AddInfo: %1").arg(file.errorString()));
        return false;
    }
    // A torn tail left by an interrupted write would misalign every later
    // record, so the new one starts at the last whole record.
    const qint64 whole = file.size() - file.size() % TBookings::RecordSize;
    const QByteArray record = TBookings{ProjectName, FileName, UserName}.toRecord();
    if (!file.resize(whole) || !file.seek(whole) || file.write(record) != record.size() || !file.flush()) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.AddInfo: %1").arg(file.errorString()));
        return false;
    }
    return true;
}

bool TBookingSystem::RemoveRecord(const QString &ProjectName, const QString &FileName, const QString &)
{
    StoreLock lock(m_configFile);
    if (!lock.locked()) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.RemoveRecord: the booking file is locked"));
        return false;
    }
    QByteArray bytes;
    QString error;
    if (!QFileInfo::exists(m_configFile) || !readWholeFile(m_configFile, &bytes, &error))
        return false;
    QByteArray kept;
    bool removed = false;
    for (qsizetype at = 0; at + TBookings::RecordSize <= bytes.size(); at += TBookings::RecordSize) {
        const char *record = bytes.constData() + at;
        if (sameBooking(TBookings::fromRecord(record), ProjectName, FileName))
            removed = true;
        else
            kept.append(record, TBookings::RecordSize);
    }
    if (kept.isEmpty()) {
        if (!QFile::remove(m_configFile)) {
            debugOut(m_debug, QStringLiteral("Error: TBookingSystem.RemoveRecord: cannot delete %1").arg(m_configFile));
            return false;
        }
    } else if (kept.size() != bytes.size() && !writeFileAtomically(m_configFile, kept, &error)) {
        debugOut(m_debug, QStringLiteral("Error: TBookingSystem.RemoveRecord: %1").arg(error));
        return false;
    }
    return removed;
}

bool TBookingSystem::BookedOut(const QString &ProjectName, const QString &FileName) const
{
    if (ProjectName.isEmpty() || FileName.isEmpty())
        return false;
    const QList<TBookings> all = records();
    return std::any_of(all.begin(), all.end(), [&](const TBookings &b) { return sameBooking(b, ProjectName, FileName); });
}

QString TBookingSystem::reminderText(const TBookings &booking)
{
    return QStringLiteral("File Still Booked Out! Project: \"%1\" FileName: \"%2\"")
        .arg(booking.ProjectName, QFileInfo(booking.FileName).fileName());
}

void TBookingSystem::MakeRemindersForBookedOutFiles() const
{
    TReminders reminders(m_dataFolder, m_debug);
    for (const TBookings &b : records())
        reminders.AddToReminders(reminderText(b));
}

} // namespace Quorvant
