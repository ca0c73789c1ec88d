// The search engine of "Find in files...": a depth-first walk for file names
// matching a pattern, then a search of their contents, on a worker thread so
// the window stays responsive and "Stop!" is honoured at once.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QThread;

namespace Quorvant {

class TFindInFiles : public QObject
{
    Q_OBJECT
public:
    explicit TFindInFiles(QObject *parent = nullptr);
    // Stops a running search and waits for it (well within 200 ms).
    ~TFindInFiles() override;

    // Starts a search; false (nothing done) while one is running.
    bool FindInFiles(const QString &SearchText, const QString &PathName, const QString &FileName, bool InDir,
                     bool MatchCase);
    bool RunningSearch() const { return m_running; }
    void StopSearch() { m_stop = true; }
    // Blocks until the worker has ended (for tests and teardown).
    void wait();
    QStringList FileList() const { return m_fileList; }

    using StopFlag = std::atomic<bool>;
    using Progress = std::function<void(const QString &folderOrFile)>;
    // Files of a folder (regular files only, no symbolic links) before its
    // subfolders; hidden, read-only and linked folders are passed over.
    static void FileSearch(const QString &PathName, const QString &FileName, bool InDir, QStringList *FileList,
                           const StopFlag &stop, const Progress &progress = {});
    enum class TextResult { Found, NotFound, Unreadable, Stopped };
    // Reads the file in pieces, so memory stays small and a stop is seen
    // inside a large file. Without caseSensitive, ASCII letters match either case.
    static TextResult SearchFileForText(const QString &FileName, const QString &Text, bool CaseSensitive,
                                        const StopFlag &stop);

Q_SIGNALS:
    // During the walk folder is the folder being entered; during the content
    // search it is the file being read. Sent at most every 50 ms.
    void progress(int filesSearched, int filesToSearch, const QString &folderOrFile);
    // The first found row clears "Searching...".
    void found(const QString &fileName, const QString &path);
    // filesSearched: the files whose contents were searched (or, without a
    // search text, listed) before the end.
    void finished(bool stopped, int filesSearched);

private:
    void run(const QString &text, const QString &path, const QString &pattern, bool inDir, bool matchCase);

    QThread *m_thread = nullptr;
    StopFlag m_stop{false};
    std::atomic<int> m_filesSearched{0};
    bool m_running = false;
    QStringList m_fileList;
};

} // namespace Quorvant
