#include "diskchangecheck.h"

namespace Quorvant {

DiskChangeCheck::Outcome DiskChangeCheck::check(const DiskStamp &known)
{
    Outcome out;
    out.now = DiskStamp::ofFile(known.path);
    if (!out.now.exists) {
        out.result = known.exists ? Result::Missing : Result::Unchanged;
        return out;
    }
    if (!known.exists) {
        out.result = Result::Changed;
        return out;
    }
    if (out.now.sameMetadata(known) && !known.racy) {
        out.now.hash = known.hash;
        out.now.hashKnown = known.hashKnown;
        return out;
    }
    QByteArray bytes;
    if (!readWholeFile(known.path, &bytes, nullptr)) {
        // Unreadable now: nothing to compare, so nothing to offer yet.
        out.now = known;
        return out;
    }
    out.now = DiskStamp::afterIo({known.path, bytes.size(), contentHash(bytes)});
    const bool same = known.hashKnown && out.now.size == known.size && out.now.hash == known.hash;
    out.result = same ? Result::Unchanged : Result::Changed;
    return out;
}

} // namespace Quorvant
