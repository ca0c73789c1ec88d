// The ten syntax modes and the QScintilla lexers that colour them.
#pragma once

#include "editortypes.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qscilexercustom.h>

#include <array>

class QFont;

namespace Quorvant {

struct SyntaxModeInfo
{
    int number;
    const char *menuCaption;
    const char *handler;
    SyntaxParser parser;
    const char *templatesType;
    bool useGlobalOptions;
};

// Indexed by mode number (== int(SyntaxParser)).
const std::array<SyntaxModeInfo, SyntaxParserCount> &syntaxModes();
const SyntaxModeInfo &syntaxMode(SyntaxParser parser);

// Whether the parser's language compares keywords with regard to case.
bool parserCaseSensitive(SyntaxParser parser);

// A new lexer for the parser, owned by parent; nullptr for Custom, whose
// text is not coloured.
QsciLexer *createLexer(SyntaxParser parser, QObject *parent);

// Element and attribute names the HTML colouring knows besides its own (the
// tag database's, any case). Besides them role, aria-* and data-* count as
// known. HTML lexers made later use them; those in use colour again.
void setKnownHtmlNames(const QStringList &names);

// Gives every style of the lexer the editor's font family and size, keeping
// each style's weight and slant.
void applyEditorFont(QsciLexer *lexer, const QFont &font);

// VBScript through Scintilla's built-in "vbscript" module.
class VBScriptLexer : public QsciLexer
{
    Q_OBJECT
public:
    // Style numbers of the "vbscript" module.
    enum {
        Default = 0,
        Comment = 1,
        Number = 2,
        Keyword = 3,
        String = 4,
        Preprocessor = 5,
        Operator = 6,
        Identifier = 7,
        Date = 8,
        UnclosedString = 9,
        Keyword2 = 10,
        Keyword3 = 11,
        Keyword4 = 12,
        Constant = 13,
    };

    explicit VBScriptLexer(QObject *parent = nullptr);

    const char *language() const override;
    const char *lexer() const override;
    bool caseSensitive() const override;
    const char *keywords(int set) const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    QColor defaultPaper(int style) const override;
    bool defaultEolFill(int style) const override;
};

// The Delphi form text format ("object Form1: TForm1 ... end"). Styled by
// this class; the only state carried from line to line is whether a binary
// block "{ ... }" is open, which is read back from the style of the previous
// line's end, so any range can be styled on its own.
class DfmLexer : public QsciLexerCustom
{
    Q_OBJECT
public:
    enum {
        Default = 0,
        Keyword = 1,
        Property = 2,
        String = 3,
        Number = 4,
        Type = 5,
        Operator = 6,
        Binary = 7,
    };

    explicit DfmLexer(QObject *parent = nullptr);

    const char *language() const override;
    bool caseSensitive() const override;
    const char *keywords(int set) const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    void styleText(int start, int end) override;

    // Styles of one line of bytes; inBinary carries an open "{ ... }" block
    // in and out. One entry per byte of line (which may include its EOL).
    static QByteArray styleLine(const QByteArray &line, bool *inBinary);
};

} // namespace Quorvant
