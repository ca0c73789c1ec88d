// Value types shared by the editor contract and its callers.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

// (X = column, Y = line), both counted from 0. The column counts UTF-16 code
// units, as QString indexes a line: a character outside the Basic
// Multilingual Plane (an emoji) takes two columns, a combining accent one of
// its own. Every buffer and every routine uses this unit, so a column taken
// from line() addresses the same place in the buffer. A column between the
// two halves of a surrogate pair stands before that character.
struct CaretPoint
{
    int x = 0;
    int y = 0;
    friend bool operator==(const CaretPoint &, const CaretPoint &) = default;
};

// Start (Left, Top) and end (Right, Bottom) of a selection, in document order.
struct SelectionRect
{
    CaretPoint start;
    CaretPoint end;
    bool isEmpty() const { return start == end; }
    friend bool operator==(const SelectionRect &, const SelectionRect &) = default;
};

// The ten syntax parsers, in the order of their stored mode numbers.
enum class SyntaxParser {
    HTML = 0,
    Perl,
    VBScript,
    JavaScript,
    C,
    CPP,
    Python,
    Delphi,
    DFM,
    Custom,
};
inline constexpr int SyntaxParserCount = 10;

// View option flags of the editor view.
enum ViewOption : unsigned {
    moLineNumbers = 0x01,
    moDrawGutter = 0x02,
    moDrawSpecialSymbols = 0x04,
    moDrawMargin = 0x08,
    moThumbTracking = 0x10,
    moColorSyntax = 0x20,
};
using ViewOptions = unsigned;
inline constexpr ViewOptions DefaultViewOptions = moDrawMargin | moDrawGutter | moThumbTracking | moColorSyntax;

inline constexpr int BookmarkCount = 9;

struct SearchOptions
{
    QString text;
    bool caseSensitive = false;
    bool wholeWords = false;
    bool regularExpression = false;
    bool backwards = false;
    bool fromCaret = true;  // otherwise from the start (or end, backwards) of the text
};

// Text of the main status bar for a caret point.
QString caretStatusText(CaretPoint p);

// The one line splitter of the program: lines end at CR LF, CR or LF. With
// finalLineEndStartsALine a line end at the very end of the text is followed
// by an empty last line (as an editor shows it); without, it only ends the
// last line (as a file's lines are read). Views into text.
QList<QStringView> lineViews(QStringView text, bool finalLineEndStartsALine);
// Editor lines ("a\r\n" is "a" and ""), joined again by CR LF.
QStringList splitLines(const QString &text);
QString joinLines(const QStringList &lines);
// File lines ("a\r\n" is "a"; empty text has none).
QStringList splitTextLines(const QString &text);

// A drop from the code snippet list: the snippet's stored text split at the
// separator character U+00FE into start and end text; the end text loses one
// trailing LF and then one trailing CR.
struct DropTexts
{
    QString startText;
    QString endText;
};
DropTexts splitSnippetForDrop(const QString &snippet);

// Drag formats the editor view accepts: a tag-list row (start and end text)
// and a code snippet (its stored text), each as UTF-8.
inline constexpr char TagStartMimeType[] = "application/x-quorvant-tag-start";
inline constexpr char TagEndMimeType[] = "application/x-quorvant-tag-end";
inline constexpr char SnippetMimeType[] = "application/x-quorvant-snippet";

} // namespace Quorvant
