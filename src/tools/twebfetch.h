// Fetches one page over HTTP or HTTPS for "Open From the Web": the address
// and port rule, the reply size cap, the status events of the dialog and
// the decoding of the body into text.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

namespace Quorvant {

namespace Network {
class INetHttpGet;
}

class TWebFetch : public QObject
{
    Q_OBJECT
public:
    enum class Status { Idle, HostResolved, Connected, ReceivingData, InvalidHost, ConnectionFailed, GeneralFailure,
                        Success, Disconnected };
    static constexpr qint64 MaxReplySize = 20 * 1024 * 1024;
    static constexpr int DefaultPortField = 8080;

    // replyFile: where the body is written ("FromWeb.HTM").
    TWebFetch(const QString &replyFile, QObject *parent = nullptr);
    ~TWebFetch() override;

    // The address to request: a missing scheme means http; the address's
    // own port wins; a port field other than the default 8080 applies to an
    // address without one; otherwise the scheme's port (80, 443). Invalid
    // (empty URL) for a port field that is not a decimal number 1..65535.
    static QUrl requestUrl(const QString &address, const QString &portField);
    // Charset of the HTTP header, else of a meta tag, else UTF-8 when the
    // bytes are valid UTF-8, else Windows-1252; line ends become CR LF.
    static QString decodeBody(const QByteArray &body, const QByteArray &contentType);
    static QString statusText(Status s);

    bool start(const QString &address, const QString &portField);
    void abort();  // no further events
    bool running() const { return m_running; }
    QString replyFile() const { return m_replyFile; }
    QString text() const { return m_text; }  // after Success

Q_SIGNALS:
    void statusChanged(Quorvant::TWebFetch::Status status);

private:
    void finish();
    void fail(Status s);

    QString m_replyFile;
    // Made on the first start, so that nothing of the network is loaded
    // before; null while the network module cannot be loaded.
    std::unique_ptr<Network::INetHttpGet> m_get;
    bool m_running = false;
    quint64 m_request = 0;  // tells a deferred step whether its request is current
    QByteArray m_body;
    QString m_text;
    bool m_tooLarge = false;
    bool m_receiving = false;
};

} // namespace Quorvant
