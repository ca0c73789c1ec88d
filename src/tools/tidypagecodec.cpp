#include "tidypagecodec.h"

#include <QRegularExpression>
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

// byteOf(c): the byte of code point c, or -1 for a reference.
template <typename ByteOf>
QByteArray encodeMappedUtf8(QByteArrayView utf8, ByteOf byteOf)
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
        if (const int byte = byteOf(c); byte >= 0)
            out.push_back(char(byte));
        else
            appendReference(out, c);
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

QByteArray encodeSingleByteUtf8(QByteArrayView utf8, char32_t limit)
{
    return encodeMappedUtf8(utf8, [limit](char32_t c) { return c <= limit ? int(c) : -1; });
}

// The Windows-1252 byte of c, or -1. The C1 controls get none: the tool
// would read their bytes as the characters Windows-1252 puts there.
int tidyWindows1252Byte(char32_t c)
{
    return (c >= 0x80 && c < 0xA0) ? -1 : windows1252Byte(c);
}

// Where a page declares its encoding: browsers look in the first 1,024
// bytes; this allows for a long head before the meta element.
constexpr qsizetype kCharsetScanBytes = 64 * 1024;

// The tool's names for an encoding it reads and writes.
QStringList encodingArguments(TidyPageEncoding e)
{
    switch (e) {
    case TidyPageEncoding::Latin1:
        return {QStringLiteral("--char-encoding"), QStringLiteral("latin1")};
    case TidyPageEncoding::Windows1252:
        // "char-encoding: win1252" would write ASCII.
        return {QStringLiteral("--input-encoding"), QStringLiteral("win1252"), QStringLiteral("--output-encoding"),
                QStringLiteral("win1252")};
    case TidyPageEncoding::Iso2022:
        return {QStringLiteral("--char-encoding"), QStringLiteral("iso2022")};
    case TidyPageEncoding::Utf8:
        break;
    }
    return {QStringLiteral("--char-encoding"), QStringLiteral("utf8")};
}

QString decodeLatin1(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

TidyPageEncoding tidyPageEncoding(TidyCharEncoding configured)
{
    switch (configured) {
    case TidyCharEncoding::Latin1:
        // The tool reads "ascii" input as Latin-1 too.
    case TidyCharEncoding::Ascii:
        return TidyPageEncoding::Latin1;
    case TidyCharEncoding::Iso2022:
        return TidyPageEncoding::Iso2022;
    case TidyCharEncoding::Raw:
    case TidyCharEncoding::Utf8:
    case TidyCharEncoding::Document:
        break;
    }
    return TidyPageEncoding::Utf8;
}

TidyPageFormat tidyPageFormat(TidyCharEncoding configured, TextEncoding document, QByteArrayView utf8)
{
    if (configured != TidyCharEncoding::Document)
        return {tidyPageEncoding(configured), {}};
    TidyPageFormat format;
    if (document == TextEncoding::Windows1252)
        format.encoding = declaredCharset(utf8) == QLatin1String("iso-8859-1") ? TidyPageEncoding::Latin1
                                                                              : TidyPageEncoding::Windows1252;
    // References are kept: the tool would otherwise write what they stand
    // for, and drop what the encoding cannot hold.
    format.arguments = encodingArguments(format.encoding) + QStringList{QStringLiteral("--preserve-entities"), QStringLiteral("yes")};
    return format;
}

QString declaredCharset(QByteArrayView page)
{
    static const QRegularExpression meta(QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(QString::fromLatin1(page.first(qMin(page.size(), kCharsetScanBytes))));
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QByteArray encodeTidyPage(const QString &text, TidyPageEncoding encoding)
{
    switch (encoding) {
    case TidyPageEncoding::Utf8:
        return text.toUtf8();
    case TidyPageEncoding::Latin1:
        return encodeSingleByte(text, 0xFF);
    case TidyPageEncoding::Iso2022:
        // Plain 7-bit text is valid ISO-2022; references keep the rest.
        return encodeSingleByte(text, 0x7F);
    case TidyPageEncoding::Windows1252:
        break;
    }
    return encodeTidyPageUtf8(text.toUtf8(), encoding);
}

QByteArray encodeTidyPage(const QString &text, TidyCharEncoding encoding)
{
    return encodeTidyPage(text, tidyPageEncoding(encoding));
}

QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyPageEncoding encoding)
{
    switch (encoding) {
    case TidyPageEncoding::Utf8:
        return utf8.toByteArray();
    case TidyPageEncoding::Latin1:
        return encodeSingleByteUtf8(utf8, 0xFF);
    case TidyPageEncoding::Iso2022:
        return encodeSingleByteUtf8(utf8, 0x7F);
    case TidyPageEncoding::Windows1252:
        return encodeMappedUtf8(utf8, tidyWindows1252Byte);
    }
    return utf8.toByteArray();
}

QByteArray encodeTidyPageUtf8(QByteArrayView utf8, TidyCharEncoding encoding)
{
    return encodeTidyPageUtf8(utf8, tidyPageEncoding(encoding));
}

QString decodeTidyPage(const QByteArray &bytes, TidyPageEncoding encoding)
{
    switch (encoding) {
    case TidyPageEncoding::Utf8:
        return decodeDataFile(bytes);
    case TidyPageEncoding::Latin1:
        return decodeLatin1(bytes);
    case TidyPageEncoding::Windows1252:
        return decodeWindows1252(bytes);
    case TidyPageEncoding::Iso2022: {
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

QString decodeTidyPage(const QByteArray &bytes, TidyCharEncoding encoding)
{
    return decodeTidyPage(bytes, tidyPageEncoding(encoding));
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
