// Starts halvorn-server as a process on 127.0.0.1 with free ports and reads
// its READY line; SIGTERM on destruction.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class ServerProcess
{
public:
    ServerProcess() = default;
    ~ServerProcess() { stop(); }

    bool start(const QString &database, const QStringList &extra = {});
    // SIGTERM, then the exit code (-1 when it did not end in time).
    int stop();

    QString program;  // empty: the server built with the tests
    quint16 port = 0;
    quint16 httpPort = 0;
    QProcess process;
};
