// Whole-file line reading and writing for the tag library's data files, and
// the lookup of the program's own names without regard to letter case.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

// The file's lines (UTF-8, or Windows-1252 when not valid UTF-8), split at
// CR LF, CR or LF; a line end closing the file opens no further line.
// Returns false, with *lines empty, when the file cannot be read or is no
// regular file (callers need not check first).
[[nodiscard]] bool readTagFileLines(const QString &path, QStringList *lines);

// Replaces the file atomically with the lines in UTF-8, CR LF after each.
[[nodiscard]] bool writeTagFileLines(const QString &path, const QStringList &lines);

// relative ('/' or '\' between components) below base, each component taking
// the spelling of an existing entry that matches ignoring case.
QString resolveIgnoringCase(const QString &base, const QString &relative);

} // namespace Quorvant
