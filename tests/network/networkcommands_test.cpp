// Reading the address file.
#include "networkcommands.h"
#include "networkglobals.h"
#include "serveraddress.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace Quorvant::Network;

TEST(GetIpAndPort, ReadsTheValuesAfterTheFirstEquals)
{
    QTemporaryDir dir;
    struct Case { QByteArray content; bool ok; const char *ip; const char *port; bool tls = false; };
    const Case cases[] = {
        {"IP=10.0.0.5\r\nPORT=4500\r\n", true, "10.0.0.5", "4500"},
        {"IP=10.0.0.5\nPORT=4500", true, "10.0.0.5", "4500"},
        {"server=1.2.3.4=ignored\r\nport=80\r\nmore lines\r\n", true, "1.2.3.4", "80"},
        {"no equals\r\nPORT=1\r\n", true, "", "1"},
        {"", false, "", ""},
        {"IP=1.2.3.4\r\n", false, "", ""},
        {"IP=1.2.3.4", false, "", ""},
        {"IP=1.2.3.4\r\n\r\n", false, "", ""},
        {"\r\nPORT=4500\r\n", false, "", ""},
        // A third line asks for TLS; files of two lines stay plain.
        {"IP=10.0.0.5\r\nPORT=4500\r\nTLS=1\r\n", true, "10.0.0.5", "4500", true},
        {"IP=10.0.0.5\nPORT=4500\ntls = 1", true, "10.0.0.5", "4500", true},
        {"IP=10.0.0.5\r\nPORT=4500\r\nmore\r\nTLS=1\r\n", true, "10.0.0.5", "4500", true},
        {"IP=10.0.0.5\r\nPORT=4500\r\nTLS=0\r\n", true, "10.0.0.5", "4500", false},
        {"IP=10.0.0.5\r\nPORT=4500\r\nTLS=yes\r\n", true, "10.0.0.5", "4500", false},
        {"IP=10.0.0.5\r\nTLS=1\r\n", true, "10.0.0.5", "1", false},
        {"TLS=1\r\n", false, "", ""},
    };
    for (const Case &c : cases) {
        resetNetworkGlobals();
        bool tls = !c.tls;  // whatever an earlier file said is replaced
        const QString path = dir.filePath("AddressInfo.Dat");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        EXPECT_EQ(TNetworkCommands::GetIpAndPort(path, &tls), c.ok) << c.content.constData();
        EXPECT_EQ(gHalvornIPAddress, c.ip) << c.content.constData();
        EXPECT_EQ(gHalvornPort, c.port) << c.content.constData();
        if (c.ok) {
            EXPECT_EQ(tls, c.tls) << c.content.constData();
        }
    }
    EXPECT_FALSE(TNetworkCommands::GetIpAndPort(dir.filePath("missing.dat")));
}

// Further servers: "SERVER=ADDRESS:PORT" lines, in order, checked one by one;
// a damaged entry is passed over with a line for the log, never the file.
TEST(GetIpAndPort, FurtherServersAreReadInOrderAndBadEntriesPassedOverWithAReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AddressInfo.Dat");
    struct Case
    {
        QByteArray content;
        QStringList servers;  // the further servers, as text
        QStringList skipped;  // what the log lines name, in order
        bool tls = false;
    };
    const QByteArray head = "IP=10.0.0.1\r\nPORT=4500\r\n";
    QByteArray many = head;
    QStringList fifteen;
    for (int i = 2; i <= 20; ++i) {
        many += "SERVER=10.0.0." + QByteArray::number(i) + ":4500\r\n";
        if (fifteen.size() < kMaxAddressFileServers - 1)
            fifteen.append(QStringLiteral("10.0.0.%1:4500").arg(i));
    }
    const Case cases[] = {
        // Old files name one server.
        {head, {}, {}},
        {head + "TLS=1\r\n", {}, {}, true},
        // In the file's order, around other keys, the key in any case.
        {head + "SERVER=10.0.0.2:4501\r\nTLS=1\r\nserver = 10.0.0.3:4502\r\nOTHER=1\r\nSERVER=[::1]:4503\n",
         {"10.0.0.2:4501", "10.0.0.3:4502", "[::1]:4503"}, {}, true},
        // Damaged entries go, the good ones after them stay.
        {head + "SERVER=halvorn.example.org:4500\r\nSERVER=10.0.0.2\r\nSERVER=10.0.0.2:0\r\n"
                "SERVER=10.0.0.2:65536\r\nSERVER=10.0.0.2:45a\r\nSERVER=::1:4500\r\nSERVER=[::1:4500\r\n"
                "SERVER=\r\nSERVER=10.0.0.2 :4500\r\nSERVER=10.0.0.9:4500\r\n",
         {"10.0.0.9:4500"},
         {"halvorn.example.org:4500", "SERVER=10.0.0.2\"", "10.0.0.2:0", "10.0.0.2:65536", "10.0.0.2:45a", "::1:4500",
          "[::1:4500", "SERVER=\"", "10.0.0.2 :4500"}},
        // Each server once; the first is not named again.
        {head + "SERVER=10.0.0.2:4500\r\nSERVER=10.0.0.1:4500\r\nSERVER=10.0.0.2:4500\r\nSERVER=10.0.0.1:4501\r\n",
         {"10.0.0.2:4500", "10.0.0.1:4501"}, {"10.0.0.1:4500", "10.0.0.2:4500"}},
        // At most kMaxAddressFileServers, the rest passed over in one line.
        {many, fifteen, {"10.0.0.17:4500"}},
        // Control characters are not written to the log as they came.
        {head + "SERVER=\x1b[2J" + QByteArray(300, 'x') + "\r\n", {}, {"SERVER=?[2Jxxx"}},
    };
    for (const Case &c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        const std::optional<TAddressFile> read = TNetworkCommands::ReadAddressFile(path);
        ASSERT_TRUE(read.has_value()) << c.content.constData();
        EXPECT_EQ(read->ip, "10.0.0.1");
        EXPECT_EQ(read->port, "4500");
        EXPECT_EQ(read->tls, c.tls) << c.content.constData();
        QStringList servers;
        for (const ServerAddress &server : read->moreServers)
            servers.append(server.text());
        EXPECT_EQ(servers, c.servers) << c.content.constData();
        ASSERT_EQ(read->skipped.size(), c.skipped.size()) << read->skipped.join('\n').toStdString();
        for (qsizetype i = 0; i < c.skipped.size(); ++i) {
            EXPECT_TRUE(read->skipped[i].startsWith("Address file: \"")) << read->skipped[i].toStdString();
            EXPECT_TRUE(read->skipped[i].contains(c.skipped[i])) << read->skipped[i].toStdString();
            EXPECT_LT(read->skipped[i].size(), 200) << "one line's worth";
            EXPECT_FALSE(read->skipped[i].contains(QChar(0x1b)));
        }
    }
    // What the server writes is what the program reads.
    EXPECT_EQ(ServerAddress::fromText(u"[2001:db8::2]:4500"), (ServerAddress{"2001:db8::2", 4500}));
    EXPECT_EQ((ServerAddress{"2001:db8::2", 4500}.text()), "[2001:db8::2]:4500");
    EXPECT_EQ((ServerAddress{"192.0.2.7", 1}.text()), "192.0.2.7:1");
}
