#include "tidypagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Quorvant {

namespace {

// Code points up to limit go out as single bytes, the rest as references.
QByteArray encodeSingleByte(const QString &text, char16_t limit)
{
    QByteArray out;
    out.reserve(text.size());
    const auto *data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Runs of plain characters go out in one piece.
        qsizetype end = i;
        while (end < n && data[end] <= limit)
            ++end;
        if (end > i)
            out += QStringView(data + i, end - i).toLatin1();
        if (end == n)
            break;
        char32_t c = data[end];
        i = end + 1;
        if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(data[i]))
            c = QChar::surrogateToUcs4(char16_t(c), data[i++]);
        out += "&#" + QByteArray::number(uint(c)) + ';';
    }
    return out;
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
