#include "serverquotas.h"

namespace Halvorn {

using namespace Quorvant::Network;

namespace {

// One string field of a list: its 4-byte length, then the name.
constexpr qint64 nameEntryBytes(int fieldWidth)
{
    return 4 + ServerQuotas::kUtf8BytesPerFieldByte * fieldWidth;
}

} // namespace

qint64 ServerQuotas::channelListBytes(qint64 rooms)
{
    return kHeaderSize + rooms * nameEntryBytes(kRoomNameField);
}

qint64 ServerQuotas::projectListBytes(qint64 projects)
{
    return kHeaderSize + projects * nameEntryBytes(kProjectNameField);
}

qint64 ServerQuotas::fileListBytes(qint64 files)
{
    // Each file: its name, the user who added it, its booking flag.
    return kHeaderSize + files * (nameEntryBytes(kFileNameField) + nameEntryBytes(kUserNameField) + 4 + kBookingFlagBytes);
}

QString ServerQuotas::problem() const
{
    if (roomsPerUser < 1 || rooms < 1 || projectsPerUser < 1 || projects < 1 || filesPerProject < 1
        || bytesPerFile < 0 || bytesPerProject < 0 || messagesPerSecond < 1)
        return QStringLiteral("every quota must be at least 1 (bytes at least 0)");
    if (channelListBytes(rooms) > kMaxMessageSize)
        return QStringLiteral("--max-rooms %1 lets the channel list outgrow a packet").arg(rooms);
    if (projectListBytes(projects) > kMaxMessageSize)
        return QStringLiteral("--max-projects %1 lets the project list outgrow a packet").arg(projects);
    if (fileListBytes(filesPerProject) > kMaxMessageSize)
        return QStringLiteral("--max-files-per-project %1 lets the file list outgrow a packet").arg(filesPerProject);
    if (bytesPerFile > kLargestFile)
        return QStringLiteral("--max-file-bytes is over %1, the largest file a packet carries").arg(kLargestFile);
    return {};
}

} // namespace Halvorn
