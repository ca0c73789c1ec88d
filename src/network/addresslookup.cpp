#include "addresslookup.h"

#include "networkcommands.h"
#include "networkglobals.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace Quorvant::Network {

TAddressLookup::TAddressLookup(QObject *parent)
    : QObject(parent)
    , mManager(new QNetworkAccessManager(this))
{
}

TAddressLookup::~TAddressLookup()
{
    abort();
}

QUrl TAddressLookup::serviceUrl(const QString &base)
{
    QString text = base.trimmed();
    if (text.isEmpty())
        return {};
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    QUrl url(text + QLatin1String("/AddressInfo.dat"), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

bool TAddressLookup::validServerAddress(const QString &ip, const QString &port)
{
    if (port.isEmpty() || port.size() > 5)
        return false;
    for (QChar c : port)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    const int number = port.toInt();
    if (number < 1 || number > 65535)
        return false;
    QHostAddress address;
    return address.setAddress(ip.trimmed()) && !address.isNull();
}

void TAddressLookup::abort()
{
    if (mReply) {
        QNetworkReply *reply = mReply;
        mReply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void TAddressLookup::fetch(const QString &base, const QString &addressFile)
{
    abort();
    mFile = addressFile;
    const QUrl url = serviceUrl(base);
    if (!url.isValid()) {
        // Reported after returning, like any other failure.
        QMetaObject::invokeMethod(this, [this] { emit finished(false, true); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(15000);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    mReply = mManager->get(request);
    QNetworkReply *reply = mReply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] { emit connectedToService(); });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        emit progress(received, total);
        if (received > kMaxReply || total > kMaxReply) {
            abort();
            done(false, false);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        mReply = nullptr;
        if (reply->error() != QNetworkReply::NoError) {
            done(false, true);
            return;
        }
        const QByteArray body = reply->read(kMaxReply + 1);
        if (body.size() > kMaxReply) {
            done(false, false);
            return;
        }
        QSaveFile file(mFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit()) {
            done(false, false);
            return;
        }
        done(true, false);
    });
}

void TAddressLookup::done(bool ok, bool httpFailed)
{
    if (ok) {
        ok = TNetworkCommands::GetIpAndPort(mFile) && validServerAddress(gHalvornIPAddress, gHalvornPort);
        if (!ok) {
            gHalvornIPAddress.clear();
            gHalvornPort.clear();
        }
    }
    emit finished(ok, httpFailed);
}

} // namespace Quorvant::Network
