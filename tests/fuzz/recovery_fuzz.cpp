// Recovery copies (the entries a crashed session left): an entry either
// reads whole, its text matching its length and hash, or is refused with a
// reason; an entry read and written again reads back the same.
#include "fuzzsupport.h"

#include "recoveryentry.h"

using namespace Quorvant;

namespace {

bool same(const TRecoveryEntry &a, const TRecoveryEntry &b)
{
    return a.fileName == b.fileName && a.format == b.format && a.savedAt == b.savedAt && a.text == b.text
           && a.disk.path == b.disk.path && a.disk.exists == b.disk.exists && a.disk.size == b.disk.size
           && a.disk.mtimeNs == b.disk.mtimeNs && a.disk.inode == b.disk.inode && a.disk.device == b.disk.device
           && a.disk.hashKnown == b.disk.hashKnown && a.disk.hash == b.disk.hash && a.disk.racy == b.disk.racy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    TRecoveryEntry entry;
    QString why;
    if (!TRecoveryEntry::decode(bytes, &entry, &why)) {
        FUZZ_CHECK(!why.isEmpty());
        return 0;
    }
    FUZZ_CHECK(bytes.endsWith(entry.text));
    FUZZ_CHECK(entry.header(contentHash(entry.text)) == entry.header());
    (void)entry.caption();

    TRecoveryEntry again;
    FUZZ_CHECK(TRecoveryEntry::decode(entry.header() + entry.text, &again, &why));
    FUZZ_CHECK(same(again, entry));
    return 0;
}
