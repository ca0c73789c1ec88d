// halvorn-server with TLS, as a process on 127.0.0.1, with certificates made
// by the test: the protocol and the HTTP port over TLS, plain clients only
// where allowed, what someone on the path sees, and hostile TLS clients.
#include "httpget.h"
#include "networkrecords.h"
#include "procstats.h"
#include "rawclient.h"
#include "recordingproxy.h"
#include "serverprocess.h"
#include "testcertificates.h"
#include "testrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>
#include <vector>

using namespace Quorvant::Network;

namespace {

// Test certificates, made once for all the tests here.
class TlsServerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        certificateDir = std::make_unique<QTemporaryDir>();
        QString error;
        certificatesMade = certificateDir->isValid() && certificates.make(certificateDir->path(), &error);
        if (!certificatesMade)
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    static void TearDownTestSuite() { certificateDir.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(certificatesMade);
        ASSERT_TRUE(dir.isValid());
    }

    // A server with the test authority's certificate.
    void start(const QStringList &options = {})
    {
        ASSERT_TRUE(server.start(dir.filePath("halvorn.db"),
                                 QStringList{"--tls-cert", certificates.serverCert, "--tls-key", certificates.serverKey} + options))
            << server.process.readAllStandardError().constData();
    }

    std::unique_ptr<RawClient> tlsMember(const QString &name, quint16 port = 0)
    {
        auto c = std::make_unique<RawClient>();
        if (!c->connectToTls(port ? port : server.port, certificates.authority()) || !c->signIn(name, "pw", true))
            return nullptr;
        return c;
    }

    QString url(const char *scheme, const char *path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(QLatin1String(scheme)).arg(server.httpPort).arg(QLatin1String(path));
    }

    qint64 metric(const QByteArray &sample) const
    {
        return metricValue(httpGet(url("https", "/metrics"), certificates.authority()).body, sample).value_or(-1);
    }

    static inline std::unique_ptr<QTemporaryDir> certificateDir;
    static inline TestCertificates certificates;
    static inline bool certificatesMade = false;
    QTemporaryDir dir;
    ServerProcess server;
};

class EndToEndTls : public TlsServerTest
{
};
class AttackTls : public TlsServerTest
{
};

} // namespace

TEST_F(EndToEndTls, SignInChatAndBookOutOverTls)
{
    start();
    auto ann = tlsMember("ann");
    ASSERT_TRUE(ann);
    auto bob = tlsMember("bob");
    ASSERT_TRUE(bob);
    EXPECT_TRUE(ann->socket.isEncrypted());
    EXPECT_TRUE(ann->tlsErrors.isEmpty());
    EXPECT_TRUE(ann->socket.sessionProtocol() == QSsl::TlsV1_2 || ann->socket.sessionProtocol() == QSsl::TlsV1_3);

    ASSERT_TRUE(isGood(ann->request("ACHR", chatRecord("Lobby"))));
    ASSERT_TRUE(isGood(bob->request("JCHR", chatRecord("Lobby"))));
    ann->send("MCHR", chatRecord("Lobby", "hello over TLS"));
    const auto heard = bob->waitFor("MESS");
    ASSERT_TRUE(heard);
    EXPECT_EQ(decodeList(heard->payload), (QStringList{"Lobby", "ann: hello over TLS"}));

    QByteArray content(2 * kMiB + 3, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 31 + i / 777);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Site", {}, "sp"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Site", "index.htm") + EncodeString(content), 20000)));
    ASSERT_TRUE(isGood(bob->request("JPRO", projectRecord("Site", {}, "sp"))));
    ASSERT_TRUE(isGood(bob->request("BFOU", projectRecord("Site", "index.htm"))));
    const auto fetched = bob->request("GTFD", projectRecord("Site", "index.htm"), 20000);
    ASSERT_TRUE(fetched);
    EXPECT_TRUE(fetched->payload == EncodeString("index.htm") + EncodeString(content));
    EXPECT_FALSE(isGood(ann->request("BFOU", projectRecord("Site", "index.htm"))));
    EXPECT_EQ(metric("halvorn_tls_connections"), 2);
}

TEST_F(EndToEndTls, PlainClientsAreRefusedUnlessPlainIsAllowed)
{
    start({"--sign-in-timeout", "1"});
    // A plain client waits for the greeting; it gets none and is dropped
    // at the sign-in deadline (a slow TLS client would have had that long).
    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, server.port);
    ASSERT_TRUE(plain.waitForConnected(5000));
    EXPECT_TRUE(waitUntil([&] { return plain.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(plain.readAll(), QByteArray());
    // One that speaks first in plain is dropped at once.
    RawClient early;
    ASSERT_TRUE(early.connectTo(server.port));
    early.send("LOGI", login("ann", "pw"));
    EXPECT_FALSE(early.waitFor("LOGI", 3000));
    EXPECT_EQ(metric("halvorn_refusals_total{reason=\"plain_connection\"}"), 2);
    // The HTTP port answers plain HTTP with where to go instead.
    const HttpAnswer http = httpGet(url("http", "/AddressInfo.dat"));
    EXPECT_EQ(http.status, 426);
    EXPECT_FALSE(http.body.contains("PORT="));

    server.stop();
    start({"--allow-plain"});
    RawClient old;
    ASSERT_TRUE(old.connectTo(server.port));
    ASSERT_TRUE(old.signIn("old", "pw", true));
    EXPECT_FALSE(old.socket.isEncrypted());
    auto fresh = tlsMember("new");
    ASSERT_TRUE(fresh);
    ASSERT_TRUE(isGood(old.request("ACHR", chatRecord("Mixed"))));
    ASSERT_TRUE(isGood(fresh->request("JCHR", chatRecord("Mixed"))));
    fresh->send("MCHR", chatRecord("Mixed", "both ways"));
    ASSERT_TRUE(old.waitFor("MESS"));
    // Clients that read only two lines still find the server over HTTP.
    EXPECT_EQ(httpGet(url("http", "/AddressInfo.dat")).body, QStringLiteral("IP=127.0.0.1\r\nPORT=%1\r\nTLS=1\r\n").arg(server.port).toLatin1());
    EXPECT_EQ(metric("halvorn_refusals_total{reason=\"plain_connection\"}"), 0);
}

TEST_F(EndToEndTls, ATlsClientThatSpeaksLateIsServed)
{
    // Busy clients may send their first bytes long after connecting: where
    // only TLS is served they are waited for until the sign-in deadline;
    // where plain is allowed too, a client silent for the first-byte wait
    // is taken as plain.
    for (const bool allowPlain : {false, true}) {
        start(allowPlain ? QStringList{"--allow-plain", "--tls-first-byte-wait", "300"} : QStringList{});
        RawClient late;
        late.socket.connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(late.socket.waitForConnected(5000));
        waitUntil([] { return false; }, 800);
        QSslConfiguration configuration = late.socket.sslConfiguration();
        configuration.setCaCertificates(certificates.authority());
        late.socket.setSslConfiguration(configuration);
        late.socket.startClientEncryption();
        EXPECT_EQ(waitUntil([&] { return late.socket.isEncrypted(); }, 5000), !allowPlain) << allowPlain;
        if (!allowPlain) {
            EXPECT_TRUE(late.signIn("late", "pw", true));
        }
        server.stop();
    }
}

TEST_F(EndToEndTls, HttpsAddressServiceSaysTheServerSpeaksTls)
{
    start();
    const HttpAnswer file = httpGet(url("https", "/AddressInfo.dat"), certificates.authority());
    EXPECT_EQ(file.status, 200);
    EXPECT_EQ(file.body, QStringLiteral("IP=127.0.0.1\r\nPORT=%1\r\nTLS=1\r\n").arg(server.port).toLatin1());
    // Not trusted by the system: the certificate is refused.
    EXPECT_EQ(httpGet(url("https", "/AddressInfo.dat")).error, QNetworkReply::SslHandshakeFailedError);

    // A self-signed certificate works for whoever trusts that certificate.
    server.stop();
    ASSERT_TRUE(server.start(dir.filePath("halvorn.db"), {"--tls-cert", certificates.selfSignedCert, "--tls-key", certificates.selfSignedKey}));
    EXPECT_EQ(httpGet(url("https", "/AddressInfo.dat"), certificates.selfSigned()).status, 200);
    RawClient untrusting;
    EXPECT_FALSE(untrusting.connectToTls(server.port, certificates.authority()));
    EXPECT_FALSE(untrusting.tlsErrors.isEmpty());
    RawClient trusting;
    ASSERT_TRUE(trusting.connectToTls(server.port, certificates.selfSigned()));
    EXPECT_TRUE(trusting.signIn("ann", "pw", true));
}

TEST_F(EndToEndTls, CertificatesThatCannotBeUsedStopTheStart)
{
    QFile garbage(dir.filePath("garbage.pem"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("-----BEGIN CERTIFICATE-----\nnot base64 at all\n-----END CERTIFICATE-----\n");
    garbage.close();
    const struct
    {
        QStringList options;
        const char *message;
    } cases[] = {
        {{"--tls-cert", certificates.serverCert, "--tls-key", certificates.wrongKey}, "does not belong to the certificate"},
        {{"--tls-cert", certificates.serverCert, "--tls-key", certificates.selfSignedKey}, "does not belong to the certificate"},
        {{"--tls-cert", dir.filePath("missing.pem"), "--tls-key", certificates.serverKey}, "cannot read the certificate"},
        {{"--tls-cert", certificates.serverCert, "--tls-key", dir.filePath("missing.key")}, "cannot read the key"},
        {{"--tls-cert", garbage.fileName(), "--tls-key", certificates.serverKey}, "holds no PEM certificate"},
        {{"--tls-cert", certificates.serverCert, "--tls-key", certificates.serverCert}, "holds no unencrypted PEM private key"},
        {{"--tls-cert", certificates.serverCert}, "--tls-cert and --tls-key go together"},
        {{"--allow-plain"}, "--allow-plain needs --tls-cert"},
    };
    for (const auto &c : cases) {
        ServerProcess bad;
        EXPECT_FALSE(bad.start(dir.filePath("bad.db"), c.options)) << c.message;
        bad.process.waitForFinished(10000);
        EXPECT_NE(bad.stop(), 0) << c.message;
        const QByteArray error = bad.process.readAllStandardError();
        EXPECT_TRUE(error.contains(c.message)) << error.constData();
    }
}

TEST_F(EndToEndTls, ACaptureOfTheSessionHoldsNoPassword)
{
    start({"--allow-plain"});
    const QString accountPassword = QStringLiteral("Correct-Horse-Battery-42");
    const QString projectPassword = QStringLiteral("Project-Secret-77");
    // Through a proxy that keeps what it passes: the passwords travel in
    // sign-in, new account and project records.
    const auto capture = [&](bool tls, const QString &user) {
        RecordingProxy proxy;
        EXPECT_TRUE(proxy.listen(server.port));
        RawClient c;
        const bool connected = tls ? c.connectToTls(proxy.port(), certificates.authority()) : c.connectTo(proxy.port());
        EXPECT_TRUE(connected);
        EXPECT_TRUE(c.signIn(user, accountPassword, true));
        EXPECT_TRUE(isGood(c.request("APRO", projectRecord(user + "s", {}, projectPassword))));
        EXPECT_EQ(c.socket.isEncrypted(), tls);
        c.socket.disconnectFromHost();
        return proxy.fromClient + proxy.fromServer;
    };
    const QByteArray encrypted = capture(true, QStringLiteral("ann"));
    EXPECT_GT(encrypted.size(), 500);
    EXPECT_FALSE(encrypted.contains(accountPassword.toLatin1()));
    EXPECT_FALSE(encrypted.contains(projectPassword.toLatin1()));
    EXPECT_FALSE(encrypted.contains("WELCOME TO HALVORN"));

    // The same capture of a plain session shows them: the check can fail.
    const QByteArray plain = capture(false, QStringLiteral("bob"));
    EXPECT_TRUE(plain.contains(accountPassword.toLatin1()));
    EXPECT_TRUE(plain.contains(projectPassword.toLatin1()));
}

TEST_F(AttackTls, AClientStallingMidHandshakeIsDroppedAtTheSignInDeadline)
{
    start({"--sign-in-timeout", "1"});
    // A ClientHello's record header and the start of the hello, then nothing.
    std::vector<std::unique_ptr<QTcpSocket>> stalled;
    for (int i = 0; i < 50; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(s->waitForConnected(5000));
        s->write(QByteArray::fromHex("1603010200010001fc0303") + QByteArray(20, 'r'));
        stalled.push_back(std::move(s));
    }
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(waitUntil([&] {
        return std::all_of(stalled.begin(), stalled.end(), [](auto &s) { return s->state() == QAbstractSocket::UnconnectedState; });
    }, 5000));
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(metric("halvorn_refusals_total{reason=\"sign_in_timeout\"}"), 50);
    // A TLS client signed in within the deadline stays.
    auto ann = tlsMember("ann");
    ASSERT_TRUE(ann);
    waitUntil([] { return false; }, 1500);
    EXPECT_TRUE(isGood(ann->request("ACHR", chatRecord("Still"))));
}

TEST_F(AttackTls, GarbageHalfHandshakesAndHandshakeFloodsLeaveTheServerServing)
{
    server.freedMemoryReturnsAtOnce = true;
    start({"--sign-in-timeout", "2", "--max-messages-per-second", "100000"});
    const qint64 pid = server.process.processId();
    auto bob = tlsMember("bob");
    ASSERT_TRUE(bob);
    ASSERT_TRUE(isGood(bob->request("ACHR", chatRecord("Lobby"))));
    const qint64 before = ProcStats::residentBytes(pid);

    // Random bytes after the handshake record type.
    QRandomGenerator random(30);
    for (int batch = 0; batch < 10; ++batch) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < 100; ++i) {
            auto s = std::make_unique<QTcpSocket>();
            s->connectToHost(QHostAddress::LocalHost, server.port);
            sockets.push_back(std::move(s));
        }
        for (auto &s : sockets) {
            if (!s->waitForConnected(5000))
                continue;
            QByteArray junk(random.bounded(1, 3000), '\0');
            for (char &c : junk)
                c = char(random.bounded(256));
            junk[0] = 0x16;
            s->write(junk);
            s->flush();
        }
        waitUntil([] { return false; }, 20);
    }
    // Thousands of real handshakes, most left half done.
    int handshakes = 0;
    for (int batch = 0; batch < 20; ++batch) {
        std::vector<std::unique_ptr<QSslSocket>> sockets;
        for (int i = 0; i < 100; ++i) {
            auto s = std::make_unique<QSslSocket>();
            s->setPeerVerifyMode(QSslSocket::VerifyNone);
            s->connectToHostEncrypted(QStringLiteral("127.0.0.1"), server.port);
            sockets.push_back(std::move(s));
        }
        for (size_t i = 0; i < sockets.size(); i += 10)
            handshakes += sockets[i]->waitForEncrypted(10000) ? 1 : 0;
        for (auto &s : sockets)
            s->abort();
    }
    EXPECT_EQ(handshakes, 200);
    ASSERT_EQ(server.process.state(), QProcess::Running);
    EXPECT_GE(metric("halvorn_refusals_total{reason=\"tls_handshake\"}"), 900);

    // Everyone else is still served, quickly, and the memory went back.
    QElapsedTimer roundTrip;
    roundTrip.start();
    bob->send("MCHR", chatRecord("Lobby", "still here"));
    ASSERT_TRUE(bob->waitFor("MESS", 5000));
    EXPECT_LT(roundTrip.elapsed(), 1000);
    auto ann = tlsMember("ann");
    ASSERT_TRUE(ann);
    EXPECT_TRUE(waitUntil([&] { return metric("halvorn_connections") == 2; }, 5000)) << metric("halvorn_connections");
    EXPECT_LT(ProcStats::residentBytes(pid) - before, 32 * kMiB);
}

TEST_F(AttackTls, ATlsClientThatStopsReadingIsDropped)
{
    // What waits for a TLS client counts whether it is encrypted yet or not.
    start({"--max-output-per-connection", "4"});
    auto ann = tlsMember("ann");
    ASSERT_TRUE(ann);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Big", {}, "pw"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Big", "big.bin") + EncodeString(QByteArray(kMiB, 'b')), 20000)));
    auto sleeper = tlsMember("sleeper");
    ASSERT_TRUE(sleeper);
    ASSERT_TRUE(isGood(sleeper->request("JPRO", projectRecord("Big", {}, "pw"))));
    sleeper->socket.setReadBufferSize(1024);
    for (int k = 0; k < 40; ++k)
        sleeper->send("GTFD", projectRecord("Big", "big.bin"));
    EXPECT_TRUE(waitUntil([&] { return metric("halvorn_refusals_total{reason=\"not_reading\"}") == 1; }, 10000));
    EXPECT_TRUE(ann->request("GTFD", projectRecord("Big", "big.bin"), 20000));
}
