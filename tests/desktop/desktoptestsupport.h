// Files for the desktop tests to read and write.
#pragma once

#include <QByteArray>
#include <QString>

namespace Quorvant::Test {

// Replaces the file's bytes; a failure fails the test.
void writeBytes(const QString &path, const QByteArray &bytes);
// The file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString &path);

} // namespace Quorvant::Test
