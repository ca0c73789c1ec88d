// How a text document is stored on disk: detection on load, exact round trip
// on save, and atomic whole-file reads and writes.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfoList>
#include <QString>

#include <functional>
#include <initializer_list>

namespace Quorvant {

enum class TextEncoding { Utf8, Windows1252 };
enum class LineEndStyle { CRLF, LF, CR };

struct TextFileFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineEndStyle lineEnds = LineEndStyle::CRLF;
    friend bool operator==(const TextFileFormat &, const TextFileFormat &) = default;
};

bool isValidUtf8(const char *data, qsizetype size);
inline bool isValidUtf8(const QByteArray &bytes) { return isValidUtf8(bytes.constData(), bytes.size()); }

// UTF-8 to text, a U+FEFF at the start kept as the character it is
// (QString::fromUtf8 drops it as a byte order mark).
QString decodeUtf8(QByteArrayView bytes);

// Windows-1252 with the five unassigned bytes mapped to the C1 controls of
// the same value, so every byte sequence round-trips.
QString decodeWindows1252(const QByteArray &bytes);
// The byte of code point c in that mapping, or -1 when it has none.
int windows1252Byte(char32_t c);
// Returns false (and leaves *out unspecified) when a character has no byte.
bool encodeWindows1252(const QString &text, QByteArray *out);

// The style of the first line end in the text; CR LF when there is none.
LineEndStyle detectLineEnds(const QString &text);
LineEndStyle detectLineEnds(const char *data, qsizetype size);
QString lineEndString(LineEndStyle style);
// Turns every CR LF, CR and LF into the given style.
QString convertLineEnds(const QString &text, LineEndStyle style);

struct DecodedText
{
    QString text;           // line ends as in the file
    TextFileFormat format;
};
// UTF-8 when valid (a BOM is noted and dropped), otherwise Windows-1252.
DecodedText decodeTextFile(const QByteArray &bytes);
// Encodes text (line ends as they should be written) in the format. A
// Windows-1252 document holding a character that format cannot store is
// written as UTF-8 instead, and format is updated to say so; so is a UTF-8
// text that begins with U+FEFF, which gets a byte order mark before it.
QByteArray encodeTextFile(const QString &text, TextFileFormat *format);

// The most a file of the data folder (tag list, template, settings) may hold
// to be read; a larger one is skipped.
constexpr qint64 DataFileSizeLimit = 256 * 1024 * 1024;
// Reads a regular file only (a FIFO or device would block or never end);
// with maxBytes >= 0, a file larger than that is refused unread.
[[nodiscard]] bool readWholeFile(const QString &path, QByteArray *out, QString *error, qint64 maxBytes = -1);
// Both in one: a file of the data folder.
[[nodiscard]] inline bool readDataFile(const QString &path, QByteArray *out, QString *error)
{
    return readWholeFile(path, out, error, DataFileSizeLimit);
}
// True for a regular file (after links) of at most maxBytes (any size when
// negative); otherwise false with the reason.
[[nodiscard]] bool isReadableRegularFile(const QString &path, qint64 maxBytes, QString *why);
// The entries of dir whose names end in suffix (".tag"), in any letter case,
// as QDir::entryInfoList with the pattern "*.tag" would give them, without
// building a regular expression for the pattern.
[[nodiscard]] QFileInfoList entriesEndingWith(const QDir &dir, const QString &suffix, QDir::Filters filters,
                                              QDir::SortFlags sort);
// Writes the parts one after the other through a temporary file and a
// rename: on failure the old file is whole. A file with more than one hard
// link, or owned by another user, is written in place instead, after a
// backup copy beside it, so its links and owner stay; on failure its old
// content is put back.
// With a guard: asked once the new bytes are written in full, just before
// they replace the file; false leaves the file as it is and fails the write
// (*guardRefused says so).
using ReplaceGuard = std::function<bool()>;
[[nodiscard]] bool writeFileAtomically(const QString &path, std::initializer_list<QByteArrayView> parts, QString *error,
                                       const ReplaceGuard &guard = {}, bool *guardRefused = nullptr);
[[nodiscard]] inline bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                                              const ReplaceGuard &guard = {}, bool *guardRefused = nullptr)
{
    return writeFileAtomically(path, {QByteArrayView(bytes)}, error, guard, guardRefused);
}
// What a document last read from or wrote to its file: the file, its size
// and a hash of its bytes, to tell later whether someone else changed it.
struct FileContentId
{
    QString path;
    qint64 size = -1;
    quint64 hash = 0;
    bool isValid() const { return size >= 0; }
};
// A quick hash of the parts' bytes one after the other (not for security).
quint64 contentHash(std::initializer_list<QByteArrayView> parts);
// The same hash for bytes that arrive in pieces, as a file read in parts.
class ContentHasher
{
public:
    void add(QByteArrayView part);
    quint64 result();

private:
    quint64 m_hash = 0x51ed2705;
    QByteArray m_carry;
};
inline quint64 contentHash(QByteArrayView bytes) { return contentHash({bytes}); }

// Tests: from now on every atomic write stops with an error after this many
// bytes, as on a full disk (a negative count ends that).
void setAtomicWriteLimitForTests(qint64 bytes);

} // namespace Quorvant
