// Packet reassembly from arbitrary read boundaries.
#include "packetreassembler.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace Quorvant::Network;

namespace {

struct Received
{
    QByteArray word;
    QByteArray payload;
    bool operator==(const Received &) const = default;
};

struct Harness
{
    TPacketReassembler r;
    QList<Received> packets;
    QStringList log;
    Harness()
    {
        r.log = [this](const QString &line) { log.append(line); };
    }
    TPacketReassembler::Result feed(QByteArrayView chunk)
    {
        return r.feed(chunk, [this](const QByteArray &w, const QByteArray &p) {
            packets.append({w, p});
            return true;
        });
    }
};

QByteArray header(const char *word, qint32 size)
{
    QByteArray h;
    appendInt32(h, 101);
    appendInt32(h, 0);
    h.append(word, 4);
    appendInt32(h, size);
    return h;
}

const QList<Received> kExpected = {
    {"MESS", EncodeString("ROOM") + EncodeString("hi")},
    {"LRES", QByteArray::fromHex("0100000002000000")},
    {"PING", QByteArray()},
    {"GTFD", EncodeString("a.htm") + EncodeString(QByteArray(300, 'c'))},
};

QByteArray stream()
{
    QByteArray s;
    for (const Received &p : kExpected)
        s += EncodePacket(p.word, p.payload);
    return s;
}

} // namespace

TEST(Reassembler, EverySplitPointGivesTheSameDispatch)
{
    const QByteArray s = stream();
    for (qsizetype cut = 0; cut <= s.size(); ++cut) {
        Harness h;
        h.feed(QByteArrayView(s).first(cut));
        h.feed(QByteArrayView(s).sliced(cut));
        ASSERT_EQ(h.packets, kExpected) << "split at " << cut;
        EXPECT_EQ(h.r.pendingBytes(), 0);
    }
}

TEST(Reassembler, EveryPairOfSplitPointsGivesTheSameDispatch)
{
    const QByteArray s = EncodePacket("MESS", EncodeString("R") + EncodeString("x")) + EncodePacket("PING", "1");
    for (qsizetype a = 0; a <= s.size(); ++a) {
        for (qsizetype b = a; b <= s.size(); ++b) {
            Harness h;
            h.feed(QByteArrayView(s).first(a));
            h.feed(QByteArrayView(s).sliced(a, b - a));
            h.feed(QByteArrayView(s).sliced(b));
            ASSERT_EQ(h.packets.size(), 2) << a << " " << b;
            EXPECT_EQ(h.packets[1].payload, "1");
        }
    }
}

TEST(Reassembler, ByteByByte)
{
    const QByteArray s = stream();
    Harness h;
    for (char c : s)
        ASSERT_EQ(h.feed(QByteArrayView(&c, 1)), TPacketReassembler::Result::Ok);
    EXPECT_EQ(h.packets, kExpected);
}

TEST(Reassembler, TwoPacketsInOneReadLogTheLeftovers)
{
    const QByteArray first = EncodePacket("JCHR", "GOOD");
    const QByteArray second = EncodePacket("LCHR", "GOOD!");
    Harness h;
    h.feed(first + second);
    ASSERT_EQ(h.packets.size(), 2);
    EXPECT_EQ(h.packets[0].word, "JCHR");
    EXPECT_EQ(h.packets[1].word, "LCHR");
    EXPECT_EQ(h.log, QStringList{QStringLiteral("LEFTOVERS: %1").arg(second.size())});
}

TEST(Reassembler, ShortHeadsAreLoggedAndKept)
{
    const QByteArray p = EncodePacket("PING", "x");
    Harness h;
    h.feed(p.first(5));
    h.feed(p.mid(5, 5));
    h.feed(p.mid(10));
    EXPECT_EQ(h.log, (QStringList{"WINSOCK: Tiny Packet!", "WINSOCK: Still a God Damned Tiny Packet!"}));
    ASSERT_EQ(h.packets.size(), 1);
    EXPECT_EQ(h.packets[0].payload, "x");
}

TEST(Reassembler, GreetingIsDiscardedOnlyWherePacketsStart)
{
    Harness h;
    // The greeting line, then a packet in the same read: the packet survives.
    h.feed(QByteArray("Welcome to the server\r\n") + EncodePacket("LOGI", "."));
    ASSERT_EQ(h.packets.size(), 1);
    EXPECT_EQ(h.packets[0].word, "LOGI");

    // Without a line end the rest of the read goes with the greeting.
    h.feed("WELCOME and nothing else");
    EXPECT_EQ(h.packets.size(), 1);
    EXPECT_EQ(h.r.pendingBytes(), 0);

    // Inside a packet that continues, "WELCOME" is payload.
    const QByteArray body = QByteArray("WELCOME back, friend");
    const QByteArray p = EncodePacket("MESS", body);
    h.feed(p.first(16));
    h.feed(p.mid(16));
    ASSERT_EQ(h.packets.size(), 2);
    EXPECT_EQ(h.packets[1].payload, body);

    // A head begun in an earlier read is continued, not taken for a greeting.
    const QByteArray tricky = header("WELC", 16 + 3) + "abc";
    h.feed(tricky.first(3));
    h.feed(tricky.mid(3));
    ASSERT_EQ(h.packets.size(), 3);
    EXPECT_EQ(h.packets[2].payload, "abc");
}

TEST(Reassembler, ImpossibleSizesBreakTheStream)
{
    const qint32 sizes[] = {-1, 0, 1, 15, kMaxMessageSize + 1, INT32_MAX, INT32_MIN};
    for (qint32 size : sizes) {
        Harness h;
        EXPECT_EQ(h.feed(EncodePacket("PING", "") + header("XXXX", size) + QByteArray(64, 'q')),
                  TPacketReassembler::Result::Broken)
            << size;
        EXPECT_EQ(h.r.brokenSize(), size);
        EXPECT_EQ(h.packets.size(), 1) << "packets before the bad header still count";
        EXPECT_EQ(h.r.pendingBytes(), 0);
    }
    Harness edge;
    EXPECT_EQ(edge.feed(header("EMPT", 16)), TPacketReassembler::Result::Ok);
    ASSERT_EQ(edge.packets.size(), 1);
    EXPECT_TRUE(edge.packets[0].payload.isEmpty());
    // The largest size is accepted and waited for, not refused.
    EXPECT_EQ(edge.feed(header("BIGG", kMaxMessageSize)), TPacketReassembler::Result::Ok);
    EXPECT_EQ(edge.r.pendingBytes(), 16);
}

TEST(Reassembler, ASinkThatStopsDropsTheRestOfTheRead)
{
    TPacketReassembler r;
    int seen = 0;
    const auto result = r.feed(EncodePacket("LRES", "\0") + EncodePacket("MESS", "x"),
                               [&](const QByteArray &, const QByteArray &) { return ++seen < 1; });
    EXPECT_EQ(result, TPacketReassembler::Result::Stopped);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(r.pendingBytes(), 0);
}

TEST(Reassembler, ResetFromInsideTheSinkIsSafe)
{
    TPacketReassembler r;
    const QByteArray p = EncodePacket("AAAA", "1") + EncodePacket("BBBB", "2");
    r.feed(p.first(5), [](const QByteArray &, const QByteArray &) { return true; });
    int seen = 0;
    const auto result = r.feed(p.mid(5), [&](const QByteArray &, const QByteArray &) {
        ++seen;
        r.reset();
        return true;
    });
    EXPECT_EQ(result, TPacketReassembler::Result::Stopped);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(r.pendingBytes(), 0);
}

TEST(Reassembler, ProgressReportsBytesOfTheBigPacket)
{
    TPacketReassembler r;
    QList<QPair<qsizetype, qint32>> progress;
    r.progress = [&](qsizetype got, qint32 total) { progress.append({got, total}); };
    const QByteArray p = EncodePacket("GTFD", QByteArray(1000, 'x'));
    r.feed(p.first(400), [](const QByteArray &, const QByteArray &) { return true; });
    r.feed(p.mid(400), [](const QByteArray &, const QByteArray &) { return true; });
    EXPECT_EQ(progress, (QList<QPair<qsizetype, qint32>>{{400, 1016}, {1016, 1016}}));
}
