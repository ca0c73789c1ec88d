// What a document's file looked like when the document last read or wrote
// it: size, modification time, identity and a hash of its bytes.
#pragma once

#include "textfileformat.h"

#include <QString>

namespace Quorvant {

class DiskStamp
{
public:
    QString path;
    bool exists = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    quint64 hash = 0;
    bool hashKnown = false;
    // Stamped so soon after the file's last change that another change in
    // the same clock tick would leave the same time: only the bytes tell.
    bool racy = false;

    // The file as it is now, without reading it (no hash).
    static DiskStamp ofFile(const QString &path);
    // The file a document just read or wrote: the size and hash of the
    // bytes it moved, the time and identity the file has now.
    static DiskStamp afterIo(const FileContentId &io);

    // Same size, time and identity: the file was not touched.
    bool sameMetadata(const DiskStamp &other) const;
};

} // namespace Quorvant
