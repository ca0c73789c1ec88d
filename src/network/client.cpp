#include "client.h"

#include "networklog.h"
#include "quorvantversion.h"
#include "wireformat.h"

#include "inetfactory.h"
#include "taddressliteral.h"
#include "tnetmoduleloader.h"

#include <QTime>
#include <QTimer>

namespace Quorvant::Network {

TClient::TClient(TNetworkLog *log, DataIn dataIn, Disconnect disconnect, ProcessPacket processPacket, QObject *parent)
    : QObject(parent)
    , ClientProcessPack(std::move(processPacket))
    , DisconnectCallback(std::move(disconnect))
    , ClientDataIn(std::move(dataIn))
    , gDebugWindow(log)
{
    mKeepAlive.setSingleShot(true);
    mKeepAlive.setInterval(kKeepAliveMs);
    connect(&mKeepAlive, &QTimer::timeout, this, &TClient::keepAlive);

    mReassembler.log = [this](const QString &line) { DebugOut(line); };
    mReassembler.progress = [this](qsizetype received, qint32 total) {
        if (ClientDataIn)
            ClientDataIn(received, total, *this);
    };

    DebugOut(QStringLiteral(" "));
    DebugOut(QStringLiteral("QUORVANT CLIENT VERSION " QUORVANT_VERSION));
    DebugOut(QStringLiteral("[ Client Initialized at %1 ]").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

TClient::~TClient()
{
    mKeepAlive.stop();
    if (gClientSocket) {
        gClientSocket->setEvents({});
        gClientSocket->abort();
    }
}

INetStreamSocket *TClient::socket()
{
    if (gClientSocket)
        return gClientSocket.get();
    QString error;
    INetFactory *factory = TNetModuleLoader::factory(&error);
    if (!factory) {
        DebugOut(QStringLiteral("*Network unavailable: %1").arg(error));
        return nullptr;
    }
    gClientSocket = factory->createStreamSocket();
    INetStreamSocket::Events events;
    events.readyRead = [this] { ClientSocketDataAvailable(); };
    events.bytesWritten = [this](qint64) { ClientSocketDataSent(); };
    events.connected = [this] { ClientSocketSessionConnected(); };
    events.disconnected = [this] { ClientSocketSessionClosed(); };
    events.error = [this](const QString &) { ClientAbort(true); };
    events.certificateProblem = [this](const CertificateProblem &problem) {
        CertificateCheck check;
        check.presented = problem.sha256;
        check.errors = problem.errors;
        if (CheckServerCertificate)
            check = CheckServerCertificate(problem);
        if (check.verdict == CertificateCheck::Verdict::Trusted)
            return true;
        DebugOut(QStringLiteral("*Certificate refused: %1").arg(check.errors.join(QLatin1String("; "))));
        mRefusedCertificate = check;
        return false;
    };
    gClientSocket->setEvents(std::move(events));
    return gClientSocket.get();
}

void TClient::DebugOut(const QString &output)
{
    if (gDebugWindow)
        gDebugWindow->DebugOut(output);
}

bool TClient::ClientConnect(const QString &ip, int port, const QString &tlsPeerName)
{
    DebugOut(QStringLiteral("*Connecting: %1:%2").arg(ip).arg(port));
    if (port < 1 || port > 65535) {
        DebugOut(QStringLiteral("*Connection Failed: Bad Port #"));
        return false;
    }
    const QString address = ip.trimmed();
    if (!TAddressLiteral::isValid(address)) {
        DebugOut(QStringLiteral("Connection Failed: Invalid IP address"));
        return false;
    }
    // A connection still open is dropped without reporting it as ended.
    if (gClientSocket)
        gClientSocket->abort();
    mEnded = false;
    mWasConnected = false;
    mRefusedCertificate.reset();
    mReassembler.reset();
    const quint64 attempt = ++mAttempt;
    if (INetStreamSocket *s = socket()) {
        if (tlsPeerName.isEmpty())
            s->connectToHost(address, quint16(port));
        else
            s->connectToHostEncrypted(address, quint16(port), tlsPeerName);
    } else {
        // Without the network module the attempt fails as an unreachable
        // server does: after returning, as no connection.
        QTimer::singleShot(0, this, [this, attempt] {
            if (attempt == mAttempt)
                ClientAbort(true);
        });
    }
    DebugOut(QStringLiteral("*Contacting Server..."));
    return true;
}

void TClient::ClientSendMessage(QByteArrayView UniqueID, QByteArrayView Data)
{
    ClientSendToUserBuffer(EncodePacket(UniqueID.first(qMin<qsizetype>(4, UniqueID.size())), Data));
    // Only start a piece when none is on its way; the rest follow as the
    // socket reports each piece written.
    if (!gClientSocket || gClientSocket->bytesToWrite() == 0)
        ClientUpdateUserBuffer();
}

void TClient::ClientSendToUserBuffer(const QByteArray &data)
{
    ClientSendBufferArray.append(data);
}

void TClient::ClientUpdateUserBuffer()
{
    if (SendString.size() == mSendOffset) {
        if (ClientSendBufferArray.isEmpty())
            return;
        SendString = ClientSendBufferArray.takeFirst();
        mSendOffset = 0;
    }
    if (!isConnected())
        return;  // offered again once connected
    const qsizetype piece = qMin<qsizetype>(kPacketSplitSize, SendString.size() - mSendOffset);
    mKeepAlive.start();
    const qint64 accepted = gClientSocket->write(SendString.constData() + mSendOffset, piece);
    if (accepted > 0)
        mSendOffset += accepted;
    if (mSendOffset == SendString.size()) {
        SendString.clear();
        mSendOffset = 0;
    }
}

void TClient::ClientSocketDataSent()
{
    if (!mDying && gClientSocket && gClientSocket->bytesToWrite() == 0)
        ClientUpdateUserBuffer();
}

void TClient::keepAlive()
{
    if (mDying || !isConnected())
        return;
    ClientSendMessage("PING", QByteArrayView("\0", 1));
    mKeepAlive.start();
}

void TClient::setKeepAliveInterval(int ms)
{
    mKeepAlive.setInterval(ms);
    if (mKeepAlive.isActive())
        mKeepAlive.start();
}

bool TClient::isConnected() const
{
    return gClientSocket && gClientSocket->isConnected();
}

bool TClient::isEncrypted() const
{
    return gClientSocket && gClientSocket->isEncrypted();
}

QList<QByteArray> TClient::queuedPackets() const
{
    QList<QByteArray> packets;
    if (SendString.size() > mSendOffset)
        packets.append(SendString.mid(mSendOffset));
    packets.append(ClientSendBufferArray);
    return packets;
}

void TClient::ClientSocketSessionConnected()
{
    mWasConnected = true;
    if (isEncrypted())
        DebugOut(QStringLiteral("*Encrypted connection (TLS)"));
    mKeepAlive.start();
    ClientUpdateUserBuffer();
}

void TClient::ClientSocketDataAvailable()
{
    while (!mDying && gClientSocket && gClientSocket->bytesAvailable() > 0) {
        const QByteArray chunk = gClientSocket->readAll();
        if (chunk.isEmpty())
            return;
        const auto result = mReassembler.feed(chunk, [this](const QByteArray &word, const QByteArray &payload) {
            if (ClientProcessPack)
                ClientProcessPack(payload, word, *this);
            return !mDying && !mEnded;
        });
        if (result == TPacketReassembler::Result::Broken) {
            DebugOut(QStringLiteral("*Broken packet stream: message size %1").arg(mReassembler.brokenSize()));
            ClientAbort(true);
            return;
        }
        if (result == TPacketReassembler::Result::Stopped)
            return;
    }
}

void TClient::ClientSocketSessionClosed()
{
    ClientAbort(true);
}

void TClient::ClientAbort(bool ShowMessageAnyway)
{
    if (mEnded || mDying)
        return;
    mEnded = true;
    mKeepAlive.stop();
    if (mWasConnected) {
        DebugOut(QStringLiteral("*Disconnected"));
    } else if (ShowMessageAnyway) {
        DebugOut(QStringLiteral("*No Connection"));
    }
    // Closing does not come back here as a second notification.
    if (gClientSocket)
        gClientSocket->abort();
    ClientSendBufferArray.clear();
    SendString.clear();
    mSendOffset = 0;
    mReassembler.reset();
    if (DisconnectCallback)
        DisconnectCallback(QStringLiteral("Disconnected"), *this);
}

void TClient::destroyLater()
{
    if (mDying)
        return;
    mDying = true;
    mKeepAlive.stop();
    if (gClientSocket) {
        gClientSocket->setEvents({});
        gClientSocket->abort();
    }
    deleteLater();
}

} // namespace Quorvant::Network
