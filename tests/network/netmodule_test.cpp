// The network as a module loaded on first use: the address literal check
// that replaces Qt Network's, nothing loaded by creating the client or the
// lookup, and a missing module failing like an unreachable server.
#include "addresslookup.h"
#include "client.h"
#include "networklog.h"
#include "taddressliteral.h"
#include "tnetmoduleloader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Quorvant::Network;

namespace {

TEST(AddressLiteral, AcceptsWhatTheSocketLayerAccepts)
{
    const char *cases[] = {
        // IPv4, dotted and the short and based forms inet_aton reads
        "127.0.0.1", "0.0.0.0", "255.255.255.255", "256.0.0.1", "1.2.3", "127.1", "2130706433", "4294967296",
        "1.2.3.4.5", "1.2.3.", ".1.2.3", "1..2.3", "010.0.0.1", "08.0.0.1", "0x7f.1", "0x.1.2.3", "0b101.1",
        "1.65535", "1.65536", "1.2.65535", "1.2.65536", "+1.2.3.4", "-1.2.3.4", "1.-0.3.4", "1. 2.3.4",
        "1 .2.3.4", "  10.0.0.2  ", "1.2.3.4a", "one.two", "",
        // IPv6
        "::", "::1", "1::", "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7", "1:2:3:4:5:6:7:8:9", "1::8", "1:2:3:4::5:6:7:8",
        "1:2:3:4:5:6:7:8::", "::1:2:3:4:5:6:7:8", "::2:3:4:5:6:7:8", "1:2:3:4:5:6:7::", "1:::2", ":::", ":1::",
        "1::2::3", "12345::", "abcd:EF01::", "g::", "0x1:2::", "+1::", "1: 2::", "::ffff:1.2.3.4", "::1.2.3.4",
        "1:2:3:4:5:6:1.2.3.4", "1::2:3:4:5:6:1.2.3.4", "::1.2.3", "::01.2.3.4", "::1.2.3.4.5", "1.2.3.4::",
        "::1.2.3.4:5", "::256.1.1.1", "fe80::1%eth0", "::%", "1%eth0", ":", "1:",
        // non-ASCII digits are no digits here
        "\xd9\xa1.2.3.4", "caf\xc3\xa9::",
    };
    for (const char *c : cases) {
        const QString text = QString::fromUtf8(c);
        QHostAddress reference;
        const bool expected = reference.setAddress(text);
        EXPECT_EQ(TAddressLiteral::isValid(text), expected) << c;
    }
}

TEST(AddressLiteral, RefusesTextAfterAFullIPv6Address)
{
    // Qt Network lets anything through after eight groups when the text ends
    // in "::"; an address that is partly garbage is refused here.
    const QString garbage = QStringLiteral("1:2:3:4:5:6:7:8:zz::");
    QHostAddress reference;
    EXPECT_TRUE(reference.setAddress(garbage)) << "the behaviour this check deliberately differs from";
    EXPECT_FALSE(TAddressLiteral::isValid(garbage));
    EXPECT_FALSE(TAddressLiteral::isValid(QStringLiteral("1:2:3:4:5:6:7:8:9::")));
}

// Points the loader at a module file that is not there.
class WithoutNetModule : public ::testing::Test
{
protected:
    void SetUp() override { qputenv("QUORVANT_NET_MODULE", missing.toLocal8Bit()); }
    void TearDown() override { qunsetenv("QUORVANT_NET_MODULE"); }
    QString missing = QStringLiteral("/nonexistent/quorvant/libquorvant_netmodule.so");
};

TEST_F(WithoutNetModule, TheLoaderSaysWhy)
{
    EXPECT_EQ(TNetModuleLoader::candidates(), QStringList{missing});
    QString error;
    EXPECT_EQ(TNetModuleLoader::factory(&error), nullptr);
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

TEST_F(WithoutNetModule, AConnectionAttemptEndsWithNoConnection)
{
    TNetworkLog log;
    QStringList disconnects;
    TClient client(&log, nullptr, [&](const QString &reason, TClient &) { disconnects.append(reason); }, nullptr);
    client.ClientSendMessage("PING", "x");
    EXPECT_TRUE(client.ClientConnect("127.0.0.1", 4000)) << "the attempt starts; its outcome comes later";
    EXPECT_TRUE(disconnects.isEmpty()) << "not reported before returning";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !disconnects.isEmpty(); }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(disconnects, QStringList{"Disconnected"});
    EXPECT_FALSE(client.isConnected());
    EXPECT_TRUE(client.queuedPackets().isEmpty());
    const QStringList lines = log.lines();
    EXPECT_TRUE(lines.contains("*Contacting Server..."));
    EXPECT_EQ(lines.last(), "*No Connection");
    EXPECT_FALSE(client.ClientConnect("not an address", 4000)) << "checked without the module";
    EXPECT_EQ(log.lines().last(), "Connection Failed: Invalid IP address");
}

TEST_F(WithoutNetModule, TheAddressLookupFailsAsAnUnreachableService)
{
    QTemporaryDir dir;
    TAddressLookup lookup;
    QSignalSpy finished(&lookup, &TAddressLookup::finished);
    lookup.fetch(QStringLiteral("http://127.0.0.1:9/"), dir.filePath(QStringLiteral("AddressInfo.dat")));
    EXPECT_EQ(finished.count(), 0) << "not reported before returning";
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0), (QVariantList{false, true}));
    EXPECT_FALSE(lookup.isRunning());
}

TEST(NetModule, CreatingTheClientAndTheLookupLoadsNothing)
{
    if (TNetModuleLoader::loaded())
        GTEST_SKIP() << "an earlier test in this process loaded the module";
    TNetworkLog log;
    TClient client(&log, nullptr, nullptr, nullptr);
    client.ClientSendMessage("PING", "x");
    TAddressLookup lookup;
    EXPECT_FALSE(client.isConnected());
    EXPECT_FALSE(lookup.isRunning());
    EXPECT_FALSE(TNetModuleLoader::loaded());
    // The first attempt loads it, from the build tree.
    ASSERT_TRUE(client.ClientConnect("127.0.0.1", 9));
    EXPECT_TRUE(TNetModuleLoader::loaded());
}

bool tlsLibraryLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libssl");
}

TEST(NetModule, APlainConnectionDoesNotLoadTheTlsLibrary)
{
    if (tlsLibraryLoaded())
        GTEST_SKIP() << "an earlier test in this process loaded it";
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TClient client(nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(client.ClientConnect("127.0.0.1", server.serverPort()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.isConnected(); }, 5000));
    EXPECT_FALSE(client.isEncrypted());
    EXPECT_FALSE(tlsLibraryLoaded());
}

} // namespace
