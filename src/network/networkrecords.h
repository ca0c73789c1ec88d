// The fixed-width request records and the sign-in reply record. Text fields
// are written as zero-terminated UTF-8 within their width, cut at a character
// boundary so the terminator always fits; 8-bit text of older clients reads
// as Windows-1252.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Quorvant::Network {

// Writes `text` into a field of `width` bytes: at most width - 1 bytes of
// UTF-8 (whole characters), then zero bytes.
void appendFixedField(QByteArray &out, const QString &text, int width);
// The text of a fixed field: up to its first zero byte, read as UTF-8 when
// valid, else as Windows-1252 (decodeWireText).
QString readFixedField(QByteArrayView record, qsizetype offset, int width);

struct TLoginInfo
{
    static constexpr int Size = 64;
    QString LoginName;  // 32
    QString Password;   // 32
    QByteArray toBytes() const;
    static TLoginInfo fromBytes(QByteArrayView bytes);  // short input reads as empty fields
};

struct TNetworkChatRoom
{
    static constexpr int Size = 358;
    QString UserName;     // 51
    QString RoomName;     // 51
    QString MessageText;  // 256
    QByteArray toBytes() const;
    static TNetworkChatRoom fromBytes(QByteArrayView bytes);
};

struct TNetworkProject
{
    static constexpr int Size = 665;
    QString ProjectName;  // 51
    QString UserName;     // 51
    QString FileName;     // 256
    QString MessageText;  // 256
    QString Password;     // 51
    QByteArray toBytes() const;
    static TNetworkProject fromBytes(QByteArrayView bytes);
};

struct TPollInfo
{
    static constexpr int Size = 8;
    bool LoggedIn = false;
    qint32 UsersLoggedIn = 0;
    QByteArray toBytes() const;
};

} // namespace Quorvant::Network
