// Records of 8-bit text whose fields are parted by single marker bytes (0x9E,
// 0xFE, ...), as older data files hold them and as this program writes them:
// each field in UTF-8, a single marker byte between fields. Reading keeps a
// UTF-8 character whole, so a marker byte inside one (0x9E is the last byte
// of "Ş" and "О") never parts a field, and decodes each field on its own:
// UTF-8 when it is valid UTF-8, otherwise Windows-1252. Files that wrote the
// marker as a character in UTF-8 (C2 9E for 0x9E) read as well.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

enum class MarkerSplit {
    // UTF-8 characters are kept whole, unless the record then holds a field
    // that is not valid UTF-8, or (with a field limit) fewer fields than
    // parting at every marker byte gives: such a record was written by an
    // 8-bit program, in which every marker byte is a marker.
    Detect,
    // Every marker byte is a marker: text known to be 8-bit.
    EveryMarkerByte,
};

struct MarkerFormat
{
    // The bytes that part fields (ASCII ones such as ',' work as well).
    QByteArray markers;
    // Those markers (0x80 to 0xFF) that are also recognised as the UTF-8
    // form of their character (U+009E, written C2 9E, for 0x9E).
    QByteArray markerCharacters;
    // At most this many fields: the last one runs to the end of the record,
    // markers and all. Zero or less: no limit.
    int maxFields = 0;
    // A field that opens with '"' and whose closing quote ends the field is
    // quoted: it may hold markers and line ends, and "" stands for one quote.
    // A field whose quote never closes that way is read as plain text.
    bool quotedFields = false;
    MarkerSplit split = MarkerSplit::Detect;
};

struct MarkerField
{
    QByteArray bytes;   // as in the record; a quoted field without its quotes
    char marker = 0;    // the marker byte that ended the field; 0 for the last
    bool quoted = false;
    QString text() const;
};

// The length of the whole, valid UTF-8 sequence of two bytes or more that
// starts at pos; 0 when there is none.
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype pos);

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
QString decodeMarkerField(QByteArrayView bytes);

// Parts one record (line ends are ordinary bytes in it).
QList<MarkerField> splitMarkerFields(QByteArrayView record, const MarkerFormat &format);
// Reads the record that starts at *pos up to its line end (CR LF, CR or LF;
// a quoted field may hold line ends) and moves *pos past the line end.
QList<MarkerField> readMarkerRecord(QByteArrayView bytes, qsizetype *pos, const MarkerFormat &format);
QStringList markerFieldTexts(const QList<MarkerField> &fields);

// True when the text, written as one field of the format, would read back
// as more than one field or end its line: it holds a marker (as a byte or in
// its character form), a CR or an LF, or, with quotedFields, opens with '"'.
bool fieldNeedsQuotes(const QString &text, const MarkerFormat &format);
// The field in UTF-8; with quotedFields, quoted when fieldNeedsQuotes.
QByteArray encodeMarkerField(const QString &text, const MarkerFormat &format);
// The fields, each encoded by encodeMarkerField, with the single byte
// marker between them.
QByteArray joinMarkerFields(const QStringList &fields, char marker, const MarkerFormat &format);

} // namespace Quorvant
