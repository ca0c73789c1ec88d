// Web pages in any charset: a page fetched from the web (its first line
// here stands for the HTTP Content-Type) decodes to text with CR LF line
// ends, and travels to HTML Tidy and back unchanged in UTF-8.
#include "fuzzsupport.h"

#include "tidypagecodec.h"
#include "twebfetch.h"

using namespace Quorvant;

namespace {

bool onlyCrLfLineEnds(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return false;
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::inputBytes(data, size);
    const qsizetype newline = input.indexOf('\n');
    const QByteArray contentType = newline < 0 ? QByteArray() : input.left(newline);
    const QByteArray body = newline < 0 ? input : input.mid(newline + 1);

    const QString text = TWebFetch::decodeBody(body, contentType);
    FUZZ_CHECK(onlyCrLfLineEnds(text));

    const QString charset = declaredCharset(body);
    FUZZ_CHECK(charset == charset.toLower());
    const QByteArray utf8 = text.toUtf8();
    for (TextEncoding document : {TextEncoding::Utf8, TextEncoding::Windows1252}) {
        const TidyPageFormat format = tidyPageFormat(TidyCharEncoding::Document, document, utf8);
        const QByteArray page = encodeTidyPageUtf8(utf8, format.encoding);
        (void)decodeTidyPage(page, format.encoding);
    }
    // Text with no unpaired surrogate goes to the tool and back as it was.
    if (QString::fromUtf8(utf8) == text) {
        FUZZ_CHECK(decodeTidyPage(encodeTidyPage(text, TidyPageEncoding::Utf8), TidyPageEncoding::Utf8) == text);
        FUZZ_CHECK(encodeTidyPageUtf8(utf8, TidyPageEncoding::Utf8) == encodeTidyPage(text, TidyPageEncoding::Utf8));
    }
    return 0;
}
