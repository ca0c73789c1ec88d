// Documents in any encoding, through the text file decoder and the editor
// buffer: decoded and encoded again they give the same bytes, and a
// document loaded and saved is stable from its first save on.
#include "fuzzsupport.h"

#include "memoryeditor.h"
#include "textfileformat.h"

using namespace Quorvant;

namespace {

QByteArray loadAndSave(const QString &from, const QString &to)
{
    MemoryTextBuffer buffer;
    QString error;
    FUZZ_CHECK(buffer.loadFromFile(from, &error));
    FUZZ_CHECK(buffer.saveToFile(to, &error));
    QByteArray bytes;
    FUZZ_CHECK(readWholeFile(to, &bytes, &error));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);

    const DecodedText decoded = decodeTextFile(bytes);
    TextFileFormat format = decoded.format;
    FUZZ_CHECK(encodeTextFile(decoded.text, &format) == bytes);
    FUZZ_CHECK(format == decoded.format);
    FUZZ_CHECK(detectLineEnds(decoded.text) == decoded.format.lineEnds);

    // Through the editor buffer as the program opens and saves a file: the
    // line ends become the file's first style, nothing else changes.
    const QString original = Fuzz::writeScratchFile(QStringLiteral("page.htm"), bytes);
    const QString saved = Fuzz::scratchFolder() + QStringLiteral("/saved.htm");
    const QByteArray first = loadAndSave(original, saved);
    const QString uniform = convertLineEnds(decoded.text, decoded.format.lineEnds);
    if (uniform == decoded.text)
        FUZZ_CHECK(first == bytes);
    FUZZ_CHECK(decodeTextFile(first).text == uniform);
    FUZZ_CHECK(loadAndSave(saved, saved) == first);
    return 0;
}
