// The byte encodings shared by the network client and the server: the
// 16-byte packet header, length-prefixed string fields and the failure
// marker. Socket-free, so both ends and the tests use the same code.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <optional>

namespace Quorvant::Network {

inline constexpr qsizetype kHeaderSize = 16;
// A packet larger than this is taken as a broken stream, never buffered.
inline constexpr qint32 kMaxMessageSize = 16 * 1024 * 1024;
inline constexpr qint32 kSerialNumber = 101;

// tPacketHeadder
struct tPacketHeadder
{
    qint32 SerialNumber = kSerialNumber;
    qint32 CrC = 0;
    QByteArray MessageID;  // exactly 4 bytes on the wire
    qint32 MessageSize = kHeaderSize;
};

qint32 readInt32(const char *bytes);
void appendInt32(QByteArray &out, qint32 value);

// The header of the first 16 bytes; the caller checks there are 16.
tPacketHeadder readHeader(const char *bytes);

// A whole packet: header with `word` (cut or zero-padded to 4 bytes) and
// the payload, passed through EnCrypt.
QByteArray EncodePacket(QByteArrayView word, QByteArrayView payload);

// The whole-packet transform and its inverse; both leave packets unchanged.
QByteArray EnCrypt(QByteArray packet);
QByteArray UnEnCrypt(QByteArray packet);

// A 4-byte little-endian length, then the bytes.
QByteArray EncodeString(QByteArrayView s);

// Reads the string field at `offset` of `data` and moves `offset` past it.
// False, with nothing read, when fewer than 4 bytes remain, the length is
// negative or it runs past the end: the caller treats the reply as failed.
[[nodiscard]] bool DecodeString(QByteArrayView data, qsizetype &offset, QByteArray &out);

// The same, consuming the field from the front of `data`.
[[nodiscard]] bool DecodeString(QByteArray &data, QByteArray &out);

// Every field of a list payload; nullopt when any field is malformed.
std::optional<QList<QByteArray>> DecodeStringList(QByteArrayView payload);

// False for a payload that begins with "BAD" in any letter case.
bool GoodPacket(QByteArrayView data);

// "BAD" and 32 full stops: the failure payload of list replies.
QByteArray FailurePayload();
bool IsFailurePayload(QByteArrayView data);

} // namespace Quorvant::Network
