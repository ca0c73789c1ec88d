#include "twebfetch.h"

#include "inetfactory.h"
#include "textfileformat.h"
#include "tnetmoduleloader.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

namespace Quorvant {

namespace {

QByteArray charsetOf(const QByteArray &contentType)
{
    static const QRegularExpression re(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_:.+-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(contentType));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

// Decodes with the named charset; false when the name is not known.
bool decodeAs(const QByteArray &charset, const QByteArray &body, QString *out)
{
    if (charset.isEmpty())
        return false;
    // Labels that name Windows-1252 in practice, as browsers read them.
    static const QByteArrayList ansi{"windows-1252", "cp1252", "iso-8859-1", "iso8859-1", "latin1", "latin-1",
                                     "us-ascii", "ascii", "x-cp1252"};
    if (ansi.contains(charset)) {
        *out = decodeWindows1252(body);
        return true;
    }
    QStringDecoder decoder(charset.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    *out = decoder.decode(body);
    return true;
}

} // namespace

TWebFetch::TWebFetch(const QString &replyFile, QObject *parent)
    : QObject(parent)
    , m_replyFile(replyFile)
{
}

TWebFetch::~TWebFetch()
{
    abort();
}

QUrl TWebFetch::requestUrl(const QString &address, const QString &portField)
{
    bool ok = false;
    const int fieldPort = portField.trimmed().toInt(&ok, 10);
    if (!ok || fieldPort < 1 || fieldPort > 65535)
        return {};
    QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("http://"));
    QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    if (url.port() == -1 && fieldPort != DefaultPortField)
        url.setPort(fieldPort);
    return url;
}

QString TWebFetch::decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    QString text;
    if (!decodeAs(charsetOf(contentType), body, &text)) {
        static const QRegularExpression meta(
            QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?([A-Za-z0-9_:.+-]+)"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = meta.match(QString::fromLatin1(body.left(4096)));
        if (!m.hasMatch() || !decodeAs(m.captured(1).toLatin1().toLower(), body, &text))
            text = decodeTextFile(body).text;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return convertLineEnds(text, LineEndStyle::CRLF);
}

QString TWebFetch::statusText(Status s)
{
    switch (s) {
    case Status::Idle: return QStringLiteral("Idle...");
    case Status::HostResolved: return QStringLiteral("Host Resolved...");
    case Status::Connected: return QStringLiteral("Connected...");
    case Status::ReceivingData: return QStringLiteral("Receiving Data");
    case Status::InvalidHost: return QStringLiteral("Invalid Host!");
    case Status::ConnectionFailed: return QStringLiteral("Connection Failed...");
    case Status::GeneralFailure: return QStringLiteral("General Failure!");
    case Status::Success: return QStringLiteral("Success!");
    case Status::Disconnected: return QStringLiteral("Disconnected...");
    }
    return {};
}

bool TWebFetch::start(const QString &address, const QString &portField)
{
    using Network::INetHttpGet;
    if (m_running)
        return false;
    const QUrl url = requestUrl(address, portField);
    if (!url.isValid() || url.isEmpty())
        return false;
    m_body.clear();
    m_text.clear();
    m_tooLarge = false;
    m_receiving = false;
    m_running = true;
    const quint64 request = ++m_request;
    if (!m_get) {
        if (Network::INetFactory *factory = Network::TNetModuleLoader::factory())
            m_get = factory->createHttpGet();
        if (!m_get) {
            // Without the network module no connection can be made: the
            // request fails as one that could not connect, after returning.
            QTimer::singleShot(0, this, [this, request] {
                if (request != m_request || !m_running)
                    return;
                m_running = false;
                fail(Status::ConnectionFailed);
            });
            return true;
        }
    }
    INetHttpGet::Events events;
    events.metaData = [this, request] {
        const qint64 declared = m_get->contentLength();
        if (declared > MaxReplySize) {
            // Aborting inside this event upsets the transfer; the next turn
            // of the event loop does it, and nothing more is kept meanwhile.
            m_tooLarge = true;
            QTimer::singleShot(0, this, [this, request] {
                if (request == m_request && m_running)
                    m_get->cancel();
            });
            return;
        }
        Q_EMIT statusChanged(Status::HostResolved);
        Q_EMIT statusChanged(Status::Connected);
    };
    events.readyRead = [this] {
        if (m_tooLarge) {
            m_get->readAll();
            return;
        }
        m_body += m_get->readAll();
        if (m_body.size() > MaxReplySize) {
            m_tooLarge = true;
            m_body.clear();
            m_get->cancel();
            return;
        }
        if (!m_receiving) {
            m_receiving = true;
            Q_EMIT statusChanged(Status::ReceivingData);
        }
    };
    events.finished = [this] { finish(); };
    m_get->get({url, 60000, 10}, std::move(events));
    return true;
}

void TWebFetch::abort()
{
    ++m_request;
    m_running = false;
    if (m_get)
        m_get->abort();
}

void TWebFetch::fail(Status s)
{
    Q_EMIT statusChanged(s);
    Q_EMIT statusChanged(Status::Disconnected);
}

void TWebFetch::finish()
{
    using Network::INetHttpGet;
    if (!m_running)
        return;
    m_running = false;
    if (m_tooLarge) {
        fail(Status::GeneralFailure);
        return;
    }
    m_body += m_get->readAll();
    const int http = m_get->httpStatus();
    switch (m_get->failure()) {
    case INetHttpGet::Failure::None:
        break;
    case INetHttpGet::Failure::HostNotFound:
        fail(Status::InvalidHost);
        return;
    case INetHttpGet::Failure::Connection:
        fail(http ? Status::GeneralFailure : Status::ConnectionFailed);
        return;
    case INetHttpGet::Failure::Certificate:
    case INetHttpGet::Failure::Other:
        fail(Status::GeneralFailure);
        return;
    }
    if (m_body.size() > MaxReplySize || http >= 400) {
        fail(Status::GeneralFailure);
        return;
    }
    QString error;
    if (!writeFileAtomically(m_replyFile, m_body, &error)) {
        fail(Status::GeneralFailure);
        return;
    }
    m_text = decodeBody(m_body, m_get->contentType());
    Q_EMIT statusChanged(Status::Success);
    Q_EMIT statusChanged(Status::Disconnected);
}

} // namespace Quorvant
