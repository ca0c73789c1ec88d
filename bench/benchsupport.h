// What the benchmark programs share: the generated files they time on, a
// clock and the figures of a series of timings.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <chrono>
#include <vector>

namespace QuorvantBench {

constexpr qint64 MiB = 1024 * 1024;

// Page-like HTML with nested tags, attributes, entities, some non-ASCII text,
// style and script blocks; lines of up to ~80 columns, or the same text on
// one line (like minified HTML). The same bytes on every run.
bool makeHtmlFixture(const QString &path, qint64 bytes, bool singleLine);

// Words and punctuation without any '<' or '>' (nor '&'): lines of up to ~78
// columns, or one single line.
bool makePlainFixture(const QString &path, qint64 bytes, bool singleLine);

inline double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Timings of one series, in milliseconds.
class Samples
{
public:
    void add(double ms) { m_ms.push_back(ms); }
    bool isEmpty() const { return m_ms.empty(); }
    double first() const { return m_ms.empty() ? 0 : m_ms.front(); }
    double median() const;
    double max() const;

private:
    std::vector<double> m_ms;
};

// The offscreen platform warns on every window it shows; that says nothing
// about the figures. Everything else goes to stderr.
void installQuietMessageHandler();

// Before the QApplication: the offscreen platform unless another one is
// chosen, and the quiet message handler.
void prepareOffscreenRun();

// Before the QApplication: the embedded browser needs shared GL contexts,
// and no sandbox as root.
void prepareBrowserEngine();

// After the QApplication: Google Benchmark takes its own arguments; false
// (having said so) when others are left that it does not know.
bool initBenchmarkArguments(int &argc, char **argv);

// False, having said so, when the temporary folder could not be made.
bool tempDirReady(const QTemporaryDir &dir);

} // namespace QuorvantBench
