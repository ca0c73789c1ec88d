// The program on TLS against the real halvorn-server on 127.0.0.1, with
// certificates the test makes with openssl: an https address service, the
// address file's "TLS=1", trust on first use of a self-signed certificate,
// a changed one refused, a test authority trusted through QUORVANT_CA_FILE,
// and the network page's mark of an encrypted connection.
#include "mainwindowtest.h"
#include "addnewproject.h"
#include "addresslookup.h"
#include "appglobals.h"
#include "chatroommenu.h"
#include "client.h"
#include "datafolder.h"
#include "documentset.h"
#include "halvornnetwork.h"
#include "halvornnetworkmonitor.h"
#include "knownservers.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "networkglobals.h"
#include "networklog.h"
#include "projectfilemanager.h"
#include "serverfailover.h"
#include "serverprocess.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "projectsteps.h"
#include "waituntil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSslCertificate>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

using namespace Quorvant;
using namespace Quorvant::Network;

// Named: the test files of this program are built as one unit.
namespace TlsSignInTest {

bool openssl(const QStringList &arguments, const QString &folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("openssl"), arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "openssl " << arguments.join(' ').toStdString() << ": " << p.readAll().constData();
        return false;
    }
    return true;
}

// A certificate and its key, made in a folder of the test.
struct CertificateFiles
{
    QString cert;
    QString key;
    QByteArray sha256() const
    {
        const QList<QSslCertificate> certs = QSslCertificate::fromPath(cert);
        return certs.isEmpty() ? QByteArray() : certs.first().digest(QCryptographicHash::Sha256);
    }
    QString fingerprint() const { return TKnownServers::fingerprintText(sha256()); }
};

const QStringList kEcKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};

// Self-signed, for the names in `san` (e.g. "IP:127.0.0.1").
CertificateFiles selfSigned(const QString &folder, const QString &name, const QString &san)
{
    CertificateFiles f{folder + "/" + name + ".pem", folder + "/" + name + ".key"};
    openssl(QStringList{"req", "-x509"} + kEcKey
                + QStringList{"-keyout", f.key, "-out", f.cert, "-days", "2", "-subj", "/CN=" + name, "-addext",
                              "subjectAltName=" + san},
            folder);
    return f;
}

// An authority, and certificates it signs.
struct TestAuthority
{
    CertificateFiles ca;
    QString folder;
    bool make(const QString &dir)
    {
        folder = dir;
        ca = {dir + "/ca.pem", dir + "/ca.key"};
        return openssl(QStringList{"req", "-x509"} + kEcKey
                           + QStringList{"-keyout", ca.key, "-out", ca.cert, "-days", "2", "-subj", "/CN=Halvorn Test CA",
                                         "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                                         "keyUsage=critical,keyCertSign,cRLSign"},
                       dir);
    }
    CertificateFiles sign(const QString &name, const QString &san) const
    {
        CertificateFiles f{folder + "/" + name + ".pem", folder + "/" + name + ".key"};
        const QString csr = folder + "/" + name + ".csr";
        const QString ext = folder + "/" + name + ".ext";
        QFile e(ext);
        if (e.open(QIODevice::WriteOnly))
            e.write("subjectAltName=" + san.toLatin1() + "\nextendedKeyUsage=serverAuth\n");
        e.close();
        openssl(QStringList{"req"} + kEcKey + QStringList{"-keyout", f.key, "-out", csr, "-subj", "/CN=" + name},
                folder);
        openssl({"x509", "-req", "-in", csr, "-CA", ca.cert, "-CAkey", ca.key, "-CAcreateserial", "-out", f.cert,
                 "-days", "2", "-extfile", ext},
                folder);
        return f;
    }
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// The main window over a data folder of its own, and halvorn-server with
// the certificate a test gives it.
class TlsSignIn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("data"));
        QDir().mkpath(dir.filePath("certs"));
        DataFolder::setPath(dir.filePath("data"));
        resetAppGlobals();
        resetNetworkGlobals();
        Quorvant::gUserName.clear();
        Quorvant::gPassword.clear();
        window = Quorvant::Test::openMainWindow(&settings, QSize(1000, 700));
        network = window->findChild<THalvornNetwork *>(QStringLiteral("HalvornNetwork"));
        ASSERT_NE(network, nullptr);
        ensureBuilt(window->tabholder()->findChild<QWidget *>(QStringLiteral("NetworkPage")));
    }
    void TearDown() override
    {
        Quorvant::Test::closeMainWindow(window, &settings);
        resetNetworkGlobals();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qunsetenv("QUORVANT_CA_FILE");
    }

    QString certs() const { return dir.filePath("certs"); }
    QString knownServersFile() const { return dir.filePath("data/KnownServers.dat"); }
    // halvorn-server on TLS; the address service is asked over https unless
    // `plainService` (then the server must allow plain clients too).
    void startServer(const CertificateFiles &cert, bool plainService = false)
    {
        server.stop();
        QStringList extra{"--tls-cert", cert.cert, "--tls-key", cert.key};
        if (plainService)
            extra.append("--allow-plain");
        ASSERT_TRUE(server.start(dir.filePath("halvorn.db"), extra)) << server.process.readAllStandardError().constData();
        Quorvant::gLookupAddress = (plainService ? QStringLiteral("") : QStringLiteral("https://"))
                                   + QStringLiteral("127.0.0.1:") + QString::number(server.httpPort);
    }

    bool connectedViewShown() const
    {
        auto *views = window->findChild<QStackedWidget *>(QStringLiteral("NetworkViews"));
        return views && views->currentIndex() == 1;
    }
    bool markShown(const char *name) const
    {
        auto *mark = window->findChild<QLabel *>(QLatin1String(name));
        return mark && !mark->isHidden();
    }
    // Creates the account through the login dialog; `more` answers what
    // comes after the re-typed password.
    void startJoin(const QString &user, const QString &password, const QList<DialogAnswer> &more = {})
    {
        window->findChild<QPushButton *>(QStringLiteral("NetworkConnectButton"))->click();
        auto *login = window->findChild<THalvornNetworkMonitor *>();
        ASSERT_NE(login, nullptr);
        login->UserNameEdit->setText(user);
        login->PasswordEdit->setText(password);
        MessageService::queueAnswers(QList<DialogAnswer>{DialogAnswer::pressed(mbYes), DialogAnswer::typed(password)}
                                     + more);
        login->Join();
    }
    // The message boxes shown until `done`, or until a wait of `ms`.
    template<typename F>
    QList<RecordedDialog> boxesUntil(F done, int ms = 10000)
    {
        QList<RecordedDialog> seen;
        waitUntil([&] {
            seen += MessageService::takeRecorded();
            return done(seen);
        }, ms);
        return seen;
    }
    static QList<RecordedDialog> withText(const QList<RecordedDialog> &boxes, const QString &part)
    {
        QList<RecordedDialog> out;
        for (const RecordedDialog &d : boxes)
            if (d.text.contains(part))
                out.append(d);
        return out;
    }
    QString shownServer(bool http) const
    {
        return QStringLiteral("127.0.0.1:") + QString::number(http ? server.httpPort : server.port);
    }

    QTemporaryDir dir;
    std::unique_ptr<TSetupTools> settings;
    std::unique_ptr<TForm1> window;
    THalvornNetwork *network = nullptr;
    ServerProcess server;
};

TEST_F(TlsSignIn, ASelfSignedCertificateIsConfirmedOnceThenSignInChatAndBookOutRunOverTls)
{
    const CertificateFiles cert = selfSigned(certs(), "halvorn", "IP:127.0.0.1");
    startServer(cert);
    startJoin("alice", "pw", {DialogAnswer::pressed(mbYes)});
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &) { return connectedViewShown(); });
    ASSERT_TRUE(connectedViewShown());
    // One question for the service and the protocol, which share the
    // certificate: its fingerprint and where it came from.
    const QList<RecordedDialog> questions = withText(boxes, cert.fingerprint());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].text.contains("SHA-256 fingerprint:\n" + cert.fingerprint()));
    EXPECT_TRUE(questions[0].text.contains("The server " + shownServer(true) + " sent a certificate"));
    EXPECT_EQ(questions[0].icon, MessageIcon::Warning);
    EXPECT_EQ(questions[0].buttons, YesNo);
    // Remembered for both ports.
    const TKnownServers known(knownServersFile());
    EXPECT_EQ(known.fingerprint("127.0.0.1", server.httpPort), cert.sha256());
    EXPECT_EQ(known.fingerprint("127.0.0.1", server.port), cert.sha256());

    ASSERT_NE(gMyClient, nullptr);
    EXPECT_TRUE(gMyClient->isEncrypted());
    EXPECT_TRUE(markShown("EncryptedMark"));
    EXPECT_FALSE(markShown("NotEncryptedMark"));
    EXPECT_TRUE(network->networkStatusMemo()->toPlainText().contains("*Encrypted connection (TLS)"));

    // Chat.
    network->chatCommand("/join lobby");
    ASSERT_TRUE(waitUntil([&] { return network->GetChatRoom("LOBBY") != nullptr; }));
    TChatRoomMenu *room = network->GetChatRoom("LOBBY");
    room->ChatEdit->setText("over tls");
    QTest::keyClick(room->ChatEdit, Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("over tls"); }));

    // A project, a file shared into it and booked out.
    ASSERT_TRUE(createProjectOnThePage(window.get(), "Site", "Secret"));
    const QString local = dir.filePath("local");
    writeFile(local + "/a.htm", "<p>sent over TLS</p>");
    network->openFileManager();
    TProjectFileManager *manager = network->fileManager();
    ASSERT_NE(manager, nullptr);
    manager->setLocalFolder(local);
    manager->selectLocalFiles({"a.htm"});
    manager->AddFileToProject();
    ASSERT_TRUE(waitUntil([&] { return !manager->uploading() && manager->fileList().size() == 1; }));
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileOut();
    ASSERT_TRUE(waitUntil([&] { return network->bookedOut("Site", "a.htm"); }));
    EXPECT_EQ(readFile(dir.filePath("data/Shared/Site/a.htm")), "<p>sent over TLS</p>");
    EXPECT_EQ(window->documents()->PagesOpen(), 1);

    // Signing in again asks nothing: the certificate is known.
    manager->close();
    MessageService::resetTestHook();
    network->disconnectFromNetwork();
    ASSERT_FALSE(connectedViewShown());
    EXPECT_FALSE(markShown("EncryptedMark"));
    MessageService::takeRecorded();
    network->ConnectToHalvorn("alice", "pw");
    const QList<RecordedDialog> again = boxesUntil([&](const auto &) { return connectedViewShown(); });
    ASSERT_TRUE(connectedViewShown());
    EXPECT_TRUE(withText(again, cert.fingerprint()).isEmpty());
    EXPECT_TRUE(gMyClient->isEncrypted());
}

TEST_F(TlsSignIn, DecliningTheCertificateStoresNothingAndConnectsNothing)
{
    const CertificateFiles cert = selfSigned(certs(), "halvorn", "IP:127.0.0.1");
    startServer(cert);
    startJoin("bob", "pw", {DialogAnswer::pressed(mbNo)});
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &seen) {
        return !withText(seen, cert.fingerprint()).isEmpty();
    });
    ASSERT_EQ(withText(boxes, cert.fingerprint()).size(), 1);
    QTest::qWait(300);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty()) << "no error box after the answer";
    EXPECT_FALSE(QFile::exists(knownServersFile()));
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_FALSE(connectedViewShown());
    EXPECT_FALSE(network->lookup()->isRunning());
}

TEST_F(TlsSignIn, AConfirmationThatCannotBeKeptConnectsNothing)
{
    const CertificateFiles cert = selfSigned(certs(), "halvorn", "IP:127.0.0.1");
    startServer(cert);
    ASSERT_TRUE(QDir().mkpath(knownServersFile()));  // a folder where the file goes
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    network->ConnectToHalvorn("frank", "pw");
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &seen) { return seen.size() >= 2; });
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].text.contains(cert.fingerprint()));
    EXPECT_EQ(boxes[1].text, "The certificate could not be remembered in \"" + knownServersFile()
                                 + "\", so the connection was not made.");
    EXPECT_EQ(boxes[1].icon, MessageIcon::Error);
    QTest::qWait(200);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty()) << "asked once, not again and again";
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_FALSE(connectedViewShown());
}

TEST_F(TlsSignIn, AChangedCertificateIsRefusedNamingBothFingerprints)
{
    const CertificateFiles cert = selfSigned(certs(), "halvorn", "IP:127.0.0.1");
    startServer(cert);
    const QString wrong = TKnownServers::fingerprintText(QByteArray(32, '\x5a'));
    // The address service's certificate changed, then the server's alone.
    for (const bool http : {true, false}) {
        SCOPED_TRACE(http ? "address service" : "server");
        const QByteArray right = cert.fingerprint().toLatin1();
        const QByteArray stored = "127.0.0.1 " + QByteArray::number(server.httpPort) + ' '
                                  + (http ? wrong.toLatin1() : right) + "\r\n" + "127.0.0.1 "
                                  + QByteArray::number(server.port) + ' ' + wrong.toLatin1() + "\r\n";
        writeFile(knownServersFile(), stored);
        MessageService::resetTestHook();
        network->ConnectToHalvorn("carol", "pw");
        const QList<RecordedDialog> boxes = boxesUntil([&](const auto &seen) { return !seen.isEmpty(); });
        ASSERT_EQ(boxes.size(), 1);
        const QString text = boxes[0].text;
        EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
        EXPECT_EQ(boxes[0].buttons, mbOK) << "no way to go on";
        EXPECT_TRUE(text.contains("The certificate of the server " + shownServer(http) + " has changed"))
            << text.toStdString();
        EXPECT_TRUE(text.contains("Confirmed fingerprint (SHA-256):\n" + wrong));
        EXPECT_TRUE(text.contains("Fingerprint sent now:\n" + cert.fingerprint()));
        EXPECT_TRUE(text.contains("remove the line \"127.0.0.1 " + QString::number(http ? server.httpPort : server.port)
                                  + " ...\" from \"" + knownServersFile() + "\""));
        QTest::qWait(200);
        EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
        EXPECT_EQ(gMyClient, nullptr);
        EXPECT_FALSE(connectedViewShown());
        EXPECT_EQ(readFile(knownServersFile()), stored) << "what the user confirmed stays as it was";
    }
}

TEST_F(TlsSignIn, TheAddressFilesTlsLineMakesAPlainServiceLeadToTls)
{
    const CertificateFiles cert = selfSigned(certs(), "halvorn", "IP:127.0.0.1");
    startServer(cert, true);
    ASSERT_FALSE(gLookupAddress.startsWith("https"));
    startJoin("dave", "pw", {DialogAnswer::pressed(mbYes)});
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &) { return connectedViewShown(); });
    ASSERT_TRUE(connectedViewShown());
    // Only the protocol was on TLS.
    const QList<RecordedDialog> questions = withText(boxes, cert.fingerprint());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].text.contains("The server " + shownServer(false) + " sent"));
    // Checked for the service's name, here its address.
    EXPECT_EQ(network->lookup()->tlsPeerName(), "127.0.0.1");
    EXPECT_TRUE(gMyClient->isEncrypted());
    EXPECT_TRUE(markShown("EncryptedMark"));
    EXPECT_FALSE(markShown("NotEncryptedMark"));
}

TEST_F(TlsSignIn, AnAuthorityTheProgramTrustsVouchesOnlyForTheNameTheUserGave)
{
    TestAuthority authority;
    ASSERT_TRUE(authority.make(certs()));
    // Trusted by the program, not by this machine.
    qputenv("QUORVANT_CA_FILE", authority.ca.cert.toLocal8Bit());

    // The certificate names the host the user gave, not the address the
    // address file gives.
    startServer(authority.sign("right", "DNS:localhost"));
    Quorvant::gLookupAddress = QStringLiteral("https://localhost:") + QString::number(server.httpPort);
    startJoin("erin", "pw");
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &) { return connectedViewShown(); });
    ASSERT_TRUE(connectedViewShown()) << "verified without asking";
    EXPECT_TRUE(withText(boxes, "fingerprint").isEmpty());
    EXPECT_EQ(gHalvornIPAddress, "127.0.0.1");
    EXPECT_EQ(network->lookup()->tlsPeerName(), "localhost");
    EXPECT_TRUE(gMyClient->isEncrypted());
    EXPECT_FALSE(QFile::exists(knownServersFile()));
    network->disconnectFromNetwork();

    // The same authority's certificate for another name is refused, and is
    // not the user's to accept.
    const CertificateFiles other = authority.sign("other", "DNS:other.example");
    startServer(other);
    MessageService::resetTestHook();
    network->ConnectToHalvorn("erin", "pw");
    const QList<RecordedDialog> refused = boxesUntil([&](const auto &seen) { return !seen.isEmpty(); });
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0].icon, MessageIcon::Error);
    EXPECT_EQ(refused[0].buttons, mbOK);
    EXPECT_TRUE(refused[0].text.startsWith("The certificate of the server " + shownServer(true)
                                           + " could not be verified"))
        << refused[0].text.toStdString();
    EXPECT_TRUE(refused[0].text.contains("host name did not match")) << refused[0].text.toStdString();
    EXPECT_FALSE(refused[0].text.contains(other.fingerprint()));
    EXPECT_FALSE(QFile::exists(knownServersFile()));
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_FALSE(connectedViewShown());
}

// Run by ctest's FailoverOnPostgreSQL (tests/support/postgresql.sh): two
// servers of one service on one PostgreSQL database, each with a
// self-signed certificate of its own for the service's name.
class PostgreSQLFailoverTls : public TlsSignIn
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_TEST_POSTGRESQL();
        TlsSignIn::SetUp();
    }
    ServerProcess other;
};

TEST_F(PostgreSQLFailoverTls, EachServersCertificateIsConfirmedForTheServerReached)
{
    const QString database = newPostgresDatabase();
    ASSERT_FALSE(database.isEmpty());
    const CertificateFiles first = selfSigned(certs(), "first", "DNS:localhost");
    const CertificateFiles second = selfSigned(certs(), "second", "DNS:localhost");
    ASSERT_TRUE(other.start(database, {"--tls-cert", second.cert, "--tls-key", second.key}))
        << other.process.readAllStandardError().constData();
    ASSERT_TRUE(server.start(database, {"--tls-cert", first.cert, "--tls-key", first.key, "--other-instance",
                                        "127.0.0.1:" + QString::number(other.port)}))
        << server.process.readAllStandardError().constData();
    Quorvant::gLookupAddress = QStringLiteral("https://localhost:") + QString::number(server.httpPort);
    startJoin("alice", "pw", {DialogAnswer::pressed(mbYes)});
    ASSERT_TRUE(withText(boxesUntil([&](const auto &) { return network->connectedView(); }), first.fingerprint()).size()
                == 1);
    network->failover().setRetryDelays(50, 100);

    // The other server's certificate is asked about for that server, and
    // kept for it; the first one's stays as it was.
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    ::kill(pid_t(server.process.processId()), SIGKILL);
    const QList<RecordedDialog> boxes = boxesUntil([&](const auto &) {
        return network->connectedView() && network->failover().current().server.port == other.port;
    });
    ASSERT_EQ(network->failover().current().server.port, other.port);
    ASSERT_TRUE(network->connectedView());
    const QList<RecordedDialog> questions = withText(boxes, second.fingerprint());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].text.contains("The server 127.0.0.1:" + QString::number(other.port) + " sent a certificate"))
        << questions[0].text.toStdString();
    const TKnownServers known(knownServersFile());
    EXPECT_EQ(known.fingerprint("127.0.0.1", other.port), second.sha256());
    EXPECT_EQ(known.fingerprint("localhost", server.port), first.sha256());
    EXPECT_FALSE(known.fingerprint("localhost", other.port).has_value());
    EXPECT_TRUE(gMyClient->isEncrypted());
    EXPECT_TRUE(markShown("EncryptedMark"));
}

} // namespace TlsSignInTest
