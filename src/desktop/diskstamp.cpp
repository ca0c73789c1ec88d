#include "diskstamp.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

namespace Quorvant {

namespace {
// Far more than the file system's clock tick.
constexpr qint64 RacyWindowNs = 2000000000;
} // namespace

DiskStamp DiskStamp::ofFile(const QString &path)
{
    DiskStamp s;
    s.path = path;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 nowNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    s.racy = nowNs - s.mtimeNs < RacyWindowNs;
    return s;
}

DiskStamp DiskStamp::afterIo(const FileContentId &io)
{
    DiskStamp s = ofFile(io.path);
    // Should the file have changed since, its size or hash tells.
    s.size = io.size;
    s.hash = io.hash;
    s.hashKnown = io.isValid();
    return s;
}

bool DiskStamp::sameMetadata(const DiskStamp &other) const
{
    return exists == other.exists && size == other.size && mtimeNs == other.mtimeNs && inode == other.inode
           && device == other.device;
}

} // namespace Quorvant
