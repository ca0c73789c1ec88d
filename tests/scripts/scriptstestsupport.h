// Files for the scripts tests to read and write.
#pragma once

#include <QByteArray>
#include <QString>

namespace Quorvant::Test {

// Writes bytes to path, making its folder first; a failure fails the test.
void writeFile(const QString &path, const QByteArray &bytes);
// The file's bytes, or nothing when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace Quorvant::Test
