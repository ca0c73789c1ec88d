// The packet codec on a busy stream: 10,000 packets in 1 MB, cut into
// reads of several sizes, every packet dispatched and its fields decoded.
// Target: the whole megabyte in under 100 ms.
#include "packetreassembler.h"
#include "wireformat.h"

#include <benchmark/benchmark.h>

using namespace Quorvant::Network;

namespace {

// 10,000 chat messages of 100 bytes each: header, room, text.
QByteArray stream()
{
    QByteArray s;
    for (int i = 0; i < 10000; ++i) {
        const QByteArray text = QByteArray::number(i).rightJustified(72, '.');
        s += EncodePacket("MESS", EncodeString("ROOM") + EncodeString(text));
    }
    return s;
}

void Dispatch10kPackets(benchmark::State &state)
{
    const QByteArray s = stream();
    const qsizetype readSize = state.range(0) == 0 ? s.size() : state.range(0);
    qint64 decoded = 0;
    for (auto _ : state) {
        TPacketReassembler r;
        qint64 packets = 0;
        for (qsizetype at = 0; at < s.size(); at += readSize) {
            r.feed(QByteArrayView(s).sliced(at, qMin(readSize, s.size() - at)),
                   [&](const QByteArray &, const QByteArray &payload) {
                       const auto fields = DecodeStringList(payload);
                       decoded += fields ? fields->size() : 0;
                       ++packets;
                       return true;
                   });
        }
        if (packets != 10000) {
            state.SkipWithError("not every packet was dispatched");
            return;
        }
    }
    benchmark::DoNotOptimize(decoded);
    state.SetBytesProcessed(qint64(state.iterations()) * s.size());
    state.counters["stream_bytes"] = double(s.size());
}

// One read of the whole megabyte, 64 KiB socket reads, and 100-byte reads
// that cut every packet.
BENCHMARK(Dispatch10kPackets)->Arg(0)->Arg(65536)->Arg(1460)->Arg(37)->Unit(benchmark::kMillisecond);

// A 10 MB file arriving in 64 KiB reads: one packet, never re-scanned.
void ReassembleBigPacket(benchmark::State &state)
{
    const QByteArray packet = EncodePacket("GTFD", EncodeString("big.htm") + EncodeString(QByteArray(10 * 1000 * 1000, 'x')));
    for (auto _ : state) {
        TPacketReassembler r;
        int packets = 0;
        for (qsizetype at = 0; at < packet.size(); at += 65536)
            r.feed(QByteArrayView(packet).sliced(at, qMin<qsizetype>(65536, packet.size() - at)),
                   [&](const QByteArray &, const QByteArray &) { return ++packets > 0; });
        if (packets != 1) {
            state.SkipWithError("the packet was not dispatched");
            return;
        }
    }
    state.SetBytesProcessed(qint64(state.iterations()) * packet.size());
}
BENCHMARK(ReassembleBigPacket)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
