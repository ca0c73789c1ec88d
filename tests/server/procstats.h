// What /proc tells of another process: resident memory, CPU time used and
// open descriptors.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

namespace ProcStats {

inline QByteArray read(qint64 pid, const char *name)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A "Vm..." line of /proc/PID/status in bytes (VmRSS now, VmHWM the peak).
inline qint64 statusBytes(qint64 pid, const QByteArray &field)
{
    for (const QByteArray &line : read(pid, "status").split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

inline qint64 residentBytes(qint64 pid)
{
    return statusBytes(pid, "VmRSS");
}

// User plus system time, in clock ticks (1/100 s).
inline qint64 cpuTicks(qint64 pid)
{
    const QByteArray stat = read(pid, "stat");
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

inline qint64 openDescriptors(qint64 pid)
{
    return QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
}

// The soft limit of open descriptors.
inline qint64 openFilesLimit(qint64 pid)
{
    for (const QByteArray &line : read(pid, "limits").split('\n')) {
        if (line.startsWith("Max open files"))
            return line.mid(14).simplified().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace ProcStats
