#include "tcodesnippits.h"

#include "messageservice.h"
#include "editortypes.h"
#include "textfileformat.h"

#include <QFileInfo>

namespace Quorvant {

namespace {

const QString EndLine = QLatin1String(SnippetEndLine);

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString bodyOf(const QStringList &lines, int titleLine)
{
    QString body;
    for (int i = titleLine + 1; i < lines.size() && lines.at(i) != EndLine; ++i) {
        body += lines.at(i);
        body += QStringLiteral("\r\n");
    }
    return body;
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

QStringList TCodeSnippits::decodeLines(const QByteArray &bytes)
{
    const DecodedText decoded = decodeTextFile(bytes);
    QStringList lines = splitTextLines(decoded.text);
    if (decoded.format.encoding != TextEncoding::Windows1252)
        return lines;
    // Windows-1252 reads the byte 0x9E as a letter; at a line's start it is the mark.
    for (QString &line : lines) {
        if (line.startsWith(QChar(0x017E)))
            line[0] = QChar(SnippetTitleMark);
    }
    return lines;
}

bool TCodeSnippits::readLines(QStringList *lines, bool reportMissing)
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
    *lines = decodeLines(bytes);
    return true;
}

bool TCodeSnippits::writeLines(const QStringList &lines, const QString &FileName)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    QString why;
    if (!writeFileAtomically(FileName, text.toUtf8(), &why)) {
        debugOut(m_debug, QStringLiteral("Error: TCodeSnippits writing %1: %2").arg(FileName, why));
        return false;
    }
    return true;
}

bool TCodeSnippits::readLinesToChange(QStringList *lines)
{
    return readLines(lines, false) || !QFileInfo::exists(DataFile);
}

void TCodeSnippits::LoadData()
{
    CodeSnippets.clear();
    CodeSnippetNames.clear();
    if (!readLines(&CodeSnippets, false))
        return;
    for (const QString &line : std::as_const(CodeSnippets)) {
        if (isTitle(line))
            CodeSnippetNames.append(line.mid(1));
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
    QStringList lines;
    if (!readLines(&lines, true))
        return {};
    const int title = firstTitleOf(lines, Name);
    return title < 0 ? QString() : bodyOf(lines, title);
}

int TCodeSnippits::firstTitleOf(const QStringList &lines, const QString &Name)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (isTitle(lines.at(i)) && sameName(lines.at(i).mid(1), Name))
            return i;
    }
    return -1;
}

int TCodeSnippits::titleLineOfRow(const QStringList &lines, int row, const QString &Name)
{
    int seen = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (!isTitle(line) || line.size() < 2)
            continue;
        if (++seen == row)
            return sameName(line.mid(1), Name) ? i : -1;
    }
    return -1;
}

int TCodeSnippits::recordEnd(const QStringList &lines, int titleLine)
{
    int i = titleLine + 1;
    while (i < lines.size() && lines.at(i) != EndLine)
        ++i;
    return qMin(i + 1, int(lines.size()));
}

QString TCodeSnippits::LoadCodeSnippitAt(int row, const QString &Name)
{
    QStringList lines;
    if (!readLines(&lines, true))
        return {};
    int title = titleLineOfRow(lines, row, Name);
    if (title < 0)
        title = firstTitleOf(lines, Name);
    return title < 0 ? QString() : bodyOf(lines, title);
}

QStringList TCodeSnippits::recordLines(const QString &Name, const QString &Snippet1, const QString &Snippet2)
{
    QStringList lines{QChar(SnippetTitleMark) + Name};
    lines += splitTextLines(Snippet1 + QChar(SnippetSeparator) + Snippet2);
    lines.append(EndLine);
    return lines;
}

bool TCodeSnippits::SaveCodeSnippit(const QString &Name, const QString &Snippet1, const QString &Snippet2)
{
    QStringList lines;
    if (!readLinesToChange(&lines))
        return false;
    lines += recordLines(Name, Snippet1, Snippet2);
    return writeLines(lines, DataFile);
}

bool TCodeSnippits::RemoveCodeSnippit(const QString &Name)
{
    QStringList lines;
    if (!readLines(&lines, true))
        return false;
    QStringList kept;
    kept.reserve(lines.size());
    for (int i = 0; i < lines.size();) {
        if (isTitle(lines.at(i)) && sameName(lines.at(i).mid(1), Name)) {
            i = recordEnd(lines, i);
            continue;
        }
        kept.append(lines.at(i++));
    }
    return writeLines(kept, DataFile);
}

bool TCodeSnippits::RemoveCodeSnippitAt(int row, const QString &Name)
{
    QStringList lines;
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
    QStringList lines;
    if (!readLinesToChange(&lines))
        return false;
    const QStringList record = recordLines(Name, Snippet1, Snippet2);
    int title = titleLineOfRow(lines, row, OldName);
    // The file changed since the list was read: the first record of that name.
    if (title < 0)
        title = firstTitleOf(lines, OldName);
    if (title < 0) {
        lines += record;
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
    QStringList lines;
    if (!readLinesToChange(&lines))
        return false;
    return writeLines(lines, FileName);
}

bool TCodeSnippits::ImportFrom(const QString &FileName, int *added)
{
    *added = 0;
    QByteArray bytes;
    if (!readDataFile(FileName, &bytes, nullptr))
        return true;
    const QStringList source = decodeLines(bytes);
    QStringList lines;
    if (!readLinesToChange(&lines))
        return false;
    for (int i = 0; i < source.size(); ++i) {
        if (!isTitle(source.at(i)) || source.at(i).size() < 2)
            continue;
        // A record ends at its end line, or where the next one starts.
        lines.append(source.at(i));
        while (i + 1 < source.size() && source.at(i + 1) != EndLine && !isTitle(source.at(i + 1)))
            lines.append(source.at(++i));
        if (i + 1 < source.size() && source.at(i + 1) == EndLine)
            ++i;
        lines.append(EndLine);
        ++*added;
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
        if (line == EndLine)
            return QStringLiteral("A code snippet cannot contain a line that is exactly \"END}\": it ends a snippet "
                                  "in the data file. Please change that line and try again.");
        if (isTitle(line))
            return QStringLiteral("A code snippet cannot contain a line that begins with the control character "
                                  "U+009E: it starts a new snippet in the data file. Please remove it and try again.");
    }
    return {};
}

} // namespace Quorvant
