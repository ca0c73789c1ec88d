#include "toolstestsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ToolsTest {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList readLines(const QString &path)
{
    QString text = QString::fromUtf8(readFile(path));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void writeFakeTool(const QString &folder, const QByteArray &body)
{
    const QString path = QDir(folder).filePath(QStringLiteral("tidy"));
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
}

QString copyPlugin(const QString &name, const QString &folder)
{
    QDir().mkpath(folder);
    QString from = QStringLiteral(QUORVANT_FIXTURE_PLUGIN_DIR "/") + name + QStringLiteral(".so");
    if (!QFile::exists(from))
        from = QStringLiteral(QUORVANT_BUILD_PLUGIN_DIR "/") + name + QStringLiteral(".so");
    const QString to = QDir(folder).filePath(name + QStringLiteral(".so"));
    EXPECT_TRUE(QFile::copy(from, to)) << from.toStdString();
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                  | QFile::ReadOther | QFile::ExeOther);
    return to;
}

QString realTidy()
{
    return QStandardPaths::findExecutable(QStringLiteral("tidy"));
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

FifoReleaser::FifoReleaser(QStringList paths, int graceMs)
{
    m_thread = std::thread([this, paths = std::move(paths), graceMs] {
        const auto start = std::chrono::steady_clock::now();
        while (!m_done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(graceMs))
                continue;
            // Without a reader this fails at once (ENXIO), which is fine.
            for (const QString &p : paths) {
                const int fd = ::open(QFile::encodeName(p).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    ++m_releases;
                    ::close(fd);
                }
            }
        }
    });
}

FifoReleaser::~FifoReleaser()
{
    m_done = true;
    m_thread.join();
}

} // namespace ToolsTest
