// One run of HTML Tidy over a page: writes the page, starts the tool with an
// argument list (no shell) without waiting for it, and reads the report and
// the rewritten page once it has ended.
#pragma once

#include "tidyconfig.h"
#include "tidyfolder.h"
#include "tidypagecodec.h"
#include "tidyreport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QProcess;

namespace Quorvant {

struct TTidyOutcome
{
    enum class Status {
        Finished,       // the tool ended by itself; exitCode holds its code
        TimedOut,       // stopped after the time limit
        FailedToStart,  // could not be started (errorText says why)
        Crashed,        // ended by a signal
    };
    Status status = Status::Finished;
    int exitCode = -1;      // 0 clean, 1 warnings, 2 errors
    QString errorText;
    QString report;         // "error.dat" as written by this run; empty when it wrote none
    bool reportRead = false;
    QString toolOutput;     // what the tool wrote to its standard error
    // The rewritten page, read back only after a run that ended with 0 or 1.
    bool pageRead = false;
    QString page;
    QList<TTidyMessage> messages;
};

class TTidyRun : public QObject
{
    Q_OBJECT
public:
    explicit TTidyRun(const TTidyFolder &folder, QObject *parent = nullptr);
    ~TTidyRun() override;

    static constexpr int DefaultTimeoutMs = 60000;
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    int timeoutMs() const { return m_timeoutMs; }

    // Removes the previous page and report, writes text as "temp.htm" in
    // the configuration's encoding (or, when it names none, in the
    // document's) and starts the tool. False (with error) when that could
    // not be done; finished() follows otherwise.
    [[nodiscard]] bool start(TidyCommand command, const QString &toolPath, const QString &text, QString *error,
                             TextEncoding document = TextEncoding::Utf8);
    // The same with the page's UTF-8 bytes.
    [[nodiscard]] bool startUtf8(TidyCommand command, const QString &toolPath, QByteArrayView utf8, QString *error,
                                 TextEncoding document = TextEncoding::Utf8);
    bool isRunning() const { return m_process != nullptr; }
    // Stops a running tool; finished() is not sent.
    void cancel();

Q_SIGNALS:
    void finished(const Quorvant::TTidyOutcome &outcome);

private:
    void onFinished(int exitCode, bool crashed);
    void onFailedToStart();
    void onTimeout();
    void complete(TTidyOutcome outcome);

    TTidyFolder m_folder;
    int m_timeoutMs = DefaultTimeoutMs;
    QProcess *m_process = nullptr;
    QTimer m_timer;
    TidyPageEncoding m_encoding = TidyPageEncoding::Utf8;
};

} // namespace Quorvant
