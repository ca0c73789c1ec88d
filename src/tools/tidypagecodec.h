// How the page handed to HTML Tidy is written and read back: in the
// encoding the configuration's "char-encoding" names, so the tool reads
// what the editor holds.
#pragma once

#include "tidyconfig.h"

#include <QByteArray>
#include <QString>

namespace Quorvant {

// The page's bytes for the tool. Characters the encoding cannot hold are
// written as numeric character references, so nothing is lost.
QByteArray encodeTidyPage(const QString &text, TidyCharEncoding encoding);
// The tool's output back to text.
QString decodeTidyPage(const QByteArray &bytes, TidyCharEncoding encoding);

// A text file of the program (or the tool's report): UTF-8 when valid,
// otherwise Windows-1252.
QString decodeDataFile(const QByteArray &bytes);

} // namespace Quorvant
