#include "syntaxparsers.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>
#include <QPointer>

namespace Quorvant {

namespace {

// The HTML names beyond Scintilla's own list. A word "^x" in a Scintilla
// word list matches every word that starts with x.
QByteArray &htmlKeywordStore()
{
    static QByteArray words;
    return words;
}

QList<QPointer<QsciLexer>> &liveHtmlLexers()
{
    static QList<QPointer<QsciLexer>> lexers;
    return lexers;
}

void rebuildHtmlKeywords(const QStringList &extra)
{
    QByteArray words = QsciLexerHTML().keywords(1);
    words += " role ^aria- ^data-";
    for (const QString &name : extra) {
        const QString word = name.trimmed().toLower();
        if (!word.isEmpty() && !word.contains(u' '))
            words += ' ' + word.toUtf8();
    }
    htmlKeywordStore() = words;
}

// Rules shipped with QScintilla, adjusted where case handling differs and
// knowing the names of current HTML.
class HtmlLexer : public QsciLexerHTML
{
public:
    explicit HtmlLexer(QObject *parent)
        : QsciLexerHTML(parent)
    {
        liveHtmlLexers().append(this);
    }
    bool caseSensitive() const override { return false; }
    const char *keywords(int set) const override
    {
        if (set != 1)
            return QsciLexerHTML::keywords(set);
        if (htmlKeywordStore().isEmpty())
            rebuildHtmlKeywords({});
        return htmlKeywordStore().constData();
    }
};

class PythonLexer : public QsciLexerPython
{
public:
    using QsciLexerPython::QsciLexerPython;
    bool caseSensitive() const override { return false; }
};

class DelphiLexer : public QsciLexerPascal
{
public:
    using QsciLexerPascal::QsciLexerPascal;
    bool caseSensitive() const override { return false; }
};

// The C++ rules with the keywords of C alone.
class CLexer : public QsciLexerCPP
{
public:
    using QsciLexerCPP::QsciLexerCPP;
    const char *language() const override { return "C"; }
    const char *keywords(int set) const override
    {
        if (set == 1)
            return "auto break case char const continue default do double else enum extern "
                   "float for goto if inline int long register restrict return short signed "
                   "sizeof static struct switch typedef union unsigned void volatile while "
                   "_Alignas _Alignof _Atomic _Bool _Complex _Generic _Imaginary _Noreturn "
                   "_Static_assert _Thread_local";
        return QsciLexerCPP::keywords(set);
    }
};

QFont baseFont()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(13);
    return f;
}

QFont boldIf(bool bold)
{
    QFont f = baseFont();
    f.setBold(bold);
    return f;
}

const QColor Navy(0x00, 0x00, 0x80);
const QColor Maroon(0x80, 0x00, 0x00);
const QColor Green(0x00, 0x80, 0x00);
const QColor Teal(0x00, 0x80, 0x80);
const QColor Purple(0x80, 0x00, 0x80);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Olive(0x80, 0x80, 0x00);
const QColor Gray(0x80, 0x80, 0x80);

} // namespace

const std::array<SyntaxModeInfo, SyntaxParserCount> &syntaxModes()
{
    static const std::array<SyntaxModeInfo, SyntaxParserCount> modes{{
        {0, "HTML", "HTML3Click", SyntaxParser::HTML, "Custom", false},
        {1, "Perl", "Perl1Click", SyntaxParser::Perl, "Custom", false},
        {2, "VBScript", "VBScript1Click", SyntaxParser::VBScript, "Custom", false},
        {3, "JavaScript", "JavaScript1Click", SyntaxParser::JavaScript, "Custom", false},
        {4, "C", "C1Click", SyntaxParser::C, "C++ Builder", false},
        {5, "C++", "C2Click", SyntaxParser::CPP, "C++ Builder", false},
        {6, "Python", "Python1Click", SyntaxParser::Python, "Custom", false},
        {7, "Delphi (pas)", "Delphipas1Click", SyntaxParser::Delphi, "Delphi", false},
        {8, "Delphi (dfm)", "Delphidfm1Click", SyntaxParser::DFM, "Delphi", false},
        {9, "Custom", "Custom1Click", SyntaxParser::Custom, "None", true},
    }};
    return modes;
}

const SyntaxModeInfo &syntaxMode(SyntaxParser parser)
{
    const int i = int(parser);
    return syntaxModes()[i >= 0 && i < SyntaxParserCount ? i : 0];
}

bool parserCaseSensitive(SyntaxParser parser)
{
    switch (parser) {
    case SyntaxParser::Perl:
    case SyntaxParser::JavaScript:
    case SyntaxParser::C:
    case SyntaxParser::CPP:
        return true;
    default:
        return false;
    }
}

QsciLexer *createLexer(SyntaxParser parser, QObject *parent)
{
    switch (parser) {
    case SyntaxParser::HTML:
        return new HtmlLexer(parent);
    case SyntaxParser::Perl:
        return new QsciLexerPerl(parent);
    case SyntaxParser::VBScript:
        return new VBScriptLexer(parent);
    case SyntaxParser::JavaScript:
        return new QsciLexerJavaScript(parent);
    case SyntaxParser::C:
        return new CLexer(parent);
    case SyntaxParser::CPP:
        return new QsciLexerCPP(parent);
    case SyntaxParser::Python:
        return new PythonLexer(parent);
    case SyntaxParser::Delphi:
        return new DelphiLexer(parent);
    case SyntaxParser::DFM:
        return new DfmLexer(parent);
    case SyntaxParser::Custom:
        return nullptr;
    }
    return nullptr;
}

void setKnownHtmlNames(const QStringList &names)
{
    rebuildHtmlKeywords(names);
    QList<QPointer<QsciLexer>> &live = liveHtmlLexers();
    live.removeAll(nullptr);
    for (const QPointer<QsciLexer> &lexer : std::as_const(live)) {
        if (QsciScintilla *editor = lexer->editor()) {
            editor->SendScintilla(QsciScintillaBase::SCI_SETKEYWORDS, 0UL, htmlKeywordStore().constData());
            editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        }
    }
}

void applyEditorFont(QsciLexer *lexer, const QFont &font)
{
    if (!lexer)
        return;
    lexer->setDefaultFont(font);
    // Styles above 127 are only used by the HTML rules' embedded languages;
    // 256 covers every lexer.
    for (int style = 0; style < 256; ++style) {
        if (lexer->description(style).isEmpty())
            continue;
        const QFont old = lexer->font(style);
        QFont f = font;
        f.setBold(old.bold());
        f.setItalic(old.italic());
        f.setUnderline(old.underline());
        lexer->setFont(f, style);
    }
}

// ---------------------------------------------------------------- VBScript

VBScriptLexer::VBScriptLexer(QObject *parent)
    : QsciLexer(parent)
{
}

const char *VBScriptLexer::language() const
{
    return "VBScript";
}

const char *VBScriptLexer::lexer() const
{
    return "vbscript";
}

bool VBScriptLexer::caseSensitive() const
{
    return false;
}

const char *VBScriptLexer::keywords(int set) const
{
    // The module lower-cases each word before looking it up.
    switch (set) {
    case 1:
        return "and as byref byval call case class const default dim do each else elseif "
               "empty end eqv erase error exit explicit false for function get goto if imp "
               "in is let loop me mod new next not nothing null on option or preserve "
               "private property public randomize redim rem resume select set step stop "
               "sub then to true until wend while with xor";
    case 2:
        return "abs array asc atn cbool cbyte ccur cdate cdbl chr cint clng cos "
               "createobject csng cstr date dateadd datediff datepart dateserial datevalue "
               "day escape eval exp filter fix formatcurrency formatdatetime formatnumber "
               "formatpercent getlocale getobject getref hex hour inputbox instr instrrev "
               "int isarray isdate isempty isnull isnumeric isobject join lbound lcase left "
               "len loadpicture log ltrim mid minute month monthname msgbox now oct replace "
               "rgb right rnd round rtrim scriptengine second setlocale sgn sin space split "
               "sqr strcomp string strreverse tan time timer timeserial timevalue trim "
               "typename ubound ucase unescape vartype weekday weekdayname year";
    default:
        return nullptr;
    }
}

QString VBScriptLexer::description(int style) const
{
    switch (style) {
    case Default: return tr("Default");
    case Comment: return tr("Comment");
    case Number: return tr("Number");
    case Keyword: return tr("Keyword");
    case String: return tr("String");
    case Preprocessor: return tr("Preprocessor");
    case Operator: return tr("Operator");
    case Identifier: return tr("Identifier");
    case Date: return tr("Date");
    case UnclosedString: return tr("Unclosed string");
    case Keyword2: return tr("Built-in function");
    case Keyword3: return tr("Keyword set 3");
    case Keyword4: return tr("Keyword set 4");
    case Constant: return tr("Constant");
    default: return {};
    }
}

QColor VBScriptLexer::defaultColor(int style) const
{
    switch (style) {
    case Comment: return Green;
    case Number: return Teal;
    case Keyword: return Navy;
    case String:
    case UnclosedString: return Maroon;
    case Preprocessor: return Olive;
    case Date: return Purple;
    case Keyword2: return Blue;
    case Constant: return Teal;
    default: return Qt::black;
    }
}

QFont VBScriptLexer::defaultFont(int style) const
{
    QFont f = boldIf(style == Keyword);
    f.setItalic(style == Comment);
    return f;
}

QColor VBScriptLexer::defaultPaper(int style) const
{
    if (style == UnclosedString)
        return QColor(0xE0, 0xC0, 0xE0);
    return QsciLexer::defaultPaper(style);
}

bool VBScriptLexer::defaultEolFill(int style) const
{
    return style == UnclosedString;
}

// ---------------------------------------------------------------- DFM

DfmLexer::DfmLexer(QObject *parent)
    : QsciLexerCustom(parent)
{
}

const char *DfmLexer::language() const
{
    return "DFM";
}

bool DfmLexer::caseSensitive() const
{
    return false;
}

const char *DfmLexer::keywords(int set) const
{
    return set == 1 ? "object inherited inline end item" : nullptr;
}

QString DfmLexer::description(int style) const
{
    switch (style) {
    case Default: return tr("Default");
    case Keyword: return tr("Keyword");
    case Property: return tr("Property");
    case String: return tr("String");
    case Number: return tr("Number");
    case Type: return tr("Type");
    case Operator: return tr("Operator");
    case Binary: return tr("Binary data");
    default: return {};
    }
}

QColor DfmLexer::defaultColor(int style) const
{
    switch (style) {
    case Keyword: return Navy;
    case Property: return Teal;
    case String: return Blue;
    case Number: return Purple;
    case Type: return Maroon;
    case Binary: return Gray;
    default: return Qt::black;
    }
}

QFont DfmLexer::defaultFont(int style) const
{
    return boldIf(style == Keyword);
}

namespace {

bool isIdentStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

bool isIdentChar(char c)
{
    return isIdentStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

QByteArray DfmLexer::styleLine(const QByteArray &line, bool *inBinary)
{
    const int n = int(line.size());
    QByteArray styles(n, char(Default));
    int i = 0;
    auto fill = [&](int from, int to, int style) {
        for (int k = from; k < to; ++k)
            styles[k] = char(style);
    };
    // Inside "{ ... }": everything up to the closing brace, line ends included.
    auto binary = [&]() {
        const int from = i;
        while (i < n && line.at(i) != '}')
            ++i;
        fill(from, i, Binary);
        if (i < n) {
            styles[i++] = char(Operator);
            *inBinary = false;
        }
    };
    auto skipSpace = [&]() {
        while (i < n && isSpace(line.at(i)))
            ++i;
    };
    auto identifier = [&](bool dotted) {
        const int from = i;
        while (i < n && (isIdentChar(line.at(i)) || (dotted && line.at(i) == '.' && i + 1 < n && isIdentStart(line.at(i + 1)))))
            ++i;
        return from;
    };

    if (*inBinary)
        binary();

    // The head of a line: a keyword, or a property name before '='.
    if (!*inBinary) {
        skipSpace();
        if (i < n && isIdentStart(line.at(i))) {
            const int from = identifier(true);
            const QByteArray word = line.mid(from, i - from).toLower();
            int j = i;
            while (j < n && (line.at(j) == ' ' || line.at(j) == '\t'))
                ++j;
            if (j < n && line.at(j) == '=') {
                fill(from, i, Property);
            } else if (word == "object" || word == "inherited" || word == "inline") {
                fill(from, i, Keyword);
                // "Name: Type", the name optional for inherited forms.
                skipSpace();
                if (i < n && isIdentStart(line.at(i)))
                    identifier(false);
                skipSpace();
                if (i < n && line.at(i) == ':') {
                    styles[i++] = char(Operator);
                    skipSpace();
                    if (i < n && isIdentStart(line.at(i))) {
                        const int t = identifier(true);
                        fill(t, i, Type);
                    }
                }
            } else if (word == "end" || word == "item") {
                fill(from, i, Keyword);
            }
        }
    }

    // The rest: values.
    while (i < n && !*inBinary) {
        const char c = line.at(i);
        if (isSpace(c)) {
            ++i;
        } else if (c == '\'') {
            // '' inside a string is a quote; an open string ends with the line.
            const int from = i++;
            while (i < n && line.at(i) != '\r' && line.at(i) != '\n') {
                if (line.at(i) == '\'') {
                    if (i + 1 < n && line.at(i + 1) == '\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            fill(from, i, String);
        } else if (c == '#' && i + 1 < n && (isDigit(line.at(i + 1)) || line.at(i + 1) == '$')) {
            const int from = i++;
            if (line.at(i) == '$') {
                ++i;
                while (i < n && isHexDigit(line.at(i)))
                    ++i;
            } else {
                while (i < n && isDigit(line.at(i)))
                    ++i;
            }
            fill(from, i, String);
        } else if (isDigit(c) || c == '$'
                   || ((c == '-' || c == '+') && i + 1 < n && (isDigit(line.at(i + 1)) || line.at(i + 1) == '$'))) {
            const int from = i;
            if (c == '-' || c == '+')
                ++i;
            if (line.at(i) == '$') {
                ++i;
                while (i < n && isHexDigit(line.at(i)))
                    ++i;
            } else {
                while (i < n && isDigit(line.at(i)))
                    ++i;
                if (i + 1 < n && line.at(i) == '.' && isDigit(line.at(i + 1))) {
                    ++i;
                    while (i < n && isDigit(line.at(i)))
                        ++i;
                }
                if (i < n && (line.at(i) == 'e' || line.at(i) == 'E')) {
                    int j = i + 1;
                    if (j < n && (line.at(j) == '-' || line.at(j) == '+'))
                        ++j;
                    if (j < n && isDigit(line.at(j))) {
                        i = j;
                        while (i < n && isDigit(line.at(i)))
                            ++i;
                    }
                }
            }
            fill(from, i, Number);
        } else if (isIdentStart(c)) {
            identifier(true);
        } else if (c == '{') {
            styles[i++] = char(Operator);
            *inBinary = true;
            binary();
        } else {
            styles[i++] = char(Operator);
        }
    }
    return styles;
}

void DfmLexer::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed || end <= start)
        return;
    // Whole lines, from the start of the first to the end of the last.
    const long firstLine = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
    const long lastLine = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1));
    const long from = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine));
    const long length = ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long lineCount = ed->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    const long to = lastLine + 1 < lineCount
        ? ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine + 1))
        : length;
    if (to <= from)
        return;

    QByteArray text(int(to - from) + 1, '\0');
    ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, text.data());
    text.truncate(int(to - from));

    bool inBinary = from > 0
        && ed->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(from - 1)) == Binary;
    startStyling(int(from));
    int pos = 0;
    while (pos < text.size()) {
        int eol = int(text.indexOf('\n', pos));
        eol = eol < 0 ? int(text.size()) : eol + 1;
        const QByteArray styles = styleLine(text.mid(pos, eol - pos), &inBinary);
        int run = 0;
        for (int k = 1; k <= styles.size(); ++k) {
            if (k == styles.size() || styles.at(k) != styles.at(run)) {
                setStyling(k - run, styles.at(run));
                run = k;
            }
        }
        pos = eol;
    }
}

} // namespace Quorvant
