// Reading the address file.
#include "networkcommands.h"
#include "networkglobals.h"

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
        if (c.ok)
            EXPECT_EQ(tls, c.tls) << c.content.constData();
    }
    EXPECT_FALSE(TNetworkCommands::GetIpAndPort(dir.filePath("missing.dat")));
}
