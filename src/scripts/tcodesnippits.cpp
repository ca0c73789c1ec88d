#include "tcodesnippits.h"

#include "editortypes.h"
#include "markerfields.h"
#include "messageservice.h"
#include "textfileformat.h"

#include <QFileInfo>

#include <algorithm>

namespace Quorvant {

namespace {

const QByteArray EndLine(SnippetEndLine);
const QByteArray CrLf = QByteArrayLiteral("\r\n");
// How files of earlier versions began a title line: U+009E in UTF-8.
const QByteArray Utf8TitleMark = QByteArrayLiteral("\xC2\x9E");

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A body's parts: parted by the byte 0xFE, or in files of earlier versions
// by U+00FE in UTF-8.
const MarkerFormat &bodyFormat()
{
    static const MarkerFormat format = [] {
        MarkerFormat f;
        f.markers = QByteArray(1, SnippetSeparatorByte);
        f.markerCharacters = f.markers;
        return f;
    }();
    return format;
}

} // namespace

TCodeSnippits::TCodeSnippits(const QString &FileName, DebugOut debugger, ErrorBox error)
    : DataFile(FileName)
    , m_debug(std::move(debugger))
    , m_error(std::move(error))
{
    if (!m_error)
        m_error = [](const QString &text) { MessageService::error(nullptr, text); };
    LoadData();
}

TCodeSnippits::StoredLines TCodeSnippits::splitStoredLines(const QByteArray &bytes)
{
    StoredLines lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        const qsizetype endLength = c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n' ? 2 : 1;
        lines.append({bytes.mid(start, i - start), bytes.mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < n)
        lines.append({bytes.mid(start), QByteArray()});
    return lines;
}

bool TCodeSnippits::readLines(StoredLines *lines, bool reportMissing)
{
    lines->clear();
    QByteArray bytes;
    QString why;
    if (!QFileInfo::exists(DataFile) || !readDataFile(DataFile, &bytes, &why)) {
        if (!why.isEmpty())
            debugOut(m_debug, QStringLiteral("Error: TCodeSnippits reading %1: %2").arg(DataFile, why));
        if (reportMissing)
            m_error(QLatin1String(SnippetsLockedMessage));
        return false;
    }
    *lines = splitStoredLines(bytes);
    return true;
}

bool TCodeSnippits::writeLines(const StoredLines &lines, const QString &FileName)
{
    QByteArray bytes;
    for (const StoredLine &line : lines) {
        bytes += line.bytes;
        bytes += line.end;
    }
    QString why;
    if (!writeFileAtomically(FileName, bytes, &why)) {
        debugOut(m_debug, QStringLiteral("Error: TCodeSnippits writing %1: %2").arg(FileName, why));
        return false;
    }
    return true;
}

bool TCodeSnippits::readLinesToChange(StoredLines *lines)
{
    return readLines(lines, false) || !QFileInfo::exists(DataFile);
}

void TCodeSnippits::appendRecord(StoredLines *lines, const StoredLines &record)
{
    if (!lines->isEmpty() && lines->last().end.isEmpty())
        lines->last().end = CrLf;
    *lines += record;
}

bool TCodeSnippits::isTitle(const QByteArray &line, QString *name)
{
    QString found;
    if (line.startsWith(SnippetTitleByte))
        found = decodeMarkerField(QByteArrayView(line).sliced(1));
    else if (line.startsWith(Utf8TitleMark) && isValidUtf8(line))
        found = QString::fromUtf8(QByteArrayView(line).sliced(Utf8TitleMark.size()));
    else
        return false;
    if (name)
        *name = found;
    return true;
}

QString TCodeSnippits::bodyOf(const StoredLines &lines, int titleLine)
{
    QByteArray body;
    for (int i = titleLine + 1; i < lines.size() && lines.at(i).bytes != EndLine; ++i) {
        body += lines.at(i).bytes;
        body += CrLf;
    }
    // Parted before decoding: each part is read in its own encoding.
    return markerFieldTexts(splitMarkerFields(body, bodyFormat())).join(QChar(SnippetSeparator));
}

QString TCodeSnippits::storedBody(const QString &Snippet1, const QString &Snippet2)
{
    QString body;
    for (const QString &line : splitTextLines(Snippet1 + QChar(SnippetSeparator) + Snippet2))
        body += line + QStringLiteral("\r\n");
    return body;
}

TCodeSnippits::StoredLines TCodeSnippits::encodeRecord(const QString &Name, const QString &body)
{
    StoredLines record{{SnippetTitleByte + encodeMarkerField(Name, bodyFormat()), CrLf}};
    const QByteArray bodyBytes =
        joinMarkerFields(body.split(QChar(SnippetSeparator)), SnippetSeparatorByte, bodyFormat());
    for (StoredLine line : splitStoredLines(bodyBytes)) {
        line.end = CrLf;
        record.append(line);
    }
    record.append({EndLine, CrLf});
    // Read back as the store reads: the same name and body, and no body line
    // that would end the record or start another.
    QString readName;
    bool readsBack = isTitle(record.first().bytes, &readName) && readName == Name && bodyOf(record, 0) == body;
    for (int i = 1; readsBack && i + 1 < record.size(); ++i)
        readsBack = !isTitle(record.at(i).bytes) && record.at(i).bytes != EndLine;
    return readsBack ? record : StoredLines();
}

void TCodeSnippits::LoadData()
{
    CodeSnippetNames.clear();
    StoredLines lines;
    if (!readLines(&lines, false))
        return;
    QString name;
    for (const StoredLine &line : std::as_const(lines)) {
        if (isTitle(line.bytes, &name))
            CodeSnippetNames.append(name);
    }
}

QStringList TCodeSnippits::GetAllCodeSnippitNames() const
{
    QStringList rows;
    for (const QString &name : CodeSnippetNames) {
        if (!name.isEmpty())
            rows.append(name);
    }
    return rows;
}

QStringList TCodeSnippits::RefreshList()
{
    LoadData();
    return GetAllCodeSnippitNames();
}

QString TCodeSnippits::LoadCodeSnippit(const QString &Name)
{
    StoredLines lines;
    if (!readLines(&lines, true))
        return {};
    const int title = firstTitleOf(lines, Name);
    return title < 0 ? QString() : bodyOf(lines, title);
}

int TCodeSnippits::firstTitleOf(const StoredLines &lines, const QString &Name)
{
    QString name;
    for (int i = 0; i < lines.size(); ++i) {
        if (isTitle(lines.at(i).bytes, &name) && sameName(name, Name))
            return i;
    }
    return -1;
}

int TCodeSnippits::titleLineOfRow(const StoredLines &lines, int row, const QString &Name)
{
    int seen = -1;
    QString name;
    for (int i = 0; i < lines.size(); ++i) {
        if (!isTitle(lines.at(i).bytes, &name) || name.isEmpty())
            continue;
        if (++seen == row)
            return sameName(name, Name) ? i : -1;
    }
    return -1;
}

int TCodeSnippits::recordEnd(const StoredLines &lines, int titleLine)
{
    int i = titleLine + 1;
    while (i < lines.size() && lines.at(i).bytes != EndLine)
        ++i;
    return qMin(i + 1, int(lines.size()));
}

QString TCodeSnippits::LoadCodeSnippitAt(int row, const QString &Name)
{
    StoredLines lines;
    if (!readLines(&lines, true))
        return {};
    int title = titleLineOfRow(lines, row, Name);
    if (title < 0)
        title = firstTitleOf(lines, Name);
    return title < 0 ? QString() : bodyOf(lines, title);
}

bool TCodeSnippits::SaveCodeSnippit(const QString &Name, const QString &Snippet1, const QString &Snippet2)
{
    const StoredLines record = encodeRecord(Name, storedBody(Snippet1, Snippet2));
    StoredLines lines;
    if (record.isEmpty() || !readLinesToChange(&lines))
        return false;
    appendRecord(&lines, record);
    return writeLines(lines, DataFile);
}

bool TCodeSnippits::RemoveCodeSnippit(const QString &Name)
{
    StoredLines lines;
    if (!readLines(&lines, true))
        return false;
    StoredLines kept;
    kept.reserve(lines.size());
    QString name;
    for (int i = 0; i < lines.size();) {
        if (isTitle(lines.at(i).bytes, &name) && sameName(name, Name)) {
            i = recordEnd(lines, i);
            continue;
        }
        kept.append(lines.at(i++));
    }
    return writeLines(kept, DataFile);
}

bool TCodeSnippits::RemoveCodeSnippitAt(int row, const QString &Name)
{
    StoredLines lines;
    if (!readLines(&lines, true))
        return false;
    const int title = titleLineOfRow(lines, row, Name);
    if (title < 0)
        return true;  // gone already
    lines.erase(lines.begin() + title, lines.begin() + recordEnd(lines, title));
    return writeLines(lines, DataFile);
}

bool TCodeSnippits::ReplaceCodeSnippitAt(int row, const QString &OldName, const QString &Name, const QString &Snippet1,
                                         const QString &Snippet2)
{
    const StoredLines record = encodeRecord(Name, storedBody(Snippet1, Snippet2));
    StoredLines lines;
    if (record.isEmpty() || !readLinesToChange(&lines))
        return false;
    int title = titleLineOfRow(lines, row, OldName);
    // The file changed since the list was read: the first record of that name.
    if (title < 0)
        title = firstTitleOf(lines, OldName);
    if (title < 0) {
        appendRecord(&lines, record);
    } else {
        const int end = recordEnd(lines, title);
        lines.erase(lines.begin() + title, lines.begin() + end);
        for (int i = 0; i < record.size(); ++i)
            lines.insert(title + i, record.at(i));
    }
    return writeLines(lines, DataFile);
}

bool TCodeSnippits::ExportTo(const QString &FileName)
{
    StoredLines lines;
    if (!readLinesToChange(&lines))
        return false;
    return writeLines(lines, FileName);
}

bool TCodeSnippits::ImportFrom(const QString &FileName, int *added, int *skipped)
{
    *added = 0;
    *skipped = 0;
    QByteArray bytes;
    if (!readDataFile(FileName, &bytes, nullptr))
        return true;
    const StoredLines source = splitStoredLines(bytes);
    StoredLines lines;
    if (!readLinesToChange(&lines))
        return false;
    struct Held
    {
        QString name;
        TSnippetParts parts;
    };
    QList<Held> held;
    QString name;
    for (int i = 0; i < lines.size(); ++i) {
        if (isTitle(lines.at(i).bytes, &name))
            held.append({name, splitBody(bodyOf(lines, i))});
    }
    for (int i = 0; i < source.size(); ++i) {
        if (!isTitle(source.at(i).bytes, &name) || name.isEmpty())
            continue;
        // A record ends at its end line, or where the next one starts.
        StoredLines record{source.at(i)};
        int next = i + 1;
        while (next < source.size() && source.at(next).bytes != EndLine && !isTitle(source.at(next).bytes))
            record.append(source.at(next++));
        const QString body = bodyOf(record, 0);
        const TSnippetParts parts = splitBody(body);
        const bool alreadyHeld = std::any_of(held.cbegin(), held.cend(), [&](const Held &h) {
            return sameName(h.name, name) && h.parts == parts;
        });
        if (alreadyHeld) {
            ++*skipped;
        } else if (const StoredLines encoded = encodeRecord(name, body); encoded.isEmpty()) {
            debugOut(m_debug,
                     QStringLiteral("Error: TCodeSnippits importing %1: \"%2\" cannot be stored").arg(FileName, name));
        } else {
            appendRecord(&lines, encoded);
            held.append({name, parts});
            ++*added;
        }
        i = next < source.size() && source.at(next).bytes == EndLine ? next : next - 1;
    }
    if (*added == 0)
        return true;
    return writeLines(lines, DataFile);
}

TSnippetParts TCodeSnippits::splitBody(const QString &body)
{
    TSnippetParts parts;
    if (body.size() <= 1)
        return parts;
    const qsizetype sep = body.indexOf(QChar(SnippetSeparator));
    if (sep < 0) {
        parts.Part1 = body;
        return parts;
    }
    parts.Part1 = body.left(sep);
    const qsizetype second = body.indexOf(QChar(SnippetSeparator), sep + 1);
    parts.Part2 = second < 0 ? body.mid(sep + 1) : body.mid(sep + 1, second - sep - 1);
    return parts;
}

QString TCodeSnippits::insertionText(const QString &body)
{
    const TSnippetParts parts = splitBody(body);
    return parts.Part1 + QChar(SnippetSeparator) + parts.Part2;
}

QString TCodeSnippits::whyNotStorable(const QString &Name, const QString &Snippet1, const QString &Snippet2)
{
    if (Name.contains(u'\r') || Name.contains(u'\n'))
        return QStringLiteral("The name of a code snippet must be a single line.");
    if (Snippet1.contains(QChar(SnippetSeparator)) || Snippet2.contains(QChar(SnippetSeparator)))
        return QStringLiteral("A code snippet cannot contain the character \"%1\": it separates the two parts of "
                              "a snippet. Please remove it and try again.")
            .arg(QChar(SnippetSeparator));
    const QStringList lines = splitTextLines(Snippet1 + QChar(SnippetSeparator) + Snippet2);
    for (const QString &line : lines) {
        if (line == QLatin1String(SnippetEndLine))
            return QStringLiteral("A code snippet cannot contain a line that is exactly \"END}\": it ends a snippet "
                                  "in the data file. Please change that line and try again.");
        if (line.startsWith(QChar(SnippetTitleMark)))
            return QStringLiteral("A code snippet cannot contain a line that begins with the control character "
                                  "U+009E: it starts a new snippet in the data file. Please remove it and try again.");
    }
    if (encodeRecord(Name, storedBody(Snippet1, Snippet2)).isEmpty())
        return QStringLiteral("A code snippet cannot contain characters that have no UTF-8 form. Please remove "
                              "them and try again.");
    return {};
}

} // namespace Quorvant
