#include "toolstestsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

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

} // namespace ToolsTest
