// One HTTP(S) GET at a time, implemented by the network module with Qt
// Network. Callbacks rather than signals: this header is compiled into both
// the program and the module.
#pragma once

#include "inettls.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

namespace Quorvant::Network {

class INetHttpGet
{
public:
    struct Request
    {
        QUrl url;
        int transferTimeoutMs = 0;  // 0: none
        int maxRedirects = -1;      // -1: the library's default
    };

    // Any of them may be left empty. Redirects that lower the security
    // (https to http) are refused.
    struct Events
    {
        // The first response headers arrived.
        std::function<void()> metaData;
        std::function<void(qint64 received, qint64 total)> progress;
        std::function<void()> readyRead;
        // Exactly once per get() unless abort() comes first.
        std::function<void()> finished;
        // An https server's certificate did not verify: true goes on with
        // it. Left empty, the request fails with Failure::Certificate.
        std::function<bool(const CertificateProblem &problem)> certificateProblem;
    };

    enum class Failure {
        None,
        HostNotFound,
        // Refused, closed by the other side, timed out, cancelled, or a
        // temporary failure of the network.
        Connection,
        // The server's certificate was refused, or the TLS handshake failed.
        Certificate,
        Other,
    };

    virtual ~INetHttpGet() = default;
    // Starts a request; one still running is abandoned without events.
    virtual void get(const Request &request, Events events) = 0;
    // Stops the transfer; finished follows with Failure::Connection.
    virtual void cancel() = 0;
    // Stops the transfer; no further events.
    virtual void abort() = 0;
    virtual bool isRunning() const = 0;

    virtual QByteArray read(qint64 maxSize) = 0;
    virtual QByteArray readAll() = 0;
    // After metaData: 0 when the server did not say.
    virtual int httpStatus() const = 0;
    virtual qint64 contentLength() const = 0;  // -1 when not declared
    virtual QByteArray contentType() const = 0;
    // After finished.
    virtual Failure failure() const = 0;
    virtual QString errorText() const = 0;
};

} // namespace Quorvant::Network
