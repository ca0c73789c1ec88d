// Cuts a received byte stream into packets whatever the read boundaries,
// without a socket: complete packets go to a sink, a partial packet is kept
// for the next read, and a size that cannot be a packet breaks the stream.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace Quorvant::Network {

class TPacketReassembler
{
public:
    enum class Result { Ok, Stopped, Broken };

    // Receives each packet; returning false stops the read (the rest of it
    // is dropped), e.g. once the connection is being destroyed.
    using Sink = std::function<bool(const QByteArray &word, const QByteArray &payload)>;

    // Optional diagnostics: log lines, and (received, total) while a packet
    // is assembled.
    std::function<void(const QString &)> log;
    std::function<void(qsizetype, qint32)> progress;

    // One read from the socket. Broken: a MessageSize below 16 or above
    // kMaxMessageSize; nothing is kept and the stream must be closed.
    Result feed(QByteArrayView chunk, const Sink &sink);

    // Forget any partial packet.
    void reset();

    // The MessageSize that broke the stream.
    qint32 brokenSize() const { return mBrokenSize; }
    // Bytes of a packet begun but not complete.
    qsizetype pendingBytes() const { return mPending.size(); }

private:
    QByteArray mPending;  // always starts at a packet boundary
    qint32 mBrokenSize = 0;
    quint64 mGeneration = 0;
};

} // namespace Quorvant::Network
