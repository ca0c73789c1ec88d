#include "wireformat.h"

#include <cstring>

namespace Quorvant::Network {

qint32 readInt32(const char *bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    const quint32 v = quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    return qint32(v);
}

void appendInt32(QByteArray &out, qint32 value)
{
    const quint32 v = quint32(value);
    const char bytes[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char((v >> 24) & 0xff)};
    out.append(bytes, 4);
}

tPacketHeadder readHeader(const char *bytes)
{
    tPacketHeadder h;
    h.SerialNumber = readInt32(bytes);
    h.CrC = readInt32(bytes + 4);
    h.MessageID = QByteArray(bytes + 8, 4);
    h.MessageSize = readInt32(bytes + 12);
    return h;
}

QByteArray EncodePacket(QByteArrayView word, QByteArrayView payload)
{
    QByteArray packet;
    packet.reserve(kHeaderSize + payload.size());
    appendInt32(packet, kSerialNumber);
    appendInt32(packet, 0);
    char id[4] = {0, 0, 0, 0};
    std::memcpy(id, word.data(), size_t(qMin<qsizetype>(4, word.size())));
    packet.append(id, 4);
    appendInt32(packet, qint32(payload.size() + kHeaderSize));
    packet.append(payload.data(), payload.size());
    return EnCrypt(std::move(packet));
}

QByteArray EnCrypt(QByteArray packet)
{
    return packet;
}

QByteArray UnEnCrypt(QByteArray packet)
{
    return packet;
}

QByteArray EncodeString(QByteArrayView s)
{
    QByteArray out;
    out.reserve(4 + s.size());
    appendInt32(out, qint32(s.size()));
    out.append(s.data(), s.size());
    return out;
}

bool DecodeString(QByteArrayView data, qsizetype &offset, QByteArray &out)
{
    if (offset < 0 || data.size() - offset < 4)
        return false;
    const qint32 length = readInt32(data.data() + offset);
    if (length < 0 || length > data.size() - offset - 4)
        return false;
    out = QByteArray(data.data() + offset + 4, length);
    offset += 4 + length;
    return true;
}

bool DecodeString(QByteArray &data, QByteArray &out)
{
    qsizetype offset = 0;
    if (!DecodeString(QByteArrayView(data), offset, out))
        return false;
    data.remove(0, offset);
    return true;
}

std::optional<QList<QByteArray>> DecodeStringList(QByteArrayView payload)
{
    QList<QByteArray> fields;
    qsizetype offset = 0;
    while (offset < payload.size()) {
        QByteArray field;
        if (!DecodeString(payload, offset, field))
            return std::nullopt;
        fields.append(std::move(field));
    }
    return fields;
}

bool GoodPacket(QByteArrayView data)
{
    if (data.size() < 3)
        return true;
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
    return !(up(data[0]) == 'B' && up(data[1]) == 'A' && up(data[2]) == 'D');
}

QByteArray FailurePayload()
{
    return QByteArray("BAD") + QByteArray(32, '.');
}

bool IsFailurePayload(QByteArrayView data)
{
    return data == QByteArrayView(FailurePayload());
}

} // namespace Quorvant::Network
