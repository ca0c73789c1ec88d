#include "addresslookup.h"

#include "inetfactory.h"
#include "networkcommands.h"
#include "networkglobals.h"
#include "taddressliteral.h"
#include "tnetmoduleloader.h"

#include <QSaveFile>
#include <QUrl>

namespace Quorvant::Network {

TAddressLookup::TAddressLookup(QObject *parent)
    : QObject(parent)
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
    return TAddressLiteral::isValid(ip.trimmed());
}

bool TAddressLookup::isRunning() const
{
    return mGet && mGet->isRunning();
}

void TAddressLookup::abort()
{
    if (mGet)
        mGet->abort();
}

void TAddressLookup::failLater()
{
    QMetaObject::invokeMethod(this, [this] { emit finished(false, true); }, Qt::QueuedConnection);
}

void TAddressLookup::fetch(const QString &base, const QString &addressFile)
{
    abort();
    mFile = addressFile;
    mRefused.reset();
    mTlsPeerName.clear();
    mServers.clear();
    mSkipped.clear();
    const QUrl url = serviceUrl(base);
    mUrl = url;
    if (!url.isValid()) {
        failLater();
        return;
    }
    if (!mGet) {
        // Without the network module the service cannot be reached, which
        // ends as an unreachable service does.
        if (INetFactory *factory = TNetModuleLoader::factory())
            mGet = factory->createHttpGet();
        if (!mGet) {
            failLater();
            return;
        }
    }
    INetHttpGet::Events events;
    events.metaData = [this] { emit connectedToService(); };
    events.progress = [this](qint64 received, qint64 total) {
        emit progress(received, total);
        if (received > kMaxReply || total > kMaxReply) {
            abort();
            done(false, false);
        }
    };
    events.finished = [this] { received(); };
    events.certificateProblem = [this](const CertificateProblem &problem) {
        const CertificateCheck check = mKnown.check(mUrl.host(), quint16(mUrl.port(443)), problem);
        if (check.verdict == CertificateCheck::Verdict::Trusted)
            return true;
        mRefused = check;
        return false;
    };
    mGet->get({url, 15000, -1}, std::move(events));
}

void TAddressLookup::received()
{
    if (mGet->failure() != INetHttpGet::Failure::None) {
        done(false, true);
        return;
    }
    const QByteArray body = mGet->read(kMaxReply + 1);
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
}

void TAddressLookup::done(bool ok, bool httpFailed)
{
    if (ok) {
        const std::optional<TAddressFile> file = TNetworkCommands::ReadAddressFile(mFile);
        ok = file && validServerAddress(file->ip, file->port);
        gHalvornIPAddress = ok ? file->ip : QString();
        gHalvornPort = ok ? file->port : QString();
        if (ok) {
            // An address given over https is never reached in clear.
            if (file->tls || mUrl.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
                mTlsPeerName = mUrl.host().isEmpty() ? file->ip.trimmed() : mUrl.host();
            mServers.append({{file->ip.trimmed(), file->port.toUShort()}, mTlsPeerName, mTlsPeerName});
            for (const ServerAddress &server : file->moreServers)
                mServers.append({server, mTlsPeerName, server.address});
            mSkipped = file->skipped;
        }
    }
    emit finished(ok, httpFailed);
}

} // namespace Quorvant::Network
