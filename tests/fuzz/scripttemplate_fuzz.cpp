// Script templates ("JAVA/*.Htm", "DHTML/*.Htm"): the header gives the
// entry of the list, and inserting the template into a page adds its head
// and body parts under the page's HEAD and BODY, leaving every line of the
// page in place.
#include "fuzzsupport.h"

#include "editortypes.h"
#include "memoryeditor.h"
#include "textfileformat.h"
#include "tscriptinserter.h"
#include "tscriptlibrary.h"

using namespace Quorvant;

namespace {

const QStringList Page{QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"), QStringLiteral("</HEAD>"),
                       QStringLiteral("<BODY>"), QStringLiteral("</BODY>"), QStringLiteral("</HTML>")};

// The lines a part goes in as, under its tag's line.
QStringList block(const QString &tag, const QStringList &part)
{
    if (part.isEmpty())
        return {};
    return QStringList{QStringLiteral("<!-- %1 Section of script -->").arg(tag)} + part
           + QStringList{QStringLiteral("<!-- End %1 Section of script -->").arg(tag)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString path = Fuzz::writeScratchFile(QStringLiteral("JAVA/Fuzz.Htm"), bytes);
    const QStringList fileLines = splitTextLines(decodeTextFile(bytes).text);

    QStringList header;
    FUZZ_CHECK(TScriptLibrary::readHeader(path, &header));
    FUZZ_CHECK(fileLines.mid(0, header.size()) == header);
    TScriptEntry entry;
    if (TScriptLibrary::entryFromHeader(header, path, &entry))
        FUZZ_CHECK(entry.Title == header.at(1));
    QList<TScriptEntry> entries;
    FUZZ_CHECK(TScriptLibrary::ListScripts(Fuzz::scratchFolder() + QStringLiteral("/JAVA"), &entries));

    const TScriptParts parts = TScriptInserter::parse(fileLines);
    MemoryTextBuffer buffer;
    buffer.setText(Page.join(QStringLiteral("\r\n")));
    QStringList alerts;
    TScriptInserter inserter(&buffer, [&alerts](const QString &text) { alerts << text; });
    inserter.InsertScript(path);
    FUZZ_CHECK(alerts.size() == (parts.alert.isEmpty() ? 0 : 1));

    // A head line naming BODY would take the body part under it instead.
    if (parts.head.join(QString()).toUpper().contains(QLatin1String("<BODY>")))
        return 0;
    const QStringList expected = Page.mid(0, 2) + block(QStringLiteral("<HEAD>"), parts.head) + Page.mid(2, 2)
                                 + block(QStringLiteral("<BODY>"), parts.body) + Page.mid(4);
    QStringList lines;
    for (int i = 0; i < buffer.lineCount(); ++i)
        lines << buffer.line(i);
    FUZZ_CHECK(lines == expected);
    return 0;
}
