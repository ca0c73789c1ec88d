// What the fuzz targets share: the input as Qt bytes, a scratch folder of
// the process for readers that take a path, and the check that stops the
// run on a broken invariant (libFuzzer and the replay driver both report an
// abort with the input that caused it).
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Quorvant::Fuzz {

// The largest input a target reads whole; longer ones are cut, so one slow
// input cannot stall a run (libFuzzer's -max_len says the same).
inline constexpr size_t MaxInputBytes = 64 * 1024;

QByteArray inputBytes(const uint8_t *data, size_t size);

// A folder made once per process and removed when it ends.
QString scratchFolder();
// Writes bytes to name inside the scratch folder (subfolders made as
// needed), replacing what was there; returns the full path. Aborts when
// the file cannot be written, since every later check would be void.
QString writeScratchFile(const QString &name, const QByteArray &bytes);
// Removes name from the scratch folder when it is there.
void removeScratchFile(const QString &name);

[[noreturn]] void invariantFailed(const char *condition, const char *file, int line);

} // namespace Quorvant::Fuzz

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition))                                                                      \
            ::Quorvant::Fuzz::invariantFailed(#condition, __FILE__, __LINE__);                  \
    } while (false)
