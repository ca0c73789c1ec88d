// The code snippet store ("Snippets.Dat"): every name it lists has a body
// that splits into two parts, and a snippet saved into the file leaves every
// byte that was there in place and reads back as it was given.
#include "fuzzsupport.h"

#include "tcodesnippits.h"
#include "textfileformat.h"

using namespace Quorvant;

namespace {

// Snippets read per input; each read goes to the file again.
constexpr int SnippetsRead = 16;

QByteArray fileBytes(const QString &path)
{
    QByteArray bytes;
    FUZZ_CHECK(readWholeFile(path, &bytes, nullptr));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString path = Fuzz::writeScratchFile(QStringLiteral("Snippets.Dat"), bytes);
    QStringList errors;
    TCodeSnippits store(path, {}, [&errors](const QString &text) { errors << text; });
    const QStringList names = store.RefreshList();
    for (int row = 0; row < names.size() && row < SnippetsRead; ++row) {
        const QString body = store.LoadCodeSnippitAt(row, names[row]);
        const TSnippetParts parts = TCodeSnippits::splitBody(body);
        FUZZ_CHECK(!parts.Part1.contains(QChar(SnippetSeparator)) && !parts.Part2.contains(QChar(SnippetSeparator)));
        (void)TCodeSnippits::insertionText(body);
    }

    const QString name = QStringLiteral("Fuzz snippet \u00e9");
    const QString part1 = QStringLiteral("<b>\r\nbold \u20ac");
    const QString part2 = QStringLiteral("</b>");
    FUZZ_CHECK(TCodeSnippits::whyNotStorable(name, part1, part2).isEmpty());
    FUZZ_CHECK(store.SaveCodeSnippit(name, part1, part2));
    // The old bytes stay, then at most a line end for an unended last line.
    const QByteArray after = fileBytes(path);
    FUZZ_CHECK(after.startsWith(bytes));
    const QStringList namesAfter = store.RefreshList();
    FUZZ_CHECK(namesAfter.size() == names.size() + 1 && namesAfter.mid(0, names.size()) == names);
    FUZZ_CHECK(namesAfter.last() == name);
    const TSnippetParts stored = TCodeSnippits::splitBody(store.LoadCodeSnippitAt(int(names.size()), name));
    // Stored bodies end in a line end.
    FUZZ_CHECK(stored.Part1 == part1 && stored.Part2 == part2 + QStringLiteral("\r\n"));
    FUZZ_CHECK(errors.isEmpty());
    return 0;
}
