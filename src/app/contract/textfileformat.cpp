#include "textfileformat.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>
#include <QFileInfo>
#include <QSaveFile>

namespace Quorvant {

namespace {

// Characters of the bytes 0x80 to 0x9F; unassigned bytes keep their value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

bool isValidUtf8(const char *data, qsizetype size)
{
    const auto *s = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        // Fast path over plain ASCII, eight bytes at a time.
        while (i + 8 <= size) {
            quint64 w;
            memcpy(&w, s + i, 8);
            if (w & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int need;
        unsigned min;
        unsigned cp;
        if ((c & 0xE0) == 0xC0) {
            need = 1; min = 0x80; cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            need = 2; min = 0x800; cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            need = 3; min = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= need; ++k) {
            if (i + k >= size || (s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += need + 1;
    }
    return true;
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    }
    return out;
}

int windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int k = 0; k < 32; ++k) {
        if (kHighControls[k] == c)
            return 0x80 + k;
    }
    return -1;
}

bool encodeWindows1252(const QString &text, QByteArray *out)
{
    out->resize(text.size());
    char *d = out->data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = windows1252Byte(text.at(i).unicode());
        if (byte < 0)
            return false;
        d[i] = char(byte);
    }
    return true;
}

LineEndStyle detectLineEnds(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == '\n')
            return LineEndStyle::LF;
        if (data[i] == '\r')
            return (i + 1 < size && data[i + 1] == '\n') ? LineEndStyle::CRLF : LineEndStyle::CR;
    }
    return LineEndStyle::CRLF;
}

LineEndStyle detectLineEnds(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n')
            return LineEndStyle::LF;
        if (c == u'\r')
            return (i + 1 < text.size() && text.at(i + 1) == u'\n') ? LineEndStyle::CRLF : LineEndStyle::CR;
    }
    return LineEndStyle::CRLF;
}

QString lineEndString(LineEndStyle style)
{
    switch (style) {
    case LineEndStyle::LF: return QStringLiteral("\n");
    case LineEndStyle::CR: return QStringLiteral("\r");
    case LineEndStyle::CRLF: break;
    }
    return QStringLiteral("\r\n");
}

QString convertLineEnds(const QString &text, LineEndStyle style)
{
    const QString eol = lineEndString(style);
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(QStringView(text).mid(runStart, i - runStart));
        out.append(eol);
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(QStringView(text).mid(runStart));
    return out;
}

QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder toText(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return toText.decode(bytes);
}

DecodedText decodeTextFile(const QByteArray &bytes)
{
    DecodedText result;
    if (isValidUtf8(bytes)) {
        result.format.encoding = TextEncoding::Utf8;
        QByteArrayView body(bytes);
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            result.format.byteOrderMark = true;
            body = body.sliced(3);
        }
        // The mark, if any, is dropped above: a U+FEFF after it is text.
        result.text = decodeUtf8(body);
    } else {
        result.format.encoding = TextEncoding::Windows1252;
        result.text = decodeWindows1252(bytes);
    }
    result.format.lineEnds = detectLineEnds(result.text);
    return result;
}

QByteArray encodeTextFile(const QString &text, TextFileFormat *format)
{
    if (format->encoding == TextEncoding::Windows1252) {
        QByteArray out;
        if (encodeWindows1252(text, &out))
            return out;
        format->encoding = TextEncoding::Utf8;
        format->byteOrderMark = false;
    }
    // A U+FEFF that begins the text would read back as a mark and be
    // dropped: a mark goes before it so the character stays.
    if (text.startsWith(QChar(0xFEFF)))
        format->byteOrderMark = true;
    QByteArray out = text.toUtf8();
    if (format->byteOrderMark)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

bool isReadableRegularFile(const QString &path, qint64 maxBytes, QString *why)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (why)
            *why = QStringLiteral("Cannot open file %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        if (why)
            *why = QStringLiteral("%1 is a folder, not a file.").arg(path);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (why)
            *why = QStringLiteral("%1 is not a regular file (a pipe or a device), so it was not read.").arg(path);
        return false;
    }
    if (maxBytes >= 0 && st.st_size > maxBytes) {
        if (why)
            *why = QStringLiteral("%1 is larger than %2 bytes, so it was not read.").arg(path).arg(maxBytes);
        return false;
    }
    return true;
}

bool readWholeFile(const QString &path, QByteArray *out, QString *error, qint64 maxBytes)
{
    out->clear();
    if (!isReadableRegularFile(path, maxBytes, error))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString());
        return false;
    }
    if (maxBytes >= 0) {
        // QIODevice::read(n) reserves n bytes before it reads: ask for what
        // the file holds (and a byte more), not for the whole limit, which
        // set aside 256 MiB for every settings file read.
        const qint64 first = qMin(maxBytes, file.size()) + 1;
        *out = file.read(first);
        if (out->size() == first && first <= maxBytes)  // it grew meanwhile
            out->append(file.read(maxBytes + 1 - first));
    } else {
        *out = file.readAll();
    }
    if (file.error() != QFileDevice::NoError || (maxBytes >= 0 && out->size() > maxBytes)) {
        out->clear();
        if (error)
            *error = QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

namespace {
qint64 &atomicWriteLimit()
{
    static qint64 limit = -1;
    return limit;
}

// Qt's message when it has one; the system's own otherwise.
QString systemReason(const QString &qtMessage, int savedErrno)
{
    if (!qtMessage.isEmpty() && qtMessage != QLatin1String("Unknown error"))
        return qtMessage;
    if (savedErrno != 0)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return qtMessage.isEmpty() ? QStringLiteral("Unknown error") : qtMessage;
}

// A rename would give the path a new file: other links would keep the old
// text and the owner would become this user.
bool needsWriteInPlace(const QString &path)
{
    struct stat st{};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return st.st_nlink > 1 || st.st_uid != ::geteuid();
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

bool writeInPlace(const QString &path, std::initializer_list<QByteArrayView> parts, QString *error)
{
    QByteArray old;
    if (!readWholeFile(path, &old, error))
        return false;
    // The backup copy is for a crash part-way; the old text is kept in memory
    // to put back after a refused write.
    QString backup;
    {
        QSaveFile copy(path + QStringLiteral("~"));
        if (copy.open(QIODevice::WriteOnly) && copy.write(old) == old.size() && copy.commit())
            backup = copy.fileName();
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("Cannot write file %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (!backup.isEmpty())
            QFile::remove(backup);
        return false;
    }
    bool ok = ::ftruncate(fd, 0) == 0;
    for (QByteArrayView part : parts) {
        if (ok)
            ok = writeAll(fd, part);
    }
    if (ok)
        ok = ::fsync(fd) == 0;
    if (!ok) {
        const int why = errno;
        const bool restored = ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old)
                              && ::fsync(fd) == 0;
        ::close(fd);
        if (error) {
            *error = QStringLiteral("Cannot write file %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(why)));
            if (!restored && !backup.isEmpty())
                *error += QStringLiteral(" (its old content is in %1)").arg(backup);
        }
        if (restored && !backup.isEmpty())
            QFile::remove(backup);
        return false;
    }
    ::close(fd);
    if (!backup.isEmpty())
        QFile::remove(backup);
    return true;
}

} // namespace

void setAtomicWriteLimitForTests(qint64 bytes)
{
    atomicWriteLimit() = bytes;
}

bool writeFileAtomically(const QString &path, std::initializer_list<QByteArrayView> parts, QString *error,
                         const ReplaceGuard &guard, bool *guardRefused)
{
    if (guardRefused)
        *guardRefused = false;
    auto refusedByGuard = [&] {
        if (guardRefused)
            *guardRefused = true;
        if (error)
            *error = QStringLiteral("Cannot write file %1: it was changed by another program meanwhile.").arg(path);
        return false;
    };
    if (QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("Cannot create file %1: it is a folder.").arg(path);
        return false;
    }
    if (needsWriteInPlace(path)) {
        if (guard && !guard())
            return refusedByGuard();
        return writeInPlace(path, parts, error);
    }
    QSaveFile file(path);
    // Unbuffered: each write reaches the system at once, so a refusal (disk
    // full, file too large, read-only file system) comes back with its reason
    // instead of being lost in a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(file.errorString(), errno));
        return false;
    }
    qint64 room = atomicWriteLimit();
    for (QByteArrayView part : parts) {
        const qint64 wanted = room < 0 ? part.size() : qMin<qint64>(room, part.size());
        errno = 0;
        const qint64 written = file.write(part.data(), wanted);
        if (room >= 0)
            room -= qMax<qint64>(written, 0);
        if (written != part.size()) {
            // A test limit that cut the write short stands for a full disk.
            const QString why = written == wanted ? QStringLiteral("No space left on device")
                                                  : systemReason(file.errorString(), errno);
            file.cancelWriting();
            if (error)
                *error = QStringLiteral("Cannot write file %1: %2").arg(path, why);
            return false;
        }
    }
    if (guard && !guard()) {
        file.cancelWriting();
        return refusedByGuard();
    }
    errno = 0;
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(file.errorString(), errno));
        return false;
    }
    return true;
}

namespace {

// A 64-bit hash in the manner of xxHash64: the same in every process (the
// value is stored in files), and fast enough for documents of 50 MB.
constexpr quint64 P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full, P3 = 0x165667B19E3779F9ull,
                  P4 = 0x85EBCA77C2B2AE63ull, P5 = 0x27D4EB2F165667C5ull;

inline quint64 rotl(quint64 x, int r) { return (x << r) | (x >> (64 - r)); }
inline quint64 load64(const uchar *p) { quint64 v; memcpy(&v, p, 8); return qFromLittleEndian(v); }
inline quint32 load32(const uchar *p) { quint32 v; memcpy(&v, p, 4); return qFromLittleEndian(v); }
inline quint64 round64(quint64 acc, quint64 input) { return rotl(acc + input * P2, 31) * P1; }
inline quint64 merge64(quint64 acc, quint64 v) { return (acc ^ round64(0, v)) * P1 + P4; }

quint64 hash64(const char *data, qsizetype size, quint64 seed)
{
    const auto *p = reinterpret_cast<const uchar *>(data);
    const uchar *end = p + size;
    quint64 h;
    if (size >= 32) {
        quint64 v1 = seed + P1 + P2, v2 = seed + P2, v3 = seed, v4 = seed - P1;
        for (; end - p >= 32; p += 32) {
            v1 = round64(v1, load64(p));
            v2 = round64(v2, load64(p + 8));
            v3 = round64(v3, load64(p + 16));
            v4 = round64(v4, load64(p + 24));
        }
        h = rotl(v1, 1) + rotl(v2, 7) + rotl(v3, 12) + rotl(v4, 18);
        h = merge64(merge64(merge64(merge64(h, v1), v2), v3), v4);
    } else {
        h = seed + P5;
    }
    h += quint64(size);
    for (; end - p >= 8; p += 8)
        h = rotl(h ^ round64(0, load64(p)), 27) * P1 + P4;
    if (end - p >= 4) {
        h = rotl(h ^ (quint64(load32(p)) * P1), 23) * P2 + P3;
        p += 4;
    }
    for (; p < end; ++p)
        h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

} // namespace

quint64 contentHash(std::initializer_list<QByteArrayView> parts)
{
    ContentHasher hasher;
    for (QByteArrayView part : parts)
        hasher.add(part);
    return hasher.result();
}

void ContentHasher::add(QByteArrayView part)
{
    // Hashed in fixed blocks of the bytes as one stream, so the same bytes
    // give the same hash however they are split into parts.
    constexpr qsizetype Block = 64 * 1024;
    qsizetype at = 0;
    if (!m_carry.isEmpty()) {
        const qsizetype take = qMin(Block - m_carry.size(), part.size());
        m_carry.append(part.data(), take);
        at = take;
        if (m_carry.size() < Block)
            return;
        m_hash = hash64(m_carry.constData(), m_carry.size(), m_hash);
        m_carry.clear();
    }
    for (; part.size() - at >= Block; at += Block)
        m_hash = hash64(part.data() + at, Block, m_hash);
    if (at < part.size())
        m_carry.append(part.data() + at, part.size() - at);
}

quint64 ContentHasher::result()
{
    if (!m_carry.isEmpty()) {
        m_hash = hash64(m_carry.constData(), m_carry.size(), m_hash);
        m_carry.clear();
    }
    return m_hash;
}

QFileInfoList entriesEndingWith(const QDir &dir, const QString &suffix, QDir::Filters filters, QDir::SortFlags sort)
{
    QFileInfoList found = dir.entryInfoList(filters, sort);
    found.removeIf([&suffix](const QFileInfo &entry) { return !entry.fileName().endsWith(suffix, Qt::CaseInsensitive); });
    return found;
}

} // namespace Quorvant
