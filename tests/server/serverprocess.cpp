#include "serverprocess.h"

#include <QRegularExpression>

bool ServerProcess::start(const QString &database, const QStringList &extra)
{
    process.setProgram(program.isEmpty() ? QStringLiteral(HALVORN_SERVER_PATH) : program);
    process.setArguments(QStringList{"--port", "0", "--http-port", "0", "--database", database, "--listen",
                                     "127.0.0.1", "--hash-iterations", "1000"}
                         + extra);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    QByteArray out;
    while (!out.contains('\n')) {
        if (!process.waitForReadyRead(10000))
            return false;
        out += process.readAllStandardOutput();
    }
    const auto m = QRegularExpression(QStringLiteral("^READY PORT=(\\d+) HTTP_PORT=(\\d+)\\n")).match(QString::fromLatin1(out));
    if (!m.hasMatch())
        return false;
    port = quint16(m.captured(1).toUInt());
    httpPort = quint16(m.captured(2).toUInt());
    return true;
}

int ServerProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
