#include "networkrecords.h"

#include "wireformat.h"
#include "wiretext.h"

namespace Quorvant::Network {

void appendFixedField(QByteArray &out, const QString &text, int width)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > width - 1) {
        qsizetype cut = width - 1;
        // Step back over UTF-8 continuation bytes so no character is split.
        while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        bytes.truncate(cut);
    }
    out.append(bytes);
    out.append(QByteArray(width - bytes.size(), '\0'));
}

QString readFixedField(QByteArrayView record, qsizetype offset, int width)
{
    if (offset >= record.size())
        return {};
    const QByteArrayView field = record.sliced(offset, qMin<qsizetype>(width, record.size() - offset));
    const qsizetype end = field.indexOf('\0');
    return decodeWireText(end < 0 ? field : field.first(end));
}

QByteArray TLoginInfo::toBytes() const
{
    QByteArray out;
    out.reserve(Size);
    appendFixedField(out, LoginName, 32);
    appendFixedField(out, Password, 32);
    return out;
}

TLoginInfo TLoginInfo::fromBytes(QByteArrayView bytes)
{
    return {readFixedField(bytes, 0, 32), readFixedField(bytes, 32, 32)};
}

QByteArray TNetworkChatRoom::toBytes() const
{
    QByteArray out;
    out.reserve(Size);
    appendFixedField(out, UserName, 51);
    appendFixedField(out, RoomName, 51);
    appendFixedField(out, MessageText, 256);
    return out;
}

TNetworkChatRoom TNetworkChatRoom::fromBytes(QByteArrayView bytes)
{
    return {readFixedField(bytes, 0, 51), readFixedField(bytes, 51, 51), readFixedField(bytes, 102, 256)};
}

QByteArray TNetworkProject::toBytes() const
{
    QByteArray out;
    out.reserve(Size);
    appendFixedField(out, ProjectName, 51);
    appendFixedField(out, UserName, 51);
    appendFixedField(out, FileName, 256);
    appendFixedField(out, MessageText, 256);
    appendFixedField(out, Password, 51);
    return out;
}

TNetworkProject TNetworkProject::fromBytes(QByteArrayView bytes)
{
    return {readFixedField(bytes, 0, 51), readFixedField(bytes, 51, 51), readFixedField(bytes, 102, 256),
            readFixedField(bytes, 358, 256), readFixedField(bytes, 614, 51)};
}

QByteArray TPollInfo::toBytes() const
{
    QByteArray out;
    out.append(char(LoggedIn ? 1 : 0));
    out.append(QByteArray(3, '\0'));
    appendInt32(out, UsersLoggedIn);
    return out;
}

} // namespace Quorvant::Network
