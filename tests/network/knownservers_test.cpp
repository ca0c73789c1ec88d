// The servers whose certificates the user confirmed: the file, read
// defensively and rewritten whole, and the verdict on a certificate that
// did not verify.
#include "knownservers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace Quorvant::Network;
using Verdict = CertificateCheck::Verdict;

namespace {

QByteArray sha(char fill)
{
    return QByteArray(32, fill);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

CertificateProblem selfSigned(const QByteArray &sha256)
{
    return {sha256, true, {QStringLiteral("The certificate is self-signed, and untrusted")}};
}

class KnownServers : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("KnownServers.dat"));
    TKnownServers known{path};
};

TEST_F(KnownServers, RememberedFingerprintsAreFoundByHostAndPort)
{
    EXPECT_FALSE(known.fingerprint("halvorn.example.org", 5000)) << "no file yet";
    ASSERT_TRUE(known.remember("halvorn.example.org", 5000, sha('\x01')));
    ASSERT_TRUE(known.remember("::1", 5000, sha('\x02')));
    ASSERT_TRUE(known.remember("HALVORN.example.org", 5000, sha('\xab')));  // replaces the first
    EXPECT_EQ(known.fingerprint("Halvorn.Example.org", 5000), sha('\xab'));
    EXPECT_FALSE(known.fingerprint("halvorn.example.org", 5001));
    EXPECT_EQ(known.fingerprint("::1", 5000), sha('\x02'));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("# ")) << "the file explains itself";
    EXPECT_TRUE(text.contains("\r\nHALVORN.example.org 5000 " + sha('\xab').toHex(':').toUpper() + "\r\n"));
    EXPECT_EQ(text.count("5000 "), 2) << text.constData();
    EXPECT_EQ(TKnownServers::fingerprintText(QByteArray::fromHex("00ff10")), "00:FF:10");
    EXPECT_EQ(TKnownServers::serverText("::1", 443), "[::1]:443");
}

TEST_F(KnownServers, DamagedLinesArePassedOverAndTheUsersLinesKept)
{
    const QByteArray good = sha('\x11').toHex(':');
    write(path, "# my servers\n"
                "ok.example 5000 " + good + "\n"
                "short.example 5000 " + good.left(good.size() - 3) + "\n"
                "nohex.example 5000 " + good.left(good.size() - 2) + "zz\n"
                "noseparators.example 5000 " + sha('\x11').toHex() + "\n"
                "badport.example 70000 " + good + "\n"
                "extra.example 5000 " + good + " more\n"
                "\x01\xff\n"
                "\r\n"
                "spaced.example   5001\t" + good + "  \r\n");
    EXPECT_EQ(known.fingerprint("ok.example", 5000), sha('\x11'));
    EXPECT_EQ(known.fingerprint("spaced.example", 5001), sha('\x11'));
    for (const char *host : {"short.example", "nohex.example", "noseparators.example", "extra.example"})
        EXPECT_FALSE(known.fingerprint(host, 5000)) << host;
    EXPECT_FALSE(known.fingerprint("badport.example", 70000 % 65536));

    ASSERT_TRUE(known.remember("new.example", 6000, sha('\x22')));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("# my servers\r\nok.example 5000 ")) << text.constData();
    EXPECT_TRUE(text.contains("badport.example 70000")) << "not ours to drop";
    EXPECT_EQ(known.fingerprint("ok.example", 5000), sha('\x11'));
    EXPECT_EQ(known.fingerprint("new.example", 6000), sha('\x22'));

    // Only the first 256 KB are read.
    write(path, QByteArray(TKnownServers::kMaxFileSize, '#') + "\nlate.example 5000 " + good + "\n");
    EXPECT_FALSE(known.fingerprint("late.example", 5000));
    EXPECT_FALSE(known.remember("late.example", 5000, sha('\x33'))) << "a file it cannot read whole is left alone";
}

TEST_F(KnownServers, AFileThatCannotBeWrittenChangesNothing)
{
    const TKnownServers nowhere(dir.filePath("missing/KnownServers.dat"));
    EXPECT_FALSE(nowhere.remember("a.example", 5000, sha('\x01')));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
    EXPECT_FALSE(known.remember("a b", 5000, sha('\x01'))) << "a host that would break the line";
    EXPECT_FALSE(known.remember("a.example", 5000, QByteArray(20, '\x01'))) << "not a SHA-256";
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(KnownServers, VerdictOnACertificateThatDidNotVerify)
{
    ASSERT_TRUE(known.remember("pinned.example", 5000, sha('\x01')));
    struct Case
    {
        const char *host;
        quint16 port;
        CertificateProblem problem;
        Verdict verdict;
    };
    const Case cases[] = {
        {"pinned.example", 5000, selfSigned(sha('\x01')), Verdict::Trusted},
        {"PINNED.example", 5000, selfSigned(sha('\x01')), Verdict::Trusted},
        {"pinned.example", 5000, selfSigned(sha('\x02')), Verdict::Changed},
        {"other.example", 5000, selfSigned(sha('\x01')), Verdict::Unknown},
        // A wrong name or an expired certificate is never the user's to accept.
        {"pinned.example", 5000, {sha('\x01'), false, {"The host name did not match"}}, Verdict::Refused},
        {"other.example", 5000, {sha('\x03'), false, {"The certificate has expired"}}, Verdict::Refused},
        {"other.example", 5000, {{}, true, {"No certificate"}}, Verdict::Refused},
    };
    for (const Case &c : cases) {
        const CertificateCheck check = known.check(c.host, c.port, c.problem);
        EXPECT_EQ(check.verdict, c.verdict) << c.host;
        EXPECT_EQ(check.presented, c.problem.sha256);
        EXPECT_EQ(check.errors, c.problem.errors);
    }
    const CertificateCheck changed = known.check("pinned.example", 5000, selfSigned(sha('\x02')));
    EXPECT_EQ(changed.trusted, sha('\x01'));
    const QString text = known.changedText(changed);
    EXPECT_TRUE(text.contains(TKnownServers::fingerprintText(sha('\x01'))));
    EXPECT_TRUE(text.contains(TKnownServers::fingerprintText(sha('\x02'))));
    EXPECT_TRUE(text.contains("\"pinned.example 5000 ...\" from \"" + path + "\"")) << text.toStdString();
    EXPECT_TRUE(known.questionText(known.check("other.example", 5000, selfSigned(sha('\x01'))))
                    .contains(TKnownServers::fingerprintText(sha('\x01'))));
    EXPECT_EQ(known.fingerprint("other.example", 5000), std::nullopt) << "a check stores nothing";
}

TEST_F(KnownServers, ACertificateConfirmedForTheHostIsTrustedOnItsOtherPorts)
{
    // The address service and the protocol of one server share it.
    ASSERT_TRUE(known.remember("halvorn.example.org", 443, sha('\x01')));
    EXPECT_EQ(known.check("halvorn.example.org", 5000, selfSigned(sha('\x01'))).verdict, Verdict::Trusted);
    EXPECT_EQ(known.fingerprint("halvorn.example.org", 5000), sha('\x01')) << "and recorded for that port";
    EXPECT_EQ(known.check("halvorn.example.org", 5001, selfSigned(sha('\x02'))).verdict, Verdict::Unknown);
    EXPECT_EQ(known.check("elsewhere.example", 5000, selfSigned(sha('\x01'))).verdict, Verdict::Unknown);
}

} // namespace
