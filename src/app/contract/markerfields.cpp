#include "markerfields.h"

#include "textfileformat.h"

#include <algorithm>

namespace Quorvant {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Finds markers and steps over text in a record's bytes, keeping UTF-8
// characters whole or taking every byte alone.
class MarkerScanner
{
public:
    MarkerScanner(QByteArrayView bytes, const MarkerFormat &format, bool keepUtf8)
        : m_bytes(bytes)
        , m_format(format)
        , m_keepUtf8(keepUtf8)
    {
    }

    // The length of the marker at pos (1, or 2 for its character form), 0
    // when there is none; *which gets the marker byte.
    qsizetype markerAt(qsizetype pos, char *which) const
    {
        const char c = m_bytes[pos];
        if (m_format.markers.contains(c)) {
            *which = c;
            return 1;
        }
        const auto lead = static_cast<unsigned char>(c);
        if ((lead == 0xC2 || lead == 0xC3) && pos + 1 < m_bytes.size()) {
            const auto trail = static_cast<unsigned char>(m_bytes[pos + 1]);
            const char marker = char(((lead & 0x03) << 6) | (trail & 0x3F));
            if ((trail & 0xC0) == 0x80 && m_format.markerCharacters.contains(marker)
                && m_format.markers.contains(marker)) {
                *which = marker;
                return 2;
            }
        }
        return 0;
    }

    // The bytes of the text at pos: a whole UTF-8 character, or one byte.
    qsizetype stepAt(qsizetype pos) const
    {
        if (m_keepUtf8) {
            if (const qsizetype n = utf8SequenceLength(m_bytes, pos))
                return n;
        }
        return 1;
    }

private:
    QByteArrayView m_bytes;
    const MarkerFormat &m_format;
    bool m_keepUtf8;
};

struct RecordRead
{
    QList<MarkerField> fields;
    qsizetype end = 0;
};

RecordRead readRecord(QByteArrayView bytes, qsizetype pos, const MarkerFormat &format, bool keepUtf8,
                      bool stopAtLineEnd)
{
    const MarkerScanner scanner(bytes, format, keepUtf8);
    const qsizetype n = bytes.size();
    auto markerAt = [&](qsizetype i, char *which) { return i < n ? scanner.markerAt(i, which) : 0; };
    auto endsField = [&](qsizetype i, bool last) {
        if (i >= n || (stopAtLineEnd && isLineEnd(bytes[i])))
            return true;
        char which = 0;
        return !last && markerAt(i, &which) > 0;
    };

    RecordRead read;
    qsizetype i = pos;
    for (;;) {
        MarkerField field;
        const bool last = format.maxFields > 0 && read.fields.size() + 1 >= format.maxFields;
        if (format.quotedFields && i < n && bytes[i] == '"') {
            QByteArray value;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (bytes[j] == '"') {
                    if (j + 1 < n && bytes[j + 1] == '"') {
                        value.append('"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                const qsizetype step = scanner.stepAt(j);
                value.append(bytes.sliced(j, step));
                j += step;
            }
            if (closed && endsField(j, last)) {
                field.bytes = value;
                field.quoted = true;
                i = j;
            }
        }
        if (!field.quoted) {
            const qsizetype start = i;
            while (!endsField(i, last))
                i += scanner.stepAt(i);
            field.bytes = bytes.sliced(start, i - start).toByteArray();
        }
        char which = 0;
        const qsizetype markerLength = last ? 0 : markerAt(i, &which);
        if (markerLength > 0)
            field.marker = which;
        read.fields.append(field);
        if (markerLength == 0)
            break;
        i += markerLength;
    }
    if (stopAtLineEnd) {
        if (i < n && bytes[i] == '\r')
            ++i;
        if (i < n && bytes[i] == '\n')
            ++i;
    }
    read.end = i;
    return read;
}

RecordRead readDetected(QByteArrayView bytes, qsizetype pos, const MarkerFormat &format, bool stopAtLineEnd)
{
    if (format.split == MarkerSplit::EveryMarkerByte)
        return readRecord(bytes, pos, format, false, stopAtLineEnd);
    RecordRead whole = readRecord(bytes, pos, format, true, stopAtLineEnd);
    const bool allUtf8 = std::all_of(whole.fields.cbegin(), whole.fields.cend(),
                                     [](const MarkerField &f) { return isValidUtf8(f.bytes); });
    if (allUtf8 && format.maxFields <= 0)
        return whole;
    RecordRead bytewise = readRecord(bytes, pos, format, false, stopAtLineEnd);
    if (!allUtf8 || bytewise.fields.size() > whole.fields.size())
        return bytewise;
    return whole;
}

} // namespace

QString MarkerField::text() const
{
    return decodeMarkerField(bytes);
}

qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype pos)
{
    if (pos < 0 || pos >= bytes.size())
        return 0;
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    qsizetype need;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (pos + need >= bytes.size())
        return 0;
    const unsigned char second = at(pos + 1);
    if (second < low || second > high)
        return 0;
    for (qsizetype k = 2; k <= need; ++k) {
        if ((at(pos + k) & 0xC0) != 0x80)
            return 0;
    }
    return need + 1;
}

QString decodeMarkerField(QByteArrayView bytes)
{
    if (isValidUtf8(bytes.constData(), bytes.size()))
        return QString::fromUtf8(bytes);
    return decodeWindows1252(bytes.toByteArray());
}

QList<MarkerField> splitMarkerFields(QByteArrayView record, const MarkerFormat &format)
{
    return readDetected(record, 0, format, false).fields;
}

QList<MarkerField> readMarkerRecord(QByteArrayView bytes, qsizetype *pos, const MarkerFormat &format)
{
    RecordRead read = readDetected(bytes, *pos, format, true);
    *pos = read.end;
    return read.fields;
}

QStringList markerFieldTexts(const QList<MarkerField> &fields)
{
    QStringList texts;
    texts.reserve(fields.size());
    for (const MarkerField &f : fields)
        texts.append(f.text());
    return texts;
}

bool fieldNeedsQuotes(const QString &text, const MarkerFormat &format)
{
    if (text.contains(u'\r') || text.contains(u'\n'))
        return true;
    if (format.quotedFields && text.startsWith(u'"'))
        return true;
    const QByteArray utf8 = text.toUtf8();
    for (const char marker : format.markers) {
        const auto byte = static_cast<unsigned char>(marker);
        // A continuation byte (0x80 to 0xBF) inside a character is no
        // marker; an ASCII byte or a lead byte is.
        if ((byte < 0x80 || byte >= 0xC0) && utf8.contains(marker))
            return true;
        if (format.markerCharacters.contains(marker) && text.contains(QChar(byte)))
            return true;
    }
    return false;
}

QByteArray encodeMarkerField(const QString &text, const MarkerFormat &format)
{
    if (!format.quotedFields || !fieldNeedsQuotes(text, format))
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size() + 8);
    out.append('"');
    out.append(QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")).toUtf8());
    out.append('"');
    return out;
}

QByteArray joinMarkerFields(const QStringList &fields, char marker, const MarkerFormat &format)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out.append(marker);
        out.append(encodeMarkerField(fields.at(i), format));
    }
    return out;
}

} // namespace Quorvant
