// INetHttpGet on a QNetworkAccessManager of its own.
#pragma once

#include "inethttpget.h"

#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

namespace Quorvant::Network {

class TQtHttpGet : public QObject, public INetHttpGet
{
public:
    TQtHttpGet();
    ~TQtHttpGet() override;

    void get(const Request &request, Events events) override;
    void cancel() override;
    void abort() override;
    bool isRunning() const override;
    QByteArray read(qint64 maxSize) override;
    QByteArray readAll() override;
    int httpStatus() const override;
    qint64 contentLength() const override;
    QByteArray contentType() const override;
    Failure failure() const override;
    QString errorText() const override;

private:
    void finished();

    QNetworkAccessManager *mManager;
    // The reply being received, and after it finished the one whose answer
    // is read, until the next get().
    QPointer<QNetworkReply> mReply;
    Events mEvents;
    bool mRunning = false;
    Failure mFailure = Failure::None;
    QString mErrorText;
};

} // namespace Quorvant::Network
