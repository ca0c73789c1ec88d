// TClient against a listening socket on 127.0.0.1 in this process.
#include "client.h"
#include "networklog.h"
#include "quorvantversion.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Quorvant::Network;

namespace {

struct Packet
{
    QByteArray word;
    QByteArray payload;
};

class ClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        client = new TClient(
            &log, nullptr, [this](const QString &reason, TClient &) { disconnects.append(reason); },
            [this](const QByteArray &payload, const QByteArray &word, TClient &) { packets.append({word, payload}); });
    }
    void TearDown() override { delete client.data(); }

    // Connects and returns the server's side of the connection.
    QTcpSocket *connectClient()
    {
        EXPECT_TRUE(client->ClientConnect("127.0.0.1", server.serverPort()));
        if (!server.waitForNewConnection(5000))
            return nullptr;
        QTcpSocket *peer = server.nextPendingConnection();
        EXPECT_TRUE(QTest::qWaitFor([&] { return client->isConnected(); }, 5000));
        return peer;
    }

    // Reads whole packets arriving at the server's side.
    QList<Packet> readPackets(QTcpSocket *peer, int count)
    {
        QList<Packet> out;
        (void)QTest::qWaitFor([&] {  // the caller checks how many arrived
            peer->waitForReadyRead(20);
            received += peer->readAll();
            while (received.size() >= 16) {
                const qint32 size = readInt32(received.constData() + 12);
                if (received.size() < size)
                    break;
                out.append({received.mid(8, 4), received.mid(16, size - 16)});
                received.remove(0, size);
            }
            return out.size() >= count;
        }, 5000);
        return out;
    }

    QTcpServer server;
    TNetworkLog log;
    QPointer<TClient> client;
    QList<Packet> packets;
    QStringList disconnects;
    QByteArray received;
};

} // namespace

TEST_F(ClientTest, CreationWritesThreeLogLines)
{
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], " ");
    EXPECT_EQ(lines[1], "QUORVANT CLIENT VERSION " QUORVANT_VERSION);
    EXPECT_TRUE(lines[2].startsWith("[ Client Initialized at ")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" ]"));
}

TEST_F(ClientTest, PortsOneTo65535AreAccepted)
{
    struct Case { int port; bool ok; };
    const Case cases[] = {{-1, false}, {0, false}, {1, true}, {32000, true}, {32001, true}, {65535, true}, {65536, false}};
    for (const Case &c : cases) {
        log.clear();
        EXPECT_EQ(client->ClientConnect("127.0.0.1", c.port), c.ok) << c.port;
        const QStringList lines = log.lines();
        EXPECT_EQ(lines.first(), QStringLiteral("*Connecting: 127.0.0.1:%1").arg(c.port));
        EXPECT_EQ(lines.last(), c.ok ? "*Contacting Server..." : "*Connection Failed: Bad Port #") << c.port;
    }
    EXPECT_FALSE(client->ClientConnect("not an address", 4000));
    EXPECT_EQ(log.lines().last(), "Connection Failed: Invalid IP address");
}

TEST_F(ClientTest, AFailedAttemptEndsWithNoConnection)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    ASSERT_TRUE(client->ClientConnect("127.0.0.1", closedPort));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !disconnects.isEmpty(); }, 5000));
    EXPECT_EQ(disconnects, QStringList{"Disconnected"});
    EXPECT_TRUE(log.lines().contains("*No Connection"));
}

TEST_F(ClientTest, APacketLeavesInPiecesOf2048InQueueOrder)
{
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    const QByteArray big(5000 - 16, 'b');
    client->ClientSendMessage("ADDP", big);
    // One piece is handed over at once; the rest wait for the socket.
    ASSERT_EQ(client->queuedPackets().size(), 1);
    EXPECT_EQ(client->queuedPackets()[0].size(), 5000 - 2048);
    client->ClientSendMessage("MCHR", "second");
    client->ClientSendMessage("PING", "x");
    EXPECT_EQ(client->queuedPackets().size(), 3);
    const QList<Packet> got = readPackets(peer, 3);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0].word, "ADDP");
    EXPECT_EQ(got[0].payload, big);
    EXPECT_EQ(got[1].payload, "second");
    EXPECT_EQ(got[2].word, "PING");
    EXPECT_TRUE(client->queuedPackets().isEmpty());
}

TEST_F(ClientTest, QueuedBeforeConnectingLeavesOnceConnected)
{
    client->ClientSendMessage("LOGI", "early");
    EXPECT_EQ(client->queuedPackets().size(), 1);
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    const QList<Packet> got = readPackets(peer, 1);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].payload, "early");
}

TEST_F(ClientTest, KeepAliveAfterSilence)
{
    client->setKeepAliveInterval(150);
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    const QList<Packet> got = readPackets(peer, 1);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].word, "PING");
    EXPECT_EQ(got[0].payload.size(), 1);
    EXPECT_EQ(received.size(), 0);
}

TEST_F(ClientTest, SendingRestartsTheKeepAliveWait)
{
    client->setKeepAliveInterval(400);
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    // Traffic every 150 ms for 1.2 s: no keep-alive in between.
    for (int i = 0; i < 8; ++i) {
        QTest::qWait(150);
        client->ClientSendMessage("MCHR", QByteArray::number(i));
    }
    const QList<Packet> got = readPackets(peer, 8);
    ASSERT_EQ(got.size(), 8);
    for (const Packet &p : got)
        EXPECT_EQ(p.word, "MCHR");
}

TEST_F(ClientTest, GreetingAndFirstPacketInOneRead)
{
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    peer->write(QByteArray("WELCOME TO HALVORN\r\n") + EncodePacket("LOGI", "."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !packets.isEmpty(); }, 5000));
    EXPECT_EQ(packets[0].word, "LOGI");
}

TEST_F(ClientTest, ABrokenStreamClosesAndReports)
{
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    QByteArray bad = EncodePacket("MESS", "x");
    bad[12] = 5;  // MessageSize 5
    peer->write(EncodePacket("LRES", QByteArray(1, '\1')) + bad + QByteArray(100000, 'z'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !disconnects.isEmpty(); }, 5000));
    EXPECT_EQ(packets.size(), 1);
    EXPECT_TRUE(log.lines().contains("*Broken packet stream: message size 5"));
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(peer->waitForDisconnected(5000) || peer->state() == QAbstractSocket::UnconnectedState);
    EXPECT_EQ(disconnects.size(), 1);
}

TEST_F(ClientTest, ServerClosingEndsTheSessionOnce)
{
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    client->ClientSendMessage("MCHR", QByteArray(10000, 'q'));
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !disconnects.isEmpty(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(disconnects.size(), 1);
    EXPECT_TRUE(log.lines().contains("*Disconnected"));
    EXPECT_TRUE(client->queuedPackets().isEmpty());
}

TEST_F(ClientTest, DestroyingWhileHandlingAPacketFinishesThatPacketOnly)
{
    client->ClientProcessPack = [this](const QByteArray &, const QByteArray &word, TClient &c) {
        packets.append({word, {}});
        c.destroyLater();
    };
    QTcpSocket *peer = connectClient();
    ASSERT_NE(peer, nullptr);
    peer->write(EncodePacket("LRES", QByteArray(1, '\0')) + EncodePacket("MESS", "after"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.isNull(); }, 5000));
    EXPECT_EQ(packets.size(), 1);
    EXPECT_TRUE(disconnects.isEmpty());
}

TEST_F(ClientTest, TheLogStartsAgainPastItsCap)
{
    for (int i = 0; i < 700; ++i)
        log.DebugOut(QString(100, 'x'));
    EXPECT_LE(log.text().size(), TNetworkLog::kCap + 200);
}
