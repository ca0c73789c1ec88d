#include "tidypagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <string>

namespace Quorvant {

namespace {

void appendReference(std::string &out, char32_t c)
{
    out += "&#" + std::to_string(uint32_t(c)) + ';';
}

// Code points up to limit go out as single bytes, the rest as references.
QByteArray encodeSingleByte(const QString &text, char16_t limit)
{
    std::string out;
    const qsizetype n = text.size();
    out.reserve(size_t(n) + 64);
    const auto *data = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = data[i];
        if (c <= limit) {
            out.push_back(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(data[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), data[++i]);
        appendReference(out, c);
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

// The code point of the UTF-8 sequence at s[*i] (moving *i past it), or the
// byte itself when it starts no valid sequence.
char32_t nextCodePoint(const unsigned char *s, qsizetype n, qsizetype *i)
{
    const unsigned char b = s[*i];
    int extra = 0;
    char32_t c = 0;
    if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        c = b & 0x07;
    } else if (b >= 0xE0) {
        extra = b <= 0xEF ? 2 : 0;
        c = b & 0x0F;
    } else if (b >= 0xC2) {
        extra = 1;
        c = b & 0x1F;
    }
    if (extra == 0 || *i + extra >= n) {
        ++*i;
        return b;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((s[*i + k] & 0xC0) != 0x80) {
            ++*i;
            return b;
        }
        c = (c << 6) | (s[*i + k] & 0x3F);
    }
    *i += extra + 1;
    return c;
}

QByteArray encodeSingleByteUtf8(QByteArrayView utf8, char32_t limit)
{
    std::string out;
    const qsizetype n = utf8.size();
    out.reserve(size_t(n) + 64);
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    qsizetype i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            out.push_back(char(s[i++]));
            continue;
        }
        const char32_t c = nextCodePoint(s, n, &i);
        if (c <= limit)
            out.push_back(char(c));
        else
            appendReference(out, c);
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

QString decodeLatin1(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

QByteArray encodeTidyPage(const QString &text, TidyCharEncoding encoding)
{
    switch (encoding) {
    case TidyCharEncoding::Raw:
    case TidyCharEncoding::Utf8:
        return text.toUtf8();
    case TidyCharEncoding::Latin1:
        // The tool reads "ascii" input as Latin-1 too.
    case TidyCharEncoding::Ascii:
        return encodeSingleByte(text, 0xFF);
    case TidyCharEncoding::Iso2022:
        // Plain 7-bit text is valid ISO-2022; references keep the rest.
        return encodeSingleByte(text, 0x7F);
    }
    return text.toUtf8();
}

QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyCharEncoding encoding)
{
    switch (encoding) {
    case TidyCharEncoding::Raw:
    case TidyCharEncoding::Utf8:
        return utf8.toByteArray();
    case TidyCharEncoding::Latin1:
    case TidyCharEncoding::Ascii:
        return encodeSingleByteUtf8(utf8, 0xFF);
    case TidyCharEncoding::Iso2022:
        return encodeSingleByteUtf8(utf8, 0x7F);
    }
    return utf8.toByteArray();
}

QString decodeTidyPage(const QByteArray &bytes, TidyCharEncoding encoding)
{
    switch (encoding) {
    case TidyCharEncoding::Raw:
    case TidyCharEncoding::Utf8:
        return decodeDataFile(bytes);
    case TidyCharEncoding::Latin1:
    case TidyCharEncoding::Ascii:
        return decodeLatin1(bytes);
    case TidyCharEncoding::Iso2022: {
        QStringDecoder iso("ISO-2022-JP");
        if (iso.isValid()) {
            const QString text = iso.decode(bytes);
            if (!iso.hasError())
                return text;
        }
        return decodeLatin1(bytes);
    }
    }
    return decodeDataFile(bytes);
}

QString decodeDataFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return decodeLatin1(bytes);
}

} // namespace Quorvant
