// Open from the web against a small HTTP server on 127.0.0.1.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "subsystems.h"
#include "tloadfromweb.h"
#include "tmemosource.h"
#include "twebfetch.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

// Answers each request with a fixed reply (or never, when it is empty).
class TinyServer : public QObject
{
public:
    QByteArray reply;
    QList<QByteArray> requests;
    int disconnected = 0;
    int connections = 0;
    bool answerAnyData = false;

    TinyServer()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                ++connections;
                auto *seen = new QByteArray;
                QObject::connect(s, &QTcpSocket::disconnected, this, [this, s, seen] {
                    ++disconnected;
                    delete seen;
                    s->deleteLater();
                });
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s, seen] {
                    *seen += s->readAll();
                    if ((!answerAnyData && !seen->contains("\r\n\r\n")) || reply.isEmpty())
                        return;
                    requests.append(seen->left(seen->indexOf("\r\n")));
                    seen->clear();
                    s->write(reply);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path); }
    QTcpServer server;
};

QByteArray response(const QByteArray &contentType, const QByteArray &body)
{
    QByteArray r = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!contentType.isEmpty())
        r += "Content-Type: " + contentType + "\r\n";
    return r + "\r\n" + body;
}

TEST(WebFetchRules, AddressAndPort)
{
    const struct { const char *address; const char *port; const char *url; int effectivePort; } cases[] = {
        {"example.com/a.htm", "8080", "http://example.com/a.htm", 80},
        {"https://example.com", "8080", "https://example.com", 443},
        {"http://example.com:81/x", "8080", "http://example.com:81/x", 81},
        {"http://example.com:81/x", "9000", "http://example.com:81/x", 81},
        {"example.com", "9000", "http://example.com:9000", 9000},
        {"example.com", "80a", "", -1},
        {"example.com", "70000", "", -1},
        {"ftp://example.com", "8080", "", -1},
        {"", "8080", "", -1},
    };
    for (const auto &c : cases) {
        const QUrl url = TWebFetch::requestUrl(QLatin1String(c.address), QLatin1String(c.port));
        EXPECT_EQ(url.toString(), QLatin1String(c.url)) << c.address << " " << c.port;
        if (c.effectivePort > 0) {
            EXPECT_EQ(url.port(url.scheme() == u"https" ? 443 : 80), c.effectivePort) << c.address;
        }
    }
}

TEST(WebFetchRules, BodyDecoding)
{
    const struct { QByteArray contentType; QByteArray body; QString text; } cases[] = {
        {"text/html; charset=windows-1252", "caf\xe9\n", QStringLiteral("café\r\n")},
        {"text/html; charset=ISO-8859-1", "\x93q\x94", QStringLiteral("\u201Cq\u201D")},
        {"text/html; charset=utf-8", "caf\xc3\xa9", QStringLiteral("café")},
        {"text/html", "<meta charset=\"windows-1252\">caf\xc3\xa9", QStringLiteral("<meta charset=\"windows-1252\">caf\u00C3\u00A9")},
        {"text/html", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\xc3\xa9",
         QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">é")},
        {"", "a\r\nb\rc\nd", QStringLiteral("a\r\nb\r\nc\r\nd")},
        {"", "caf\xc3\xa9", QStringLiteral("café")},
        {"", "caf\xe9", QStringLiteral("café")},
        {"text/html; charset=no-such-set", "caf\xe9", QStringLiteral("café")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TWebFetch::decodeBody(c.body, c.contentType), c.text) << c.contentType.constData();
}

class WebDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DataFolder::setPath(dir.path());
        resetAppGlobals();
        window = Quorvant::Test::openMainWindow();
        window->action(QStringLiteral("OpenFromtheWeb1"))->trigger();
        dialog = window->findChild<TLoadFromWeb *>();
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(server.server.isListening());
    }
    void TearDown() override
    {
        delete dialog.data();
        window.reset();
        MessageService::resetTestHook();
    }
    // Presses "Done" and waits for the dialog to close.
    void fetch(const QString &address)
    {
        dialog->addressEdit()->setText(address);
        dialog->pressDone();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !dialog || !dialog->isVisible(); }, 10000)) << "the dialog closes";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QStringList messages()
    {
        QStringList t;
        for (const RecordedDialog &d : MessageService::takeRecorded())
            t << d.text;
        return t;
    }

    QTemporaryDir dir;
    TinyServer server;
    std::unique_ptr<TForm1> window;
    QPointer<TLoadFromWeb> dialog;
};

TEST_F(WebDialogTest, APageOpensAsANewDocumentEveryTime)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quorvant: Load file from web..."));
    EXPECT_EQ(dialog->portEdit()->text(), QStringLiteral("8080"));
    EXPECT_EQ(dialog->statusLabel()->text(), QStringLiteral("Idle..."));
    const QByteArray body = "<html><body>caf\xe9</body></html>\n";
    server.reply = response("text/html; charset=windows-1252", body);
    const int before = window->documents()->PagesOpen();
    // The address's own port wins over the port field.
    fetch(server.url(QStringLiteral("/index.htm")));
    EXPECT_EQ(server.requests.value(0), "GET /index.htm HTTP/1.1");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(window->documents()->PagesOpen(), before + 1);
    EXPECT_TRUE(gCurrentFilePath.isEmpty()) << "untitled";
    EXPECT_EQ(window->documents()->currentBuffer()->text(), QStringLiteral("<html><body>café</body></html>\r\n"));
    QFile saved(dir.filePath(QStringLiteral("FromWeb.HTM")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), body);

    window->action(QStringLiteral("OpenFromtheWeb1"))->trigger();
    dialog = window->findChild<TLoadFromWeb *>();
    ASSERT_TRUE(dialog);
    fetch(server.url(QStringLiteral("/index.htm")));
    EXPECT_EQ(window->documents()->PagesOpen(), before + 2);
}

TEST_F(WebDialogTest, FailuresSayTheyFailedAndOpenNothing)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 refusedPort = closed.serverPort();
    closed.close();
    const QByteArray over = QByteArray::number(TWebFetch::MaxReplySize + 1);
    const struct { QByteArray reply; QString address; QString status; bool any = false; } cases[] = {
        {{}, QStringLiteral("http://127.0.0.1:%1/").arg(refusedPort), QStringLiteral("Connection Failed...")},
        {"HTTP/1.1 200 OK\r\nContent-Length: " + over + "\r\n\r\nabc", server.url(QStringLiteral("/big")),
         QStringLiteral("General Failure!")},
        {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(TWebFetch::MaxReplySize + 1, 'x'),
         server.url(QStringLiteral("/stream")), QStringLiteral("General Failure!")},
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\nConnection: close\r\n\r\nno!", server.url(QStringLiteral("/gone")),
         QStringLiteral("General Failure!")},
        // TLS against a plain server: the handshake error ends the fetch.
        {"HTTP/1.1 200 OK\r\n\r\n", QStringLiteral("https://127.0.0.1:%1/").arg(server.server.serverPort()),
         QStringLiteral("General Failure!"), true},
    };
    const int before = window->documents()->PagesOpen();
    for (const auto &c : cases) {
        if (!dialog) {
            window->action(QStringLiteral("OpenFromtheWeb1"))->trigger();
            dialog = window->findChild<TLoadFromWeb *>();
            ASSERT_TRUE(dialog);
        }
        server.reply = c.reply;
        server.answerAnyData = c.any;
        QString status;
        QObject::connect(dialog->fetch(), &TWebFetch::statusChanged, dialog, [&status](TWebFetch::Status s) {
            if (s != TWebFetch::Status::Disconnected)
                status = TWebFetch::statusText(s);
        });
        fetch(c.address);
        EXPECT_EQ(status, c.status) << c.address.toStdString();
        EXPECT_EQ(messages(), QStringList{QStringLiteral("The page you requested could not be retrieved.")})
            << c.address.toStdString();
    }
    EXPECT_EQ(window->documents()->PagesOpen(), before);
}

TEST_F(WebDialogTest, ClosingTheDialogAbortsItsRequest)
{
    server.reply.clear();  // the server never answers
    dialog->addressEdit()->setText(server.url(QStringLiteral("/slow")));
    dialog->pressDone();
    ASSERT_TRUE(dialog->fetch()->running());
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.connections == 1; }, 5000));
    const int before = window->documents()->PagesOpen();
    dialog->close();
    EXPECT_TRUE(QTest::qWaitFor([this] { return server.disconnected == 1; }, 5000)) << "the connection is dropped";
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(window->documents()->PagesOpen(), before);
}

TEST_F(WebDialogTest, WithoutTheNetworkModuleTheFetchFailsAsAConnectionThatCannotBeMade)
{
    qputenv("QUORVANT_NET_MODULE", "/nonexistent/quorvant/libquorvant_netmodule.so");
    QString status;
    QObject::connect(dialog->fetch(), &TWebFetch::statusChanged, dialog, [&status](TWebFetch::Status s) {
        if (s != TWebFetch::Status::Disconnected)
            status = TWebFetch::statusText(s);
    });
    const int before = window->documents()->PagesOpen();
    server.reply = response("text/html", "<html></html>");
    fetch(server.url(QStringLiteral("/index.htm")));
    qunsetenv("QUORVANT_NET_MODULE");
    EXPECT_EQ(status, QStringLiteral("Connection Failed..."));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("The page you requested could not be retrieved.")});
    EXPECT_EQ(server.connections, 0);
    EXPECT_EQ(window->documents()->PagesOpen(), before);
}

TEST_F(WebDialogTest, ABadPortStartsNothing)
{
    dialog->addressEdit()->setText(server.url(QStringLiteral("/")));
    dialog->portEdit()->setText(QStringLiteral("eighty"));
    dialog->addressEdit()->setText(QStringLiteral("127.0.0.1/"));
    dialog->pressDone();
    EXPECT_FALSE(dialog->fetch()->running());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("The page you requested could not be retrieved.")});
}

} // namespace
