// The wire encodings byte by byte.
#include "networkrecords.h"
#include "wireformat.h"

#include <gtest/gtest.h>

using namespace Quorvant::Network;

namespace {

QByteArray le(qint32 v)
{
    QByteArray out;
    appendInt32(out, v);
    return out;
}

} // namespace

TEST(WireFormat, PacketHeaderIsSerialCrcWordAndWholeSize)
{
    const QByteArray packet = EncodePacket("PING", QByteArray(1, 'x'));
    ASSERT_EQ(packet.size(), 17);
    EXPECT_EQ(packet.first(4), QByteArray::fromHex("65000000"));  // 101
    EXPECT_EQ(packet.mid(8, 4), QByteArray("PING"));
    EXPECT_EQ(packet.mid(12, 4), QByteArray::fromHex("11000000"));  // 17
    EXPECT_EQ(packet.mid(16), QByteArray("x"));
    const tPacketHeadder h = readHeader(packet.constData());
    EXPECT_EQ(h.SerialNumber, 101);
    EXPECT_EQ(h.MessageID, QByteArray("PING"));
    EXPECT_EQ(h.MessageSize, 17);
}

TEST(WireFormat, IntegersAreLittleEndianTwosComplement)
{
    EXPECT_EQ(le(-1), QByteArray::fromHex("ffffffff"));
    EXPECT_EQ(le(0x01020304), QByteArray::fromHex("04030201"));
    EXPECT_EQ(readInt32(QByteArray::fromHex("feffffff").constData()), -2);
}

TEST(WireFormat, EncodeStringIsLengthThenBytes)
{
    EXPECT_EQ(EncodeString("abc"), QByteArray::fromHex("03000000") + "abc");
    EXPECT_EQ(EncodeString(""), QByteArray::fromHex("00000000"));
}

TEST(WireFormat, DecodeStringConsumesOneFieldFromTheFront)
{
    QByteArray data = EncodeString("one") + EncodeString("") + EncodeString("three");
    QByteArray field;
    ASSERT_TRUE(DecodeString(data, field));
    EXPECT_EQ(field, "one");
    ASSERT_TRUE(DecodeString(data, field));
    EXPECT_EQ(field, "");
    EXPECT_EQ(data, EncodeString("three"));
    ASSERT_TRUE(DecodeString(data, field));
    EXPECT_EQ(field, "three");
    EXPECT_TRUE(data.isEmpty());
}

TEST(WireFormat, LongFieldsDecodeWhole)
{
    // A file over 100000 bytes must come back whole, not as an empty field.
    const QByteArray big(100001, 'z');
    QByteArray data = EncodeString(big);
    QByteArray field;
    ASSERT_TRUE(DecodeString(data, field));
    EXPECT_EQ(field, big);
}

TEST(WireFormat, MalformedStringFieldsAreRefusedWithoutReading)
{
    struct Case { const char *what; QByteArray data; };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"three length bytes", QByteArray::fromHex("010000")},
        {"negative length", le(-1) + "abcd"},
        {"most negative length", le(INT32_MIN) + "abcd"},
        {"length past the end", le(5) + "abcd"},
        {"huge length", le(INT32_MAX) + "abcd"},
    };
    for (const Case &c : cases) {
        QByteArray data = c.data;
        QByteArray field = "untouched";
        EXPECT_FALSE(DecodeString(data, field)) << c.what;
        EXPECT_EQ(field, "untouched") << c.what;
        EXPECT_EQ(data, c.data) << c.what;
    }
    EXPECT_FALSE(DecodeStringList(EncodeString("ok") + le(9) + "short").has_value());
    EXPECT_EQ(DecodeStringList(QByteArray())->size(), 0);
}

TEST(WireFormat, GoodPacketAndTheFailurePayload)
{
    EXPECT_FALSE(GoodPacket("BAD"));
    EXPECT_FALSE(GoodPacket("bAd news"));
    EXPECT_TRUE(GoodPacket("BA"));
    EXPECT_TRUE(GoodPacket(""));
    EXPECT_TRUE(GoodPacket("GOOD"));
    const QByteArray failure = FailurePayload();
    EXPECT_EQ(failure.size(), 35);
    EXPECT_EQ(failure, QByteArray("BAD................................"));
    EXPECT_TRUE(IsFailurePayload(failure));
    EXPECT_FALSE(IsFailurePayload(failure + "."));
    EXPECT_FALSE(IsFailurePayload("BAD"));
}

TEST(WireFormat, RecordsHaveTheirWidthsAndFieldOffsets)
{
    TNetworkProject p;
    p.ProjectName = "Site";
    p.UserName = "ann";
    p.FileName = "index.htm";
    p.MessageText = "hello";
    p.Password = "pw";
    const QByteArray bytes = p.toBytes();
    ASSERT_EQ(bytes.size(), 665);
    EXPECT_EQ(bytes.mid(0, 5), QByteArray("Site\0", 5));
    EXPECT_EQ(bytes.mid(51, 4), QByteArray("ann\0", 4));
    EXPECT_EQ(bytes.mid(102, 10), QByteArray("index.htm\0", 10));
    EXPECT_EQ(bytes.mid(358, 6), QByteArray("hello\0", 6));
    EXPECT_EQ(bytes.mid(614, 3), QByteArray("pw\0", 3));
    const TNetworkProject back = TNetworkProject::fromBytes(bytes);
    EXPECT_EQ(back.FileName, "index.htm");
    EXPECT_EQ(back.Password, "pw");

    const TNetworkChatRoom room{"u", "r", "m"};
    EXPECT_EQ(room.toBytes().size(), 358);
    EXPECT_EQ(TNetworkChatRoom::fromBytes(room.toBytes()).MessageText, "m");
    const TLoginInfo login{"u", "p"};
    EXPECT_EQ(login.toBytes().size(), 64);
    EXPECT_EQ((TPollInfo{true, 7}.toBytes()), QByteArray::fromHex("0100000007000000"));
}

TEST(WireFormat, FixedFieldsAreCutToLeaveRoomForTheTerminator)
{
    TLoginInfo info{QString(40, 'a'), QString(31, 'b')};
    const QByteArray bytes = info.toBytes();
    EXPECT_EQ(bytes.mid(0, 32), QByteArray(31, 'a') + '\0');
    EXPECT_EQ(bytes.mid(32, 32), QByteArray(31, 'b') + '\0');
    EXPECT_EQ(TLoginInfo::fromBytes(bytes).LoginName, QString(31, 'a'));

    // Cut at a character boundary: 30 ASCII bytes then a two-byte character
    // that would not fit whole.
    const QString name = QString(30, 'x') + QStringLiteral("\u00e9");
    TLoginInfo utf{name, {}};
    EXPECT_EQ(TLoginInfo::fromBytes(utf.toBytes()).LoginName, QString(30, 'x'));

    TNetworkChatRoom room{{}, QString(60, 'r'), QString(300, 'm')};
    const TNetworkChatRoom cut = TNetworkChatRoom::fromBytes(room.toBytes());
    EXPECT_EQ(cut.RoomName.size(), 50);
    EXPECT_EQ(cut.MessageText.size(), 255);
}

TEST(WireFormat, EightBitFieldsReadAsWindows1252)
{
    QByteArray bytes(TLoginInfo::Size, '\0');
    bytes.replace(0, 4, "J\xF6rg");
    bytes.replace(32, 8, "\xE4\xF6\xFC\xDF" "2024");
    const TLoginInfo eightBit = TLoginInfo::fromBytes(bytes);
    EXPECT_EQ(eightBit.LoginName, QStringLiteral(u"Jörg"));
    EXPECT_EQ(eightBit.Password, QStringLiteral(u"äöüß2024"));
    // Another 8-bit password stays another password.
    bytes.replace(32, 4, "\xE9\xE8\xEA\xE0");
    EXPECT_EQ(TLoginInfo::fromBytes(bytes).Password, QStringLiteral(u"éèêà2024"));
    // UTF-8 reads as before.
    EXPECT_EQ(TLoginInfo::fromBytes(TLoginInfo{QStringLiteral(u"Jörg"), {}}.toBytes()).LoginName, QStringLiteral(u"Jörg"));
}

TEST(WireFormat, ShortRecordsReadAsEmptyFields)
{
    const TNetworkProject p = TNetworkProject::fromBytes("abc");
    EXPECT_EQ(p.ProjectName, "abc");
    EXPECT_TRUE(p.FileName.isEmpty());
    EXPECT_TRUE(TLoginInfo::fromBytes(QByteArray()).LoginName.isEmpty());
}
