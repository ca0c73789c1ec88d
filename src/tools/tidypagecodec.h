// How the page handed to HTML Tidy is written and read back: in the
// encoding the configuration's "char-encoding" names, or, when it names
// none, in the document's own, so the tool reads what the editor holds and
// the page comes back as it went.
#pragma once

#include "textfileformat.h"
#include "tidyconfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Quorvant {

// The bytes the page travels in, to the tool and back.
enum class TidyPageEncoding { Utf8, Latin1, Windows1252, Iso2022 };

struct TidyPageFormat
{
    TidyPageEncoding encoding = TidyPageEncoding::Utf8;
    // Tool arguments that set this encoding; none when the configuration
    // names it.
    QStringList arguments;
};

// The encoding a configured "char-encoding" hands the page over in.
TidyPageEncoding tidyPageEncoding(TidyCharEncoding configured);
// With TidyCharEncoding::Document, the document's encoding decides: a UTF-8
// document goes as UTF-8, a Windows-1252 one as windows-1252, or as latin1
// when the page declares "iso-8859-1" (the tool rewrites a declaration that
// differs from the encoding it writes). The page's character references are
// then kept as written. utf8: the page as the editor holds it.
TidyPageFormat tidyPageFormat(TidyCharEncoding configured, TextEncoding document, QByteArrayView utf8);
// The encoding a page's first meta element declares ("charset="), lower
// case, looked for in the first 64 KiB; empty when none does.
QString declaredCharset(QByteArrayView page);

// The page's bytes for the tool. Characters the encoding cannot hold are
// written as numeric character references, so nothing is lost.
QByteArray encodeTidyPage(const QString &text, TidyPageEncoding encoding);
QByteArray encodeTidyPage(const QString &text, TidyCharEncoding encoding);
// The same from the page's UTF-8 bytes (as the editor holds them), without
// making a QString of a big page first. Bytes that are not UTF-8 count as
// Latin-1 characters.
QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyPageEncoding encoding);
QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyCharEncoding encoding);
// The tool's output back to text.
QString decodeTidyPage(const QByteArray &bytes, TidyPageEncoding encoding);
QString decodeTidyPage(const QByteArray &bytes, TidyCharEncoding encoding);

// A text file of the program (or the tool's report): UTF-8 when valid,
// otherwise Windows-1252.
QString decodeDataFile(const QByteArray &bytes);

} // namespace Quorvant
