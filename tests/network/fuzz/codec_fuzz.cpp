// libFuzzer target: hostile bytes through the reassembler, cut into reads
// of sizes taken from the input, and every payload through the decoders.
#include "networkrecords.h"
#include "packetreassembler.h"
#include "wireformat.h"

#include <cstddef>
#include <cstdint>

using namespace Quorvant::Network;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView all(reinterpret_cast<const char *>(data), qsizetype(size));

    // The whole input as a payload.
    (void)DecodeStringList(all);
    (void)GoodPacket(all);
    (void)TNetworkProject::fromBytes(all);
    QByteArray copy = all.toByteArray();
    QByteArray field;
    while (DecodeString(copy, field)) {
    }

    // The first byte picks the read size; the rest is the stream.
    const qsizetype step = (data[0] % 64) + 1;
    const QByteArrayView stream = all.sliced(1);
    TPacketReassembler r;
    qsizetype total = 0;
    for (qsizetype at = 0; at < stream.size(); at += step) {
        const auto result = r.feed(stream.sliced(at, qMin(step, stream.size() - at)),
                                   [&](const QByteArray &word, const QByteArray &payload) {
                                       if (word.size() != 4 || payload.size() > kMaxMessageSize)
                                           __builtin_trap();
                                       total += payload.size();
                                       (void)DecodeStringList(payload);
                                       (void)TNetworkChatRoom::fromBytes(payload);
                                       return true;
                                   });
        if (result == TPacketReassembler::Result::Broken)
            break;
        // What is kept never exceeds one packet.
        if (r.pendingBytes() > kMaxMessageSize)
            __builtin_trap();
    }
    if (total > stream.size())
        __builtin_trap();
    return 0;
}
