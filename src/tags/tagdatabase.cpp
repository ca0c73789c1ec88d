#include "tagdatabase.h"

#include "taglibfiles.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "toolkitglobals.h"

#include <QFileInfo>

namespace Quorvant {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString withoutBlanks(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (!isBlank(c))
            out.append(c);
    }
    return out;
}

// Whether the quote at i opens a quoted value of the tag starting at
// tagStart: a double quote always does, a single quote only after '=' (so an
// apostrophe in a bare word stays text).
bool opensQuote(const QString &s, qsizetype i, qsizetype tagStart)
{
    const QChar c = s.at(i);
    if (c == u'"')
        return true;
    if (c != u'\'')
        return false;
    qsizetype j = i - 1;
    while (j > tagStart && isBlank(s.at(j)))
        --j;
    return j > tagStart && s.at(j) == u'=';
}

// Index just past the quote closing the one at i, or -1 when the line has
// none; an unclosed quote is read as plain text.
qsizetype quotedEnd(const QString &s, qsizetype i)
{
    const qsizetype close = s.indexOf(s.at(i), i + 1);
    return close < 0 ? -1 : close + 1;
}

// End (exclusive) of the tag whose '<' is at lt: past its first '>' outside
// quoted values, or before the next '<' of an unclosed tag.
qsizetype tagEndFrom(const QString &line, qsizetype lt)
{
    const qsizetype n = line.size();
    qsizetype i = lt + 1;
    while (i < n) {
        const QChar c = line.at(i);
        if (c == u'>')
            return i + 1;
        if (c == u'<')
            return i;
        if (opensQuote(line, i, lt)) {
            const qsizetype e = quotedEnd(line, i);
            if (e >= 0) {
                i = e;
                continue;
            }
        }
        ++i;
    }
    return n;
}

// A value as written back: double-quoted, or single-quoted when it holds a
// double quote.
QString quotedValue(const QString &value)
{
    if (value.contains(u'"') && !value.contains(u'\''))
        return u'\'' + value + u'\'';
    return u'"' + value + u'"';
}

// The span of the tag at the caret and its rebuilt text.
struct TRebuild
{
    bool ok = false;
    qsizetype start = 0;
    qsizetype end = 0;  // exclusive
    QString newTag;
};

// One attribute as the document writes it, for keeping what the grid does not list.
struct TWrittenAttribute
{
    QString name;
    QString text;
};

// The attributes after the tag name, parsed loosely: name, optional blanks,
// '=', optional blanks, a quoted or bare value. Anything else stays a word.
QList<TWrittenAttribute> writtenAttributes(const QString &tagText, qsizetype from)
{
    QList<TWrittenAttribute> out;
    const qsizetype n = tagText.size();
    qsizetype i = from;
    while (i < n) {
        while (i < n && isBlank(tagText.at(i)))
            ++i;
        if (i >= n || tagText.at(i) == u'>')
            break;
        const qsizetype begin = i;
        while (i < n && !isBlank(tagText.at(i)) && tagText.at(i) != u'=' && tagText.at(i) != u'>')
            ++i;
        const QString name = tagText.mid(begin, i - begin);
        qsizetype j = i;
        while (j < n && isBlank(tagText.at(j)))
            ++j;
        if (j < n && tagText.at(j) == u'=') {
            ++j;
            while (j < n && isBlank(tagText.at(j)))
                ++j;
            if (j < n && (tagText.at(j) == u'"' || tagText.at(j) == u'\'')) {
                const qsizetype close = tagText.indexOf(tagText.at(j), j + 1);
                j = close < 0 ? n : close + 1;
            } else {
                while (j < n && !isBlank(tagText.at(j)) && tagText.at(j) != u'>')
                    ++j;
            }
            i = j;
        }
        if (i == begin)  // a lone '='
            ++i;
        out.append({name, tagText.mid(begin, i - begin)});
    }
    return out;
}

TRebuild rebuild(const QString &line, int caretX, const QString &tagName, const QList<TGridRow> &rows)
{
    TRebuild r;
    if (tagName.isEmpty() || rows.isEmpty())
        return r;
    const int x = qBound(0, caretX, int(line.size()));
    const TCaretTag caret = CaretTag(line, x);
    if (!caret.Inside || TTagDatabase::FindMainTag(caret.TagText).compare(tagName, Qt::CaseInsensitive) != 0)
        return r;
    r.start = caret.Start;
    r.end = r.start + caret.TagText.size();
    QString tagText = caret.TagText;
    if (!tagText.endsWith(u'>')) {
        while (tagText.size() > 1 && isBlank(tagText.back()))
            tagText.chop(1);
    }

    // The names follow the tag-case setting like every insertion; values and
    // the attributes the grid does not list stay as written.
    auto inTagCase = [](const QString &name) { return gInsertTagsInLowercase ? name.toLower() : name.toUpper(); };
    QStringList rowNames;
    QString tag = QStringLiteral("<") + inTagCase(tagName);
    for (const TGridRow &row : rows) {
        const QString name = withoutBlanks(row.first);
        rowNames.append(name);
        if (!name.isEmpty() && !withoutBlanks(row.second).isEmpty())
            tag += u' ' + inTagCase(row.first) + u'=' + quotedValue(row.second);
    }
    const qsizetype nameEnd = 1 + tagName.size();  // tagText starts with '<' and the name
    for (const TWrittenAttribute &a : writtenAttributes(tagText, nameEnd)) {
        bool listed = false;
        for (const QString &rowName : rowNames)
            listed = listed || rowName.compare(a.name, Qt::CaseInsensitive) == 0;
        if (!listed)
            tag += u' ' + a.text;
    }
    tag += u'>';
    r.newTag = tag;
    r.ok = true;
    return r;
}

} // namespace

TCaretTag CaretTag(const QString &line, int caretX)
{
    TCaretTag out;
    if (line.isEmpty() || caretX < 0 || caretX > line.size())
        return out;
    // Walk the text left of the caret; a '>' or '<' inside a quoted value
    // belongs to the value, not to the markup.
    qsizetype lt = -1;
    for (qsizetype i = 0; i < caretX; ++i) {
        const QChar c = line.at(i);
        if (c == u'<') {
            lt = i;
        } else if (lt >= 0 && c == u'>') {
            lt = -1;
        } else if (lt >= 0 && opensQuote(line, i, lt)) {
            const qsizetype e = quotedEnd(line, i);
            if (e < 0)
                continue;
            if (e > caretX)
                break;  // the caret is inside the value
            i = e - 1;
        }
    }
    if (lt < 0)
        return out;
    out.Inside = true;
    out.Start = int(lt);
    // An unclosed tag ends before the next tag, never inside it.
    out.TagText = line.mid(lt, tagEndFrom(line, lt) - lt);
    return out;
}

TTagDatabase::TTagDatabase(DebugOut debugger)
    : m_debug(std::move(debugger))
{
}

bool TTagDatabase::Load(const QString &TagDBaseFile, const QString &TagDataFile)
{
    m_tagInfo.clear();
    m_tagData.clear();
    m_active = false;
    if (!QFileInfo(TagDBaseFile).isFile() || !QFileInfo(TagDataFile).isFile()) {
        debugOut(m_debug, QStringLiteral("Error: THTMLStringGrid.Create: Tag database files not found"));
        return false;
    }
    QStringList info, data;
    if (!readTagFileLines(TagDBaseFile, &info) || !readTagFileLines(TagDataFile, &data)) {
        debugOut(m_debug, QStringLiteral("Error: THTMLStringGrid.Create: Could not read the tag database files"));
        return false;
    }
    LoadLines(info, data);
    debugOut(m_debug, QStringLiteral("Tag database loaded: %1 tags").arg(m_tagInfo.size()));
    return true;
}

void TTagDatabase::LoadLines(const QStringList &tagInfo, const QStringList &tagData)
{
    m_tagInfo = tagInfo;
    m_tagData = tagData;
    m_active = true;
}

QString TTagDatabase::LineName(const QString &line)
{
    return GetValue(0, u'=', line);
}

QList<TTagItem> TTagDatabase::LineItems(const QString &line)
{
    QList<TTagItem> items;
    if (line.size() <= 2)
        return items;
    const qsizetype open = line.indexOf(u'"');
    if (open < 0)
        return items;
    qsizetype close = line.indexOf(u'"', open + 1);
    if (close < 0)
        close = line.size();
    const QString list = line.mid(open + 1, close - open - 1);
    for (const QString &item : list.split(u',')) {
        TTagItem t;
        const qsizetype paren = item.indexOf(u'(');
        if (paren < 0) {
            t.Style = item;
        } else {
            t.Style = item.left(paren);
            const qsizetype end = item.indexOf(u')', paren + 1);
            if (end >= 0)
                t.Attribute = item.mid(paren + 1, end - paren - 1);
        }
        items.append(t);
    }
    return items;
}

QString TTagDatabase::FindMainTag(const QString &TagText)
{
    const qsizetype begin = TagText.lastIndexOf(u'<') + 1;
    qsizetype end = begin;
    while (end < TagText.size()) {
        const QChar c = TagText.at(end);
        if (isBlank(c) || c == u'>' || c == u'=')
            break;
        ++end;
    }
    return TagText.mid(begin, end - begin);
}

QString TTagDatabase::GetLastTag(const QString &TagText)
{
    qsizetype first = 0;
    while (first < TagText.size() && isBlank(TagText.at(first)))
        ++first;
    const QString s = TagText.mid(first);
    qsizetype gt = -1;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (s.at(i) == u'<')
            return {};
        if (s.at(i) == u'>') {
            gt = i;
            break;
        }
    }
    if (gt < 0)
        return {};
    const qsizetype lt = s.lastIndexOf(u'<', gt);
    if (lt < 0)
        return {};
    return s.mid(lt, gt - lt + 1);
}

QStringList TTagDatabase::AllTagNames() const
{
    QStringList names;
    for (const QString &line : m_tagInfo) {
        const QString name = LineName(line);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

QStringList TTagDatabase::AllNames() const
{
    QStringList names;
    for (const QString &line : m_tagInfo) {
        const QString name = LineName(line);
        if (name.isEmpty())
            continue;
        names.append(name);
        for (const TTagItem &item : LineItems(line)) {
            if (!item.Attribute.isEmpty() && item.Style.compare(QLatin1String("ENDTAG"), Qt::CaseInsensitive) != 0)
                names.append(item.Attribute);
        }
    }
    names.removeDuplicates();
    return names;
}

TTagAttributes TTagDatabase::AttributesFor(const QString &tagName) const
{
    TTagAttributes out;
    if (tagName.isEmpty())
        return out;
    for (const QString &line : m_tagInfo) {
        if (LineName(line).compare(tagName, Qt::CaseInsensitive) != 0)
            continue;
        for (const TTagItem &item : LineItems(line)) {
            if (item.Attribute.isEmpty() || item.Style.compare(QLatin1String("ENDTAG"), Qt::CaseInsensitive) == 0)
                continue;
            out.TagsToList.append(item.Attribute);
            out.TagsStyle.append(item.Style);
        }
    }
    return out;
}

QString TTagDatabase::EndTagFor(const QString &tagName) const
{
    if (tagName.isEmpty())
        return {};
    for (const QString &line : m_tagInfo) {
        if (LineName(line).compare(tagName, Qt::CaseInsensitive) != 0)
            continue;
        // Only the first line naming the tag counts.
        const QString items = line.mid(line.indexOf(u'=') + 1).remove(u'"');
        for (const QString &item : items.split(u',')) {
            const qsizetype paren = item.indexOf(u'(');
            if (paren < 0 || item.left(paren).compare(QLatin1String("endtag"), Qt::CaseInsensitive) != 0)
                continue;
            const qsizetype close = item.indexOf(u')', paren + 1);
            return close < 0 ? QString() : item.mid(paren + 1, close - paren - 1);
        }
        return {};
    }
    return {};
}

QStringList TTagDatabase::LoadComboBoxData(const QString &MainTag, const QString &SubTag) const
{
    QStringList values;
    if (MainTag.isEmpty() || SubTag.isEmpty())
        return values;
    const qsizetype n = m_tagData.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString &header = m_tagData.at(i);
        const qsizetype paren = header.indexOf(u'(');
        if (paren < 0 || header.left(paren).compare(MainTag, Qt::CaseInsensitive) != 0)
            continue;
        QString attribute = header.mid(paren + 1);
        const qsizetype second = attribute.indexOf(u'(');
        if (second >= 0)
            attribute.truncate(second);
        attribute.remove(u')');
        if (attribute.compare(SubTag, Qt::CaseInsensitive) != 0)
            continue;
        for (++i; i < n && m_tagData.at(i) != QLatin1String("}"); ++i) {
            if (m_tagData.at(i) != QLatin1String("{"))
                values.append(m_tagData.at(i));
        }
    }
    return values;
}

TInsightList TTagDatabase::InsightFor(const ITextBuffer *buffer) const
{
    TInsightList out;
    if (!m_active || !buffer)
        return out;
    const CaretPoint caret = buffer->caretPoint();
    const QString line = buffer->line(caret.y);
    const TCaretTag tag = CaretTag(line, caret.x);
    if (!tag.Inside) {
        out.ShowAllTags = true;
        out.Entries = AllTagNames();
        return out;
    }
    out.TagName = FindMainTag(tag.TagText);
    out.InsightSpace = caret.x > 1 && !isBlank(line.at(caret.x - 1));
    out.Entries = AttributesFor(out.TagName).TagsToList;
    return out;
}

void TTagDatabase::InsertInsightEntry(ITextBuffer *buffer, const TInsightList &list, const QString &entry) const
{
    if (!buffer || entry.isEmpty())
        return;
    if (list.ShowAllTags) {
        ptext(buffer, QStringLiteral("<%1>").arg(entry), QString());
        RunTagCompletion(buffer);
        return;
    }
    const QString start = (list.InsightSpace ? QStringLiteral(" ") : QString()) + entry + QStringLiteral("=\"");
    ptext(buffer, start, QStringLiteral("\""));
}

QString TTagDatabase::CompletionEndTag(const QString &textLeftOfCaret) const
{
    const QString tag = GetLastTag(textLeftOfCaret);
    if (tag.isEmpty() || tag.indexOf(u'>') != tag.size() - 1)
        return {};
    return EndTagFor(FindMainTag(tag));
}

QString TTagDatabase::RunTagCompletion(ITextBuffer *buffer) const
{
    if (!m_active || !buffer)
        return {};
    const CaretPoint caret = buffer->caretPoint();
    const QString line = buffer->line(caret.y);
    if (line.isEmpty())
        return {};
    const QString endTag = CompletionEndTag(line.left(caret.x));
    if (endTag.isEmpty())
        return {};
    ptext(buffer, QString(), endTag);
    return endTag;
}

QStringList TTagDatabase::TagValueItems(const QString &TagText)
{
    QStringList items;
    const qsizetype nameStart = TagText.lastIndexOf(u'<') + 1;
    qsizetype i = nameStart;
    while (i < TagText.size() && !isBlank(TagText.at(i)) && TagText.at(i) != u'>')
        ++i;
    if (i + 1 >= TagText.size() || TagText.at(i) == u'>')
        return items;
    QString current;
    const qsizetype n = TagText.size();
    for (++i; i < n; ++i) {
        const QChar c = TagText.at(i);
        if (opensQuote(TagText, i, nameStart - 1)) {
            const qsizetype e = quotedEnd(TagText, i);
            if (e >= 0) {
                // A closed quoted value is read whole, blanks and '>' included.
                current.append(QStringView(TagText).mid(i, e - i));
                i = e - 1;
            } else {
                current.append(c);
                for (++i; i < n && TagText.at(i) != u'>'; ++i)
                    current.append(TagText.at(i));
                if (i < n && TagText.at(i) == u'>')
                    --i;  // the '>' is read by the walk
            }
            items.append(current);
            current.clear();
        } else if (isBlank(c)) {
            items.append(current);
            current = c;
        } else if (c == u'>') {
            current.append(c);
            break;
        } else {
            current.append(c);
        }
    }
    items.append(current);
    return items;
}

QString TTagDatabase::ValueFor(const QStringList &items, const QString &attribute)
{
    for (const QString &item : items) {
        const qsizetype eq = item.indexOf(u'=');
        const QString name = withoutBlanks(eq < 0 ? item : item.left(eq));
        if (name.isEmpty() || name.compare(attribute, Qt::CaseInsensitive) != 0)
            continue;
        if (eq < 0)
            return {};
        QString value = item.mid(eq + 1);
        const QString bare = value.trimmed();
        if (bare.size() >= 2 && (bare.front() == u'"' || bare.front() == u'\'') && bare.back() == bare.front())
            return bare.mid(1, bare.size() - 2);
        value.remove(u'"');
        value.remove(u'>');
        return value;
    }
    return {};
}

QList<TGridRow> TTagDatabase::GridRowsFor(const QString &TagText, QStringList *styles) const
{
    QList<TGridRow> rows;
    const TTagAttributes attributes = AttributesFor(FindMainTag(TagText));
    if (styles)
        *styles = attributes.TagsStyle;
    const QStringList items = TagValueItems(TagText);
    for (const QString &name : attributes.TagsToList)
        rows.append({name, ValueFor(items, name)});
    return rows;
}

bool TTagDatabase::RebuildTagLine(const QString &line, int caretX, const QString &tagName,
                                  const QList<TGridRow> &rows, QString *newLine)
{
    const TRebuild r = rebuild(line, caretX, tagName, rows);
    if (!r.ok)
        return false;
    const QString result = line.left(r.start) + r.newTag + line.mid(r.end);
    if (result == line)
        return false;
    if (newLine)
        *newLine = result;
    return true;
}

bool TTagDatabase::WriteNewTag(ITextBuffer *buffer, const QString &tagName, const QList<TGridRow> &rows)
{
    if (!buffer || buffer->isReadOnly())
        return false;
    const CaretPoint caret = buffer->caretPoint();
    const QString line = buffer->line(caret.y);
    const TRebuild r = rebuild(line, caret.x, tagName, rows);
    if (!r.ok || line.mid(r.start, r.end - r.start) == r.newTag)
        return false;
    // Replacing through the selection records one undo step and marks the
    // document modified, so the edit is not lost on close.
    buffer->setSelection({{int(r.start), caret.y}, {int(r.end), caret.y}});
    buffer->setSelText(r.newTag);
    const int inside = int(r.start + r.newTag.size()) - 1;
    buffer->setCaretPoint({qMin(caret.x, inside), caret.y});
    return true;
}

} // namespace Quorvant
