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
// The same from the page's UTF-8 bytes (as the editor holds them), without
// making a QString of a big page first. Bytes that are not UTF-8 count as
// Latin-1 characters.
QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyCharEncoding encoding);
// The tool's output back to text.
QString decodeTidyPage(const QByteArray &bytes, TidyCharEncoding encoding);

// A text file of the program (or the tool's report): UTF-8 when valid,
// otherwise Windows-1252.
QString decodeDataFile(const QByteArray &bytes);

} // namespace Quorvant
