#include "tqthttpget.h"

#include "callbacks.h"
#include "clienttls.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace Quorvant::Network {

namespace {

INetHttpGet::Failure failureOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return INetHttpGet::Failure::None;
    case QNetworkReply::HostNotFoundError:
        return INetHttpGet::Failure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return INetHttpGet::Failure::Connection;
    case QNetworkReply::SslHandshakeFailedError:
        return INetHttpGet::Failure::Certificate;
    default:
        return INetHttpGet::Failure::Other;
    }
}

} // namespace

TQtHttpGet::TQtHttpGet()
    : mManager(new QNetworkAccessManager(this))
{
}

TQtHttpGet::~TQtHttpGet()
{
    abort();
    if (mReply) {
        // Freed by the manager; it may be in the middle of a signal.
        mReply->disconnect(this);
    }
    // The manager (and a reply still in a signal) go after any signal being
    // delivered now.
    mManager->setParent(nullptr);
    mManager->deleteLater();
}

void TQtHttpGet::get(const Request &request, Events events)
{
    abort();
    if (mReply) {
        mReply->deleteLater();
        mReply = nullptr;
    }
    mEvents = std::move(events);
    mFailure = Failure::None;
    mErrorText.clear();
    QNetworkRequest r(request.url);
    if (request.transferTimeoutMs > 0)
        r.setTransferTimeout(request.transferTimeoutMs);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (request.maxRedirects >= 0)
        r.setMaximumRedirectsAllowed(request.maxRedirects);
    r.setSslConfiguration(clientTlsConfiguration());
    // TLS errors are ignored only when the caller accepts the certificate;
    // otherwise the reply fails with them.
    QNetworkReply *reply = mManager->get(r);
    mReply = reply;
    mRunning = true;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] { callBack(mEvents.metaData); });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { callBack(mEvents.progress, received, total); });
    connect(reply, &QNetworkReply::readyRead, this, [this] { callBack(mEvents.readyRead); });
    connect(reply, &QNetworkReply::finished, this, &TQtHttpGet::finished);
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError> &errors) {
        const CertificateProblem problem = certificateProblem(errors, reply->sslConfiguration().peerCertificate());
        if (auto accept = mEvents.certificateProblem; accept && accept(problem))
            reply->ignoreSslErrors(errors);
    });
}

void TQtHttpGet::finished()
{
    if (!mRunning || !mReply)
        return;
    mRunning = false;
    mFailure = failureOf(mReply->error());
    if (mFailure != Failure::None)
        mErrorText = mReply->errorString();
    mReply->disconnect(this);
    callBack(mEvents.finished);
}

void TQtHttpGet::cancel()
{
    if (mRunning && mReply)
        mReply->abort();
}

void TQtHttpGet::abort()
{
    if (!mRunning || !mReply)
        return;
    mRunning = false;
    QNetworkReply *reply = mReply;
    mReply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

bool TQtHttpGet::isRunning() const
{
    return mRunning;
}

QByteArray TQtHttpGet::read(qint64 maxSize)
{
    return mReply ? mReply->read(maxSize) : QByteArray();
}

QByteArray TQtHttpGet::readAll()
{
    return mReply ? mReply->readAll() : QByteArray();
}

int TQtHttpGet::httpStatus() const
{
    return mReply ? mReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

qint64 TQtHttpGet::contentLength() const
{
    if (!mReply)
        return -1;
    const QVariant length = mReply->header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() ? length.toLongLong() : -1;
}

QByteArray TQtHttpGet::contentType() const
{
    return mReply ? mReply->header(QNetworkRequest::ContentTypeHeader).toByteArray() : QByteArray();
}

INetHttpGet::Failure TQtHttpGet::failure() const
{
    return mFailure;
}

QString TQtHttpGet::errorText() const
{
    return mErrorText;
}

} // namespace Quorvant::Network
