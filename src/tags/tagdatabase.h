// The tag database behind Tag Insight, tag completion and the Tag Inspector:
// "TagInfo.Dat" (one line per tag: NAME="Style(ATTRIBUTE),...,ENDTAG(</NAME>)")
// and the choice file "TagData.Dat" (blocks TAG(ATTRIBUTE) { values }). The
// text logic of the Insight list and of the grid lives here, free of widgets;
// the windows show what it returns.
#pragma once

#include "debugout.h"
#include "textbuffer.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Quorvant {

// One item of a TagInfo line: the style before '(' and the text up to ')'.
struct TTagItem
{
    QString Style;
    QString Attribute;
    friend bool operator==(const TTagItem &, const TTagItem &) = default;
};

// The attributes of a tag with their styles, in database order.
struct TTagAttributes
{
    QStringList TagsToList;
    QStringList TagsStyle;
};

// Where the caret stands in its line: inside a tag when, left of the caret,
// the last '<' comes after the last '>'. TagText runs from that '<' through
// the next '>' (or to the end of the line). A '<' or '>' inside a quoted
// value (double quotes, or single quotes after '=') is part of the value.
struct TCaretTag
{
    bool Inside = false;
    int Start = -1;  // column of the '<'
    QString TagText;
};
TCaretTag CaretTag(const QString &line, int caretX);

// What Ctrl+Space shows: all tag names outside a tag, the tag's attributes
// inside one. An empty Entries list shows nothing.
struct TInsightList
{
    bool ShowAllTags = false;
    QString TagName;        // the tag the caret is in (attribute mode)
    QStringList Entries;
    bool InsightSpace = false;  // an attribute goes in with a leading blank
};

// A name-value row of the grid.
using TGridRow = QPair<QString, QString>;

class TTagDatabase
{
public:
    explicit TTagDatabase(DebugOut debugger = {});

    // Reads both files; only when both exist does the database become
    // active. Returns whether it is.
    bool Load(const QString &TagDBaseFile, const QString &TagDataFile);
    // The same from lines already read (tests, benchmarks).
    void LoadLines(const QStringList &tagInfo, const QStringList &tagData);
    bool isActive() const { return m_active; }

    const QStringList &TagInfo() const { return m_tagInfo; }
    const QStringList &TagData() const { return m_tagData; }

    // NAME of a TagInfo line: the text before its first '='.
    static QString LineName(const QString &line);
    // The items between the line's first and second double quote.
    static QList<TTagItem> LineItems(const QString &line);
    // The tag name of a tag text: after its last '<' up to the first blank,
    // '>' or '=' ("</b>" gives "/b").
    static QString FindMainTag(const QString &TagText);
    // The last complete tag of the text left of the caret, or empty.
    static QString GetLastTag(const QString &TagText);

    // Every non-empty NAME, in file order.
    QStringList AllTagNames() const;
    // Every tag and attribute name the database knows, each once (for the
    // HTML colouring).
    QStringList AllNames() const;
    // The attributes of every line naming the tag (ignoring case), ENDTAG
    // items and items without an attribute left out.
    TTagAttributes AttributesFor(const QString &tagName) const;
    // The end tag of the first line naming the tag, or empty.
    QString EndTagFor(const QString &tagName) const;
    // Values of every TagData block for MainTag(SubTag), in file order.
    QStringList LoadComboBoxData(const QString &MainTag, const QString &SubTag) const;

    // Tag Insight for the caret of buffer (Ctrl+Space).
    TInsightList InsightFor(const ITextBuffer *buffer) const;
    // Inserts the chosen entry: "<name>" and its end tag in all-tags mode,
    // [blank]ATTRIBUTE="" with the caret between the quotes otherwise.
    void InsertInsightEntry(ITextBuffer *buffer, const TInsightList &list, const QString &entry) const;

    // The end tag of the last tag left of the caret, or empty: nothing when
    // that tag holds a '>' before its end or the database has no end tag.
    QString CompletionEndTag(const QString &textLeftOfCaret) const;
    // Inserts that end tag after the caret (in the user's tag case) and
    // returns it; empty and nothing inserted otherwise.
    QString RunTagCompletion(ITextBuffer *buffer) const;

    // Grid: the name-value items of a tag text, as the grid reads them.
    static QStringList TagValueItems(const QString &TagText);
    // The value of attribute in those items: after the first '=' of the first
    // item naming it; a quoted value (single or double quotes) read whole
    // without its quotes, a bare one without double quotes and '>'; empty
    // when none.
    static QString ValueFor(const QStringList &items, const QString &attribute);
    // The grid's rows for a tag text: its attributes with their values; no
    // rows for a tag the database does not know.
    QList<TGridRow> GridRowsFor(const QString &TagText, QStringList *styles = nullptr) const;

    // The caret line with the tag at the caret rebuilt from the grid rows:
    // rows with a non-blank name and value as NAME="value", then the tag's
    // items that no row names, kept as written. False (line unchanged) when
    // the caret is not inside a tag named tagName, or there are no rows.
    static bool RebuildTagLine(const QString &line, int caretX, const QString &tagName,
                               const QList<TGridRow> &rows, QString *newLine);
    // Writes that rebuild into the buffer (one undo step, the document
    // marked modified, the caret kept in the tag). False when nothing changed.
    static bool WriteNewTag(ITextBuffer *buffer, const QString &tagName, const QList<TGridRow> &rows);

private:
    DebugOut m_debug;
    QStringList m_tagInfo;
    QStringList m_tagData;
    bool m_active = false;
};

} // namespace Quorvant
