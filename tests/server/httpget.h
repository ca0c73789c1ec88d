// A real HTTP(S) GET for the tests of the server's HTTP port, and the value
// of one sample on a Prometheus metrics page.
#pragma once

#include "waituntil.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QUrl>

#include <optional>

struct HttpAnswer
{
    int status = 0;  // 0: no HTTP answer (refused, TLS failed)
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
};

// `trusted`: the authorities an https URL's certificate is checked against.
inline HttpAnswer httpGet(const QString &url, const QList<QSslCertificate> &trusted = {})
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    if (!trusted.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(trusted);
        request.setSslConfiguration(configuration);
    }
    QNetworkReply *reply = manager.get(request);
    waitUntil([&] { return reply->isFinished(); }, 15000);
    HttpAnswer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(), reply->error()};
    delete reply;
    return answer;
}

// The value of `sample` (a name with its labels, as written on the page).
inline std::optional<qint64> metricValue(const QByteArray &page, const QByteArray &sample)
{
    for (const QByteArray &line : page.split('\n')) {
        if (line.startsWith(sample + ' '))
            return line.mid(sample.size() + 1).toLongLong();
    }
    return std::nullopt;
}
