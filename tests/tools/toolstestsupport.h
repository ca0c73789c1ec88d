// Helpers of the external tools' tests: files, fake tools, plug-in copies.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

} // namespace ToolsTest
