#include "tfindinfiles.h"

#include "textfileformat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Quorvant {

namespace {

constexpr qint64 ChunkSize = 256 << 10;

// Sixteen bytes at a time where the processor allows it: this runs over
// every byte searched without "Match Case?".
void lowerAscii(char *p, qsizetype n)
{
    auto *u = reinterpret_cast<unsigned char *>(p);
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i shift = _mm_set1_epi8(char(128 - 'A'));
    const __m128i limit = _mm_set1_epi8(char(-128 + 26));
    const __m128i bit = _mm_set1_epi8(32);
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(u + i));
        const __m128i upper = _mm_cmplt_epi8(_mm_add_epi8(v, shift), limit);
        v = _mm_add_epi8(v, _mm_and_si128(upper, bit));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(u + i), v);
    }
#endif
    for (; i < n; ++i)
        u[i] = static_cast<unsigned char>(u[i] + (static_cast<unsigned char>(u[i] - 'A') < 26u ? 32 : 0));
}

// The search text as the bytes a file may hold it in: UTF-8, and
// Windows-1252 when that differs.
QList<QByteArray> needlesFor(const QString &text, bool caseSensitive)
{
    QList<QByteArray> needles{text.toUtf8()};
    QByteArray ansi;
    if (encodeWindows1252(text, &ansi) && ansi != needles.first())
        needles.append(ansi);
    if (!caseSensitive)
        for (QByteArray &n : needles)
            lowerAscii(n.data(), n.size());
    return needles;
}

bool isPlainFolder(const QFileInfo &fi)
{
    // Only folders with no further attribute are entered: not hidden, not
    // read-only, not a link.
    return fi.isDir() && !fi.isSymLink() && !fi.fileName().startsWith(u'.')
           && (fi.permissions() & QFileDevice::WriteOwner);
}

} // namespace

TFindInFiles::TFindInFiles(QObject *parent)
    : QObject(parent)
{
}

TFindInFiles::~TFindInFiles()
{
    m_stop = true;
    wait();
}

void TFindInFiles::wait()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

bool TFindInFiles::FindInFiles(const QString &SearchText, const QString &PathName, const QString &FileName, bool InDir,
                               bool MatchCase)
{
    if (m_running)
        return false;
    wait();
    m_running = true;
    m_stop = false;
    m_filesSearched = 0;
    m_fileList.clear();
    m_thread = QThread::create([=, this] { run(SearchText, PathName, FileName, InDir, MatchCase); });
    connect(m_thread, &QThread::finished, this, [this] {
        m_running = false;
        Q_EMIT finished(m_stop, m_filesSearched);
    });
    m_thread->start();
    return true;
}

void TFindInFiles::run(const QString &text, const QString &path, const QString &pattern, bool inDir, bool matchCase)
{
    QElapsedTimer sinceReport;
    sinceReport.start();
    int searched = 0;
    int total = 0;
    auto report = [&](const QString &where, bool force) {
        if (force || sinceReport.elapsed() >= 50) {
            sinceReport.restart();
            Q_EMIT progress(searched, total, where);
        }
    };
    QStringList files;
    FileSearch(path, pattern, inDir, &files, m_stop, [&](const QString &folder) { report(folder, false); });
    total = int(files.size());
    for (const QString &file : std::as_const(files)) {
        if (m_stop)
            break;
        report(file, false);
        const bool hit = text.isEmpty() || SearchFileForText(file, text, matchCase, m_stop) == TextResult::Found;
        ++searched;
        if (hit)
            Q_EMIT found(QFileInfo(file).fileName(), file);
    }
    m_filesSearched = searched;
    // The list is read on the window's thread once finished() has been sent.
    QMetaObject::invokeMethod(this, [this, files] { m_fileList = files; }, Qt::QueuedConnection);
    report(QString(), true);
}

void TFindInFiles::FileSearch(const QString &PathName, const QString &FileName, bool InDir, QStringList *FileList,
                              const StopFlag &stop, const Progress &progress)
{
    if (FileName.isEmpty() || PathName.isEmpty())
        return;
    QDir dir(PathName);
    const QString folder = dir.absolutePath().endsWith(u'/') ? dir.absolutePath() : dir.absolutePath() + u'/';
    // One listing serves both the folder's files and its subfolders.
    const QDir::Filters filter = QDir::Files | QDir::Hidden | QDir::NoSymLinks
                                 | (InDir ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Filters());
    const QFileInfoList entries = dir.entryInfoList(filter, QDir::Name | QDir::IgnoreCase);
    // As a name filter of the listing would match: the whole name, ignoring case.
    const QRegularExpression pattern = QRegularExpression::fromWildcard(FileName, Qt::CaseInsensitive);
    for (const QFileInfo &fi : entries) {
        if (fi.isFile() && !fi.isSymLink() && pattern.match(fi.fileName()).hasMatch())
            FileList->append(folder + fi.fileName());
    }
    if (!InDir)
        return;
    for (const QFileInfo &fi : entries) {
        if (!isPlainFolder(fi))
            continue;
        if (progress)
            progress(folder + fi.fileName());
        if (stop)
            return;
        FileSearch(folder + fi.fileName(), FileName, InDir, FileList, stop, progress);
    }
}

TFindInFiles::TextResult TFindInFiles::SearchFileForText(const QString &FileName, const QString &Text,
                                                         bool CaseSensitive, const StopFlag &stop)
{
    if (Text.isEmpty())
        return TextResult::Found;
    // Opened without blocking and checked after opening, so a FIFO or a
    // device swapped in after the walk is never read.
    const QByteArray native = QFile::encodeName(FileName);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return TextResult::Unreadable;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TextResult::Unreadable;
    }
    const QList<QByteArray> needles = needlesFor(Text, CaseSensitive);
    qsizetype keep = 0;
    for (const QByteArray &n : needles)
        keep = std::max(keep, n.size() - 1);
    // Small files get a buffer of their own size; big ones are read in pieces.
    const qint64 piece = std::clamp<qint64>(qint64(st.st_size) + 1, 1, ChunkSize);
    QByteArray buffer(piece + keep, Qt::Uninitialized);
    qsizetype carried = 0;
    TextResult result = TextResult::NotFound;
    for (;;) {
        if (stop) {
            result = TextResult::Stopped;
            break;
        }
        const ssize_t got = ::read(fd, buffer.data() + carried, size_t(piece));
        if (got < 0) {
            result = TextResult::Unreadable;
            break;
        }
        if (got == 0)
            break;
        if (!CaseSensitive)
            lowerAscii(buffer.data() + carried, got);
        const qsizetype filled = carried + got;
        bool hit = false;
        for (const QByteArray &n : needles)
            hit = hit || memmem(buffer.constData(), size_t(filled), n.constData(), size_t(n.size())) != nullptr;
        if (hit) {
            result = TextResult::Found;
            break;
        }
        carried = std::min(keep, filled);
        std::memmove(buffer.data(), buffer.constData() + filled - carried, size_t(carried));
    }
    ::close(fd);
    return result;
}

} // namespace Quorvant
