#include "w3cvalidator.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace Quorvant {

TVnuSetup findVnu(const QString &configuredJar, const QStringList &defaultJars)
{
    TVnuSetup setup;
    QStringList jars{qEnvironmentVariable(VnuJarEnvironment), configuredJar};
    jars += defaultJars;
    for (const QString &jar : std::as_const(jars)) {
        if (!jar.isEmpty() && QFileInfo(jar).isFile()) {
            setup.jar = QFileInfo(jar).absoluteFilePath();
            break;
        }
    }
    const QString javaHome = qEnvironmentVariable("JAVA_HOME");
    const QString homeJava = javaHome.isEmpty() ? QString() : QDir(javaHome).filePath(QStringLiteral("bin/java"));
    setup.java = !homeJava.isEmpty() && QFileInfo(homeJava).isExecutable() ? homeJava
                                                                           : QStandardPaths::findExecutable(QStringLiteral("java"));
    return setup;
}

QStringList vnuArguments(const QString &jar, const QStringList &files)
{
    return QStringList{QStringLiteral("-Xss4m"), QStringLiteral("-XX:TieredStopAtLevel=1"), QStringLiteral("-XX:+UseSerialGC"),
                       QStringLiteral("-jar"), jar, QStringLiteral("--no-langdetect"), QStringLiteral("--format"),
                       QStringLiteral("json"), QStringLiteral("--stdout"), QStringLiteral("--exit-zero-always")}
           + files;
}

QList<TVnuMessage> parseVnuReport(const QByteArray &json, bool *ok)
{
    QList<TVnuMessage> result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const bool isReport = error.error == QJsonParseError::NoError && document.object().value(QLatin1String("messages")).isArray();
    if (ok)
        *ok = isReport;
    if (!isReport)
        return result;
    for (const QJsonValue &value : document.object().value(QLatin1String("messages")).toArray()) {
        const QJsonObject m = value.toObject();
        const QString type = m.value(QLatin1String("type")).toString();
        QString kind = QStringLiteral("Info");
        if (type == QLatin1String("error") || type == QLatin1String("non-document-error"))
            kind = QStringLiteral("Error");
        else if (m.value(QLatin1String("subType")).toString() == QLatin1String("warning"))
            kind = QStringLiteral("Warning");
        TTidyMessage message;
        message.kind = kind;
        message.line = m.value(QLatin1String("lastLine")).toInt(m.value(QLatin1String("firstLine")).toInt());
        message.column = m.value(QLatin1String("firstColumn")).toInt(m.value(QLatin1String("lastColumn")).toInt());
        message.text = m.value(QLatin1String("message")).toString();
        result.append({m.value(QLatin1String("url")).toString(), message});
    }
    return result;
}

QString vnuReportText(const QList<TTidyMessage> &messages)
{
    if (messages.isEmpty())
        return QString::fromLatin1(MsgValidatorClean);
    QString text;
    for (const TTidyMessage &m : messages) {
        if (m.line > 0)
            text += QStringLiteral("line %1 column %2 - ").arg(m.line).arg(m.column);
        text += m.kind + QStringLiteral(": ") + m.text + QLatin1Char('\n');
    }
    return text;
}

TVnuRun::TVnuRun(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        TVnuOutcome outcome;
        outcome.status = TVnuOutcome::Status::TimedOut;
        complete(outcome);
    });
}

TVnuRun::~TVnuRun()
{
    cancel();
}

bool TVnuRun::start(const TVnuSetup &setup, const QByteArray &utf8Page, QString *error)
{
    if (m_process) {
        *error = QStringLiteral("The checker is already running.");
        return false;
    }
    if (!setup.isComplete()) {
        *error = QString::fromLatin1(MsgValidatorMissing);
        return false;
    }
    m_process = new QProcess(this);
    connect(m_process, &QProcess::finished, this, [this](int, QProcess::ExitStatus status) {
        TVnuOutcome outcome;
        const QByteArray report = m_process->readAllStandardOutput();
        const QString output = QString::fromUtf8(m_process->readAllStandardError()).trimmed();
        bool ok = false;
        for (const TVnuMessage &m : parseVnuReport(report, &ok))
            outcome.messages.append(m.message);
        if (status == QProcess::CrashExit) {
            outcome.status = TVnuOutcome::Status::Crashed;
            outcome.errorText = output;
        } else if (!ok) {
            outcome.status = TVnuOutcome::Status::BadReport;
            outcome.errorText = output.isEmpty() ? QString::fromUtf8(report.left(2000)) : output;
        }
        complete(outcome);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        TVnuOutcome outcome;
        outcome.status = TVnuOutcome::Status::FailedToStart;
        outcome.errorText = m_process->errorString();
        complete(outcome);
    });
    m_clock.start();
    m_timer.start(m_timeoutMs);
    m_process->start(setup.java, vnuArguments(setup.jar, {QStringLiteral("-")}));
    // A program that cannot be started may be reported at once: finished() is sent then.
    if (m_process) {
        m_process->write(utf8Page);
        m_process->closeWriteChannel();
    }
    return true;
}

void TVnuRun::cancel()
{
    m_timer.stop();
    if (!m_process)
        return;
    QProcess *process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    process->kill();
    process->waitForFinished(1000);
    process->deleteLater();
}

void TVnuRun::complete(TVnuOutcome outcome)
{
    outcome.elapsedMs = m_clock.elapsed();
    cancel();
    Q_EMIT finished(outcome);
}

} // namespace Quorvant
