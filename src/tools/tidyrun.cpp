#include "tidyrun.h"

#include "tidyconfig.h"
#include "textfileformat.h"
#include "tidypagecodec.h"

#include <QFile>
#include <QProcess>

namespace Quorvant {

TTidyRun::TTidyRun(const TTidyFolder &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TTidyRun::onTimeout);
}

TTidyRun::~TTidyRun()
{
    cancel();
}

bool TTidyRun::start(TidyCommand command, const QString &toolPath, const QString &text, QString *error,
                     TextEncoding document)
{
    return startUtf8(command, toolPath, text.toUtf8(), error, document);
}

bool TTidyRun::startUtf8(TidyCommand command, const QString &toolPath, QByteArrayView utf8, QString *error,
                         TextEncoding document)
{
    if (m_process) {
        *error = QStringLiteral("HTML Tidy is already running.");
        return false;
    }
    if (!m_folder.ensureExists()) {
        *error = QStringLiteral("Could not create the folder %1.").arg(m_folder.path());
        return false;
    }
    QString problem;
    if (!m_folder.removeWorkingFiles(&problem)) {
        *error = QStringLiteral("Could not remove an earlier working file: %1").arg(problem);
        return false;
    }
    QStringList configLines;
    if (!TTidyConfig::readLines(m_folder.configPath(), &configLines))
        configLines.clear();
    const TidyPageFormat format = tidyPageFormat(TTidyConfig::charEncodingIn(configLines), document, utf8);
    m_encoding = format.encoding;

    // A working copy: written plainly, without the flush to disk of an atomic save.
    QFile page(m_folder.pagePath());
    const QByteArray bytes = encodeTidyPageUtf8(utf8, m_encoding);
    if (!page.open(QIODevice::WriteOnly) || page.write(bytes) != bytes.size() || !page.flush()) {
        *error = QStringLiteral("Could not write %1: %2").arg(m_folder.pagePath(), page.errorString());
        return false;
    }

    m_process = new QProcess(this);
    m_process->setWorkingDirectory(m_folder.path());
    m_process->setProgram(toolPath);
    m_process->setArguments(m_folder.arguments(command, format.arguments));
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        onFinished(code, status == QProcess::CrashExit);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            onFailedToStart();
    });
    m_timer.start(m_timeoutMs);
    m_process->start();
    return true;
}

void TTidyRun::cancel()
{
    m_timer.stop();
    if (!m_process)
        return;
    QProcess *p = m_process;
    m_process = nullptr;
    p->disconnect(this);
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(2000);
    }
    p->deleteLater();
}

void TTidyRun::onFailedToStart()
{
    TTidyOutcome outcome;
    outcome.status = TTidyOutcome::Status::FailedToStart;
    outcome.errorText = m_process ? m_process->errorString() : QString();
    complete(outcome);
}

void TTidyRun::onTimeout()
{
    TTidyOutcome outcome;
    outcome.status = TTidyOutcome::Status::TimedOut;
    complete(outcome);
}

void TTidyRun::onFinished(int exitCode, bool crashed)
{
    TTidyOutcome outcome;
    outcome.status = crashed ? TTidyOutcome::Status::Crashed : TTidyOutcome::Status::Finished;
    outcome.exitCode = crashed ? -1 : exitCode;
    outcome.toolOutput = decodeDataFile(m_process->readAllStandardError());
    QByteArray bytes;
    if (readWholeFile(m_folder.reportPath(), &bytes, nullptr)) {
        outcome.reportRead = true;
        outcome.report = decodeDataFile(bytes);
        outcome.messages = TTidyReport::parse(outcome.report);
    }
    // Exit code 2: the tool leaves the page as it was given.
    if (!crashed && (exitCode == 0 || exitCode == 1) && readWholeFile(m_folder.pagePath(), &bytes, nullptr)) {
        outcome.pageRead = true;
        outcome.page = decodeTidyPage(bytes, m_encoding);
    }
    complete(outcome);
}

void TTidyRun::complete(TTidyOutcome outcome)
{
    // Stop the tool first, then let the handler start another run if it likes.
    cancel();
    Q_EMIT finished(outcome);
}

} // namespace Quorvant
