#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Quorvant::Fuzz {

QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(std::min(size, MaxInputBytes)));
}

namespace {

// In memory when the system offers it: the stores sync every file they
// write, which on a disk makes a target fifty times slower.
QString scratchParent()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}

} // namespace

QString scratchFolder()
{
    static const QString parent = scratchParent();
    static QTemporaryDir dir(parent + QStringLiteral("/quorvant-fuzz-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: cannot make a scratch folder in %s\n", qPrintable(parent));
        std::abort();
    }
    return dir.path();
}

QString writeScratchFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFolder() + u'/' + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

void removeScratchFile(const QString &name)
{
    QFile::remove(scratchFolder() + u'/' + name);
}

void invariantFailed(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "fuzz: invariant broken at %s:%d: %s\n", file, line, condition);
    std::fflush(stderr);
    // abort() runs no destructor: the folder would stay behind.
    QDir(scratchFolder()).removeRecursively();
    std::abort();
}

} // namespace Quorvant::Fuzz
