// What one user may take of the server, and the largest reply each list can
// then become: every reply must stay within the packet size a client accepts.
#pragma once

#include "networkrecords.h"
#include "wireformat.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace Halvorn {

struct ServerQuotas
{
    // Widths of the record fields names arrive in.
    static constexpr int kUserNameField = 32;
    static constexpr int kRoomNameField = 51;
    static constexpr int kProjectNameField = 51;
    static constexpr int kFileNameField = 256;
    // A stored name came from one field, each byte at most one character,
    // which takes at most 3 bytes of UTF-8 (U+FFFD in names stored by older
    // servers, the Windows-1252 upper half today).
    static constexpr qint64 kUtf8BytesPerFieldByte = 3;
    // "TRUE" / "FALSE" after each file of the file list.
    static constexpr qint64 kBookingFlagBytes = 5;
    // The largest file a member can add: the upload with its request record
    // and the download with the longest name must each fit in one packet.
    static constexpr qint64 kLargestFile =
        Quorvant::Network::kMaxMessageSize - Quorvant::Network::kHeaderSize
        - std::max<qint64>(Quorvant::Network::TNetworkProject::Size + 4, 4 + kUtf8BytesPerFieldByte * kFileNameField + 4);

    int roomsPerUser = 20;          // rooms a user has created that are open
    int rooms = 20000;              // rooms open on the server
    int projectsPerUser = 10;       // projects a user owns
    int projects = 20000;           // projects on the server
    int filesPerProject = 2000;
    qint64 bytesPerFile = 8 * 1024 * 1024;
    qint64 bytesPerProject = 256 * 1024 * 1024;
    int messagesPerSecond = 10;     // chat and project chat of one sender

    // The largest reply, header included, of each list under quotas of `count` entries.
    static qint64 channelListBytes(qint64 rooms);
    static qint64 projectListBytes(qint64 projects);
    static qint64 fileListBytes(qint64 files);

    // Why these quotas could let a reply grow past what a client accepts
    // (or are out of range), or an empty string.
    QString problem() const;
};

} // namespace Halvorn
