#include "twebfetch.h"

#include "textfileformat.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
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
    , m_manager(new QNetworkAccessManager(this))
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
    if (m_reply)
        return false;
    const QUrl url = requestUrl(address, portField);
    if (!url.isValid() || url.isEmpty())
        return false;
    m_body.clear();
    m_text.clear();
    m_tooLarge = false;
    m_receiving = false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setTransferTimeout(60000);
    m_reply = m_manager->get(request);
    // TLS errors are never ignored: the reply fails with them.
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (!m_reply)
            return;
        const qint64 declared = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (declared > MaxReplySize) {
            // Aborting inside this signal upsets the reply; the next turn of
            // the event loop does it, and nothing more is kept meanwhile.
            m_tooLarge = true;
            QTimer::singleShot(0, m_reply, &QNetworkReply::abort);
            return;
        }
        Q_EMIT statusChanged(Status::HostResolved);
        Q_EMIT statusChanged(Status::Connected);
    });
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (!m_reply)
            return;
        if (m_tooLarge) {
            m_reply->readAll();
            return;
        }
        m_body += m_reply->readAll();
        if (m_body.size() > MaxReplySize) {
            m_tooLarge = true;
            m_body.clear();
            m_reply->abort();
            return;
        }
        if (!m_receiving) {
            m_receiving = true;
            Q_EMIT statusChanged(Status::ReceivingData);
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, &TWebFetch::finish);
    return true;
}

void TWebFetch::abort()
{
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void TWebFetch::fail(Status s)
{
    Q_EMIT statusChanged(s);
    Q_EMIT statusChanged(Status::Disconnected);
}

void TWebFetch::finish()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    if (m_tooLarge) {
        fail(Status::GeneralFailure);
        return;
    }
    m_body += reply->readAll();
    const int http = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::HostNotFoundError:
        fail(Status::InvalidHost);
        return;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        fail(http ? Status::GeneralFailure : Status::ConnectionFailed);
        return;
    default:
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
    m_text = decodeBody(m_body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    Q_EMIT statusChanged(Status::Success);
    Q_EMIT statusChanged(Status::Disconnected);
}

} // namespace Quorvant
