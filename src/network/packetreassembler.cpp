#include "packetreassembler.h"

#include "wireformat.h"

#include <cstring>

namespace Quorvant::Network {

namespace {

bool isGreeting(const char *p)
{
    static const char word[] = "WELCOME";
    for (int i = 0; i < 7; ++i) {
        char c = p[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
        if (c != word[i])
            return false;
    }
    return true;
}

} // namespace

TPacketReassembler::Result TPacketReassembler::feed(QByteArrayView chunk, const Sink &sink)
{
    if (chunk.isEmpty())
        return Result::Ok;

    // Bytes before `carried` came in earlier reads and belong to a packet
    // that has begun; only later positions can hold the greeting.
    const qsizetype carried = mPending.size();
    QByteArray buffer;
    QByteArrayView view = chunk;
    if (carried > 0) {
        buffer = std::move(mPending);
        mPending = QByteArray();
        buffer.append(chunk.data(), chunk.size());
        view = QByteArrayView(buffer);
    }
    const quint64 generation = mGeneration;

    qsizetype offset = 0;
    const Result result = Result::Ok;
    while (offset < view.size()) {
        const qsizetype remaining = view.size() - offset;
        if (offset >= carried && remaining >= 7 && isGreeting(view.data() + offset)) {
            // The greeting runs to its line end, or to the end of this read.
            const qsizetype lf = view.indexOf('\n', offset + 7);
            offset = lf < 0 ? view.size() : lf + 1;
            continue;
        }
        if (remaining < kHeaderSize) {
            if (log)
                log(offset < carried ? QStringLiteral("WINSOCK: Still a God Damned Tiny Packet!")
                                     : QStringLiteral("WINSOCK: Tiny Packet!"));
            break;
        }
        const qint32 size = readInt32(view.data() + offset + 12);
        if (size < kHeaderSize || size > kMaxMessageSize) {
            mBrokenSize = size;
            mPending.clear();
            return Result::Broken;
        }
        if (remaining < size) {
            if (progress)
                progress(remaining, size);
            break;
        }
        if (progress)
            progress(size, size);
        QByteArray packet = UnEnCrypt(QByteArray(view.data() + offset, size));
        const QByteArray word(packet.constData() + 8, 4);
        packet.remove(0, kHeaderSize);
        offset += size;
        if (offset < view.size() && log)
            log(QStringLiteral("LEFTOVERS: %1").arg(view.size() - offset));
        if (!sink(word, packet))
            return Result::Stopped;  // the rest of this read is dropped
        if (generation != mGeneration)
            return Result::Stopped;  // reset from inside the sink
    }

    if (carried > 0) {
        buffer.remove(0, offset);
        mPending = std::move(buffer);
    } else {
        mPending = QByteArray(view.data() + offset, view.size() - offset);
    }
    return result;
}

void TPacketReassembler::reset()
{
    ++mGeneration;
    mPending.clear();
}

} // namespace Quorvant::Network
