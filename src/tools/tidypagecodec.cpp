#include "tidypagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Quorvant {

namespace {

// Code points up to limit go out as single bytes, the rest as references.
QByteArray encodeSingleByte(const QString &text, char32_t limit)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (c <= limit)
            out += char(c);
        else
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
