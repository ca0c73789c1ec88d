// Helpers of the external tools' tests: files, fake tools, plug-in copies.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

namespace ToolsTest {

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
// The file's lines without their line ends.
QStringList readLines(const QString &path);
// An executable shell script named "tidy" in folder that runs body.
void writeFakeTool(const QString &folder, const QByteArray &body);
// Copies a built plug-in (fixture or example) into folder; returns the new path.
QString copyPlugin(const QString &name, const QString &folder);
// The real tool on the PATH, or empty.
QString realTidy();

// Makes a FIFO (false when that fails).
bool makeFifo(const QString &path);

// After a grace time, opens the FIFOs for writing now and then until
// destroyed: a reader blocked on one gets an end of file, so a test of code
// that should never open them fails instead of hanging.
class FifoReleaser
{
public:
    explicit FifoReleaser(QStringList paths, int graceMs = 3000);
    ~FifoReleaser();
    FifoReleaser(const FifoReleaser &) = delete;
    FifoReleaser &operator=(const FifoReleaser &) = delete;

    // How many times a reader was found waiting on one of them.
    int releases() const { return m_releases; }

private:
    std::atomic<bool> m_done{false};
    std::atomic<int> m_releases{0};
    std::thread m_thread;
};

} // namespace ToolsTest
