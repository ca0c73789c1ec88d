// The packet codec: hostile bytes through the reassembler, cut into reads of
// sizes taken from the input, and every payload through the decoders. The
// same stream read whole and read in pieces gives the same packets, unless
// it holds the server's greeting: the protocol defines that by the read it
// arrives in.
#include "fuzzsupport.h"

#include "networkrecords.h"
#include "packetreassembler.h"
#include "wireformat.h"

#include <QList>
#include <QPair>

using namespace Quorvant::Network;

namespace {

struct Reading
{
    QList<QPair<QByteArray, QByteArray>> packets;
    bool broken = false;
};

// Feeds stream in reads of step bytes until it breaks.
Reading readInSteps(QByteArrayView stream, qsizetype step)
{
    Reading out;
    TPacketReassembler r;
    qsizetype total = 0;
    for (qsizetype at = 0; at < stream.size(); at += step) {
        const auto result = r.feed(stream.sliced(at, qMin(step, stream.size() - at)),
                                   [&](const QByteArray &word, const QByteArray &payload) {
                                       FUZZ_CHECK(word.size() == 4 && payload.size() <= kMaxMessageSize);
                                       total += payload.size();
                                       out.packets.append({word, payload});
                                       return true;
                                   });
        if (result == TPacketReassembler::Result::Broken) {
            out.broken = true;
            break;
        }
        // What is kept never exceeds one packet.
        FUZZ_CHECK(r.pendingBytes() <= kMaxMessageSize);
    }
    FUZZ_CHECK(total <= stream.size());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input = Quorvant::Fuzz::inputBytes(data, size);
    const QByteArrayView all(input);

    // The whole input as a payload.
    (void)DecodeStringList(all);
    (void)GoodPacket(all);
    (void)TNetworkProject::fromBytes(all);
    QByteArray copy = input;
    QByteArray field;
    while (DecodeString(copy, field)) {
    }

    // The first byte picks the read size; the rest is the stream.
    const qsizetype step = (uchar(input[0]) % 64) + 1;
    const QByteArrayView stream = all.sliced(1);
    const Reading pieces = readInSteps(stream, step);
    for (const auto &packet : pieces.packets) {
        (void)DecodeStringList(packet.second);
        (void)TNetworkChatRoom::fromBytes(packet.second);
    }
    if (stream.toByteArray().toUpper().contains("WELCOME"))
        return 0;
    const Reading whole = readInSteps(stream, qMax<qsizetype>(stream.size(), 1));
    FUZZ_CHECK(whole.packets == pieces.packets);
    FUZZ_CHECK(whole.broken == pieces.broken);
    return 0;
}
