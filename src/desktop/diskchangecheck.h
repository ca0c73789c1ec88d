// Tells whether a document's file changed on disk since the document read or
// wrote it. Time and identity only decide when nothing moved; otherwise the
// bytes are read and compared by size and hash, so a file merely touched, or
// replaced by the same content, is not a change.
#pragma once

#include "diskstamp.h"

namespace Quorvant {

class DiskChangeCheck
{
public:
    enum class Result { Unchanged, Changed, Missing };
    struct Outcome
    {
        Result result = Result::Unchanged;
        // The file as found now (with its hash when it was read): the stamp
        // to keep once the document has caught up with it.
        DiskStamp now;
    };

    static Outcome check(const DiskStamp &known);
};

} // namespace Quorvant
