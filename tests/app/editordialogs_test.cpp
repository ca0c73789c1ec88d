// The editor component's own dialogs, environment options and lexers,
// driven offscreen on the in-memory buffer.
#include "editordialogs.h"
#include "editorenvironment.h"
#include "memoryeditor.h"
#include "messageservice.h"
#include "syntaxparsers.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace Quorvant;

namespace {

template<typename T>
T *field(QWidget *dialog, const char *name)
{
    T *w = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no field " << name;
    return w;
}

SelectionRect sel(int x1, int y1, int x2, int y2)
{
    return {{x1, y1}, {x2, y2}};
}

class EditorDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        resetSearchHistory();
    }
    void TearDown() override
    {
        MessageService::resetTestHook();
        MessageService::setTestHookEnabled(false);
    }

    static QStringList messages()
    {
        QStringList out;
        for (const RecordedDialog &d : MessageService::takeRecorded())
            out.append(d.text);
        return out;
    }

    MemoryTextBuffer buffer;
};

// ---------------------------------------------------------------- Find

TEST_F(EditorDialogsTest, FindSelectsTheMatchAndCloses)
{
    buffer.setText(QStringLiteral("alpha beta\r\ngamma beta"));
    buffer.setCaretPoint({0, 0});
    FindDialog dialog(&buffer);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find Text"));
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("beta"));
    field<QPushButton>(&dialog, "findButton")->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(buffer.selectionRect(), sel(6, 0, 10, 0));
    EXPECT_EQ(buffer.selText(), QStringLiteral("beta"));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(EditorDialogsTest, NotFoundTellsTheUserAndStays)
{
    buffer.setText(QStringLiteral("abc abc"));
    buffer.setSelection(sel(0, 0, 3, 0));
    FindDialog dialog(&buffer);
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("xyz"));
    field<QPushButton>(&dialog, "findButton")->click();

    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Search string 'xyz' not found"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(buffer.selectionRect(), sel(0, 0, 3, 0));
}

TEST_F(EditorDialogsTest, InvalidRegularExpressionIsNotReportedAsNotFound)
{
    buffer.setText(QStringLiteral("a(b"));
    FindDialog dialog(&buffer);
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("a(b"));
    field<QCheckBox>(&dialog, "regularExpressions")->setChecked(true);
    field<QPushButton>(&dialog, "findButton")->click();

    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Invalid regular expression")));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// Each option box of the dialog reaches the search.
struct FindCase
{
    const char *name;
    const char *text;
    bool caseSensitive, wholeWords, regex, backward, entireScope;
    CaretPoint caret;
    SelectionRect expected;
};

TEST_F(EditorDialogsTest, OptionsOfTheDialogSteerTheSearch)
{
    const FindCase cases[] = {
        {"plain ignores case", "foo", false, false, false, false, false, {0, 0}, sel(0, 0, 3, 0)},
        {"case sensitive", "foo", true, false, false, false, false, {0, 0}, sel(4, 0, 7, 0)},
        {"whole words", "foo", true, true, false, false, false, {0, 0}, sel(9, 0, 12, 0)},
        {"regular expression", "fo+d", false, false, true, false, false, {0, 0}, sel(4, 0, 8, 0)},
        {"backward from the caret", "foo", false, false, false, true, false, {7, 1}, sel(4, 1, 7, 1)},
        {"entire scope ignores the caret", "foo", false, false, false, false, true, {7, 1}, sel(0, 0, 3, 0)},
        {"entire scope backward starts at the end", "foo", false, false, false, true, true, {0, 0}, sel(4, 1, 7, 1)},
    };
    for (const FindCase &c : cases) {
        SCOPED_TRACE(c.name);
        buffer.setText(QStringLiteral("Foo food foo\r\nbar foo"));
        buffer.setCaretPoint(c.caret);
        FindDialog dialog(&buffer);
        field<QComboBox>(&dialog, "findText")->setEditText(QString::fromLatin1(c.text));
        field<QCheckBox>(&dialog, "caseSensitive")->setChecked(c.caseSensitive);
        field<QCheckBox>(&dialog, "wholeWords")->setChecked(c.wholeWords);
        field<QCheckBox>(&dialog, "regularExpressions")->setChecked(c.regex);
        field<QRadioButton>(&dialog, c.backward ? "backward" : "forward")->setChecked(true);
        field<QRadioButton>(&dialog, c.entireScope ? "entireScope" : "fromCursor")->setChecked(true);
        field<QPushButton>(&dialog, "findButton")->click();
        EXPECT_EQ(buffer.selectionRect(), c.expected);
        EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
    }
}

TEST_F(EditorDialogsTest, DialogOffersSelectionOrWordAtCaretAndRemembersHistory)
{
    buffer.setText(QStringLiteral("one two_three four\r\nfive"));
    buffer.setSelection(sel(0, 0, 3, 0));
    {
        FindDialog dialog(&buffer);
        EXPECT_EQ(field<QComboBox>(&dialog, "findText")->currentText(), QStringLiteral("one"));
    }
    buffer.setCaretPoint({6, 0});
    {
        FindDialog dialog(&buffer);
        EXPECT_EQ(field<QComboBox>(&dialog, "findText")->currentText(), QStringLiteral("two_three"));
        field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("five"));
        field<QCheckBox>(&dialog, "caseSensitive")->setChecked(true);
        field<QPushButton>(&dialog, "findButton")->click();
    }
    buffer.setText(QStringLiteral("   "));
    FindDialog again(&buffer);
    auto *combo = field<QComboBox>(&again, "findText");
    // No word at the caret: the last search, with its options.
    EXPECT_EQ(combo->currentText(), QStringLiteral("five"));
    EXPECT_TRUE(field<QCheckBox>(&again, "caseSensitive")->isChecked());
    ASSERT_GE(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("five"));
}

// ---------------------------------------------------------------- Replace

TEST_F(EditorDialogsTest, ReplaceFindsFirstThenReplacesMatchByMatch)
{
    buffer.setText(QStringLiteral("one two one two one"));
    buffer.setCaretPoint({0, 0});
    ReplaceDialog dialog(&buffer);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Replace Text"));
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("one"));
    field<QComboBox>(&dialog, "replaceText")->setEditText(QStringLiteral("1"));
    auto *replace = field<QPushButton>(&dialog, "replaceButton");

    replace->click();  // nothing selected yet: only finds
    EXPECT_EQ(buffer.text(), QStringLiteral("one two one two one"));
    EXPECT_EQ(buffer.selectionRect(), sel(0, 0, 3, 0));

    replace->click();
    EXPECT_EQ(buffer.text(), QStringLiteral("1 two one two one"));
    EXPECT_EQ(buffer.selectionRect(), sel(6, 0, 9, 0));

    replace->click();
    replace->click();
    EXPECT_EQ(buffer.text(), QStringLiteral("1 two 1 two 1"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Search string 'one' not found")});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(EditorDialogsTest, ReplaceBackwardDoesNotMatchInsideTheReplacement)
{
    buffer.setText(QStringLiteral("ab ab"));
    buffer.setCaretPoint({5, 0});
    ReplaceDialog dialog(&buffer);
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("ab"));
    field<QComboBox>(&dialog, "replaceText")->setEditText(QStringLiteral("xabx"));
    field<QRadioButton>(&dialog, "backward")->setChecked(true);
    auto *replace = field<QPushButton>(&dialog, "replaceButton");
    for (int i = 0; i < 3; ++i)
        replace->click();
    EXPECT_EQ(buffer.text(), QStringLiteral("xabx xabx"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Search string 'ab' not found")});
}

TEST_F(EditorDialogsTest, ReplaceAllCountsAndCloses)
{
    buffer.setText(QStringLiteral("a-b-A\r\nb-a"));
    buffer.setCaretPoint({1, 1});
    ReplaceDialog dialog(&buffer);
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("a"));
    field<QComboBox>(&dialog, "replaceText")->setEditText(QStringLiteral("xyz"));
    field<QPushButton>(&dialog, "replaceAllButton")->click();

    EXPECT_EQ(buffer.text(), QStringLiteral("xyz-b-xyz\r\nb-xyz"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("3 occurrence(s) replaced.")});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    buffer.undo();
    EXPECT_EQ(buffer.text(), QStringLiteral("a-b-A\r\nb-a"));
}

TEST_F(EditorDialogsTest, ReplaceAllWithoutMatchReportsNotFoundAndStays)
{
    buffer.setText(QStringLiteral("a-b"));
    buffer.setModified(false);
    ReplaceDialog dialog(&buffer);
    field<QComboBox>(&dialog, "findText")->setEditText(QStringLiteral("A"));
    field<QCheckBox>(&dialog, "caseSensitive")->setChecked(true);
    field<QPushButton>(&dialog, "replaceAllButton")->click();

    EXPECT_EQ(buffer.text(), QStringLiteral("a-b"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Search string 'A' not found")});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(buffer.isModified());
}

// ---------------------------------------------------------------- Go to line

TEST_F(EditorDialogsTest, GoToLineMovesCaretToColumnZero)
{
    buffer.setText(QStringLiteral("l1\r\nline 2\r\nl3\r\nl4\r\nl5"));
    buffer.setCaretPoint({3, 1});
    GoToLineDialog dialog(&buffer);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Go to Line Number"));
    auto *spin = field<QSpinBox>(&dialog, "lineNumber");
    EXPECT_EQ(spin->value(), 2);
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(spin->maximum(), 5);

    spin->setValue(99);  // clamped to the last line
    field<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(buffer.caretPoint(), (CaretPoint{0, 4}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    GoToLineDialog second(&buffer);
    field<QSpinBox>(&second, "lineNumber")->setValue(2);
    field<QPushButton>(&second, "cancelButton")->click();
    EXPECT_EQ(buffer.caretPoint(), (CaretPoint{0, 4}));
}

// ---------------------------------------------------------------- Find Next

TEST_F(EditorDialogsTest, FindNextOpensDialogFirstThenRepeatsFromCaret)
{
    buffer.setText(QStringLiteral("x cat\r\ncat cat"));
    buffer.setCaretPoint({0, 0});
    QWidget parent;
    // The first call has no search to repeat: answer the Find dialog it opens.
    QTimer::singleShot(0, [] {
        FindDialog *dialog = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            dialog = dialog ? dialog : qobject_cast<FindDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        field<QComboBox>(dialog, "findText")->setEditText(QStringLiteral("cat"));
        field<QPushButton>(dialog, "findButton")->click();
    });
    EXPECT_TRUE(findNext(&parent, &buffer));
    EXPECT_EQ(buffer.selectionRect(), sel(2, 0, 5, 0));

    EXPECT_TRUE(findNext(&parent, &buffer));
    EXPECT_EQ(buffer.selectionRect(), sel(0, 1, 3, 1));
    EXPECT_TRUE(findNext(&parent, &buffer));
    EXPECT_EQ(buffer.selectionRect(), sel(4, 1, 7, 1));
    EXPECT_FALSE(findNext(&parent, &buffer));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Search string 'cat' not found")});
    EXPECT_EQ(buffer.selectionRect(), sel(4, 1, 7, 1));

    // Another document that was never searched repeats the same search.
    MemoryTextBuffer other;
    other.setText(QStringLiteral("dog cat"));
    EXPECT_TRUE(findNext(&parent, &other));
    EXPECT_EQ(other.selText(), QStringLiteral("cat"));
}

TEST_F(EditorDialogsTest, EntryPointsDoNothingWithoutBuffer)
{
    showSearchDialog(nullptr, nullptr);
    showReplaceDialog(nullptr, nullptr);
    showGoToLineDialog(nullptr, nullptr);
    EXPECT_FALSE(findNext(nullptr, nullptr));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

// ---------------------------------------------------------------- environment

TEST(EditorEnvironmentTest, SaveLoadRoundTripAndFileFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(EditorIniFileName));

    EditorEnvironment missing;
    missing.tabWidth = 3;
    EXPECT_TRUE(missing.load(path));
    EXPECT_EQ(missing, EditorEnvironment());

    EditorEnvironment env;
    env.fontFamily = QStringLiteral("DejaVu Sans Mono");
    env.fontPixelSize = 17;
    env.tabWidth = 4;
    env.blockIndent = 2;
    env.text = QColor(0x12, 0x34, 0x56);
    env.paper = QColor(0xFE, 0xDC, 0xBA);
    env.selectionText = QColor(0x00, 0x80, 0x00);
    env.selectionBack = QColor(0xAB, 0xCD, 0xEF);
    ASSERT_TRUE(env.save(path));

    EditorEnvironment loaded;
    EXPECT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded, env);
    EXPECT_EQ(loaded.font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_DOUBLE_EQ(loaded.font().pointSizeF(), 17 * 0.75);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    EXPECT_TRUE(content.contains("[Editor]"));
    EXPECT_TRUE(content.contains("TextColor=#123456"));
    EXPECT_TRUE(content.contains("SelBackColor=#ABCDEF"));
    EXPECT_TRUE(content.contains("FontSize=17"));
}

TEST(EditorEnvironmentTest, UnusableValuesFallBackToDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Editor.INI"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[editor]\r\nfontname=\r\nFONTSIZE=big\r\nTabWidth=0\r\nBlockIndent=5\r\n"
            "TextColor=red\r\nBackColor=#12345\r\nSelTextColor=#00ff00\r\n");
    f.close();

    EditorEnvironment env;
    EXPECT_TRUE(env.load(path));
    const EditorEnvironment def;
    EXPECT_EQ(env.fontFamily, def.fontFamily);
    EXPECT_EQ(env.fontPixelSize, def.fontPixelSize);
    EXPECT_EQ(env.tabWidth, def.tabWidth);
    EXPECT_EQ(env.blockIndent, 5);
    EXPECT_EQ(env.text, def.text);
    EXPECT_EQ(env.paper, def.paper);
    EXPECT_EQ(env.selectionText, QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(env.selectionBack, QColor(0x00, 0x00, 0x80));
}

TEST(EnvironmentOptionsDialogTest, DarkSchemeSetsReadableColoursAndCloseColoursAreQuestioned)
{
    MessageService::setTestHookEnabled(true);
    MessageService::resetTestHook();
    EnvironmentOptionsDialog dialog;
    field<QPushButton>(&dialog, "darkScheme")->click();
    const EditorEnvironment dark = dialog.value();
    EXPECT_TRUE(dark.darkPaper());
    EXPECT_FALSE(EditorEnvironment::tooClose(dark.text, dark.paper));
    field<QPushButton>(&dialog, "lightScheme")->click();
    EXPECT_EQ(dialog.value().paper, EditorEnvironment().paper);

    // Black on a very dark background: asked first; No keeps the dialog open.
    EditorEnvironment murky;
    murky.paper = QColor(0x20, 0x20, 0x20);
    dialog.setValue(murky);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].icon, MessageIcon::Warning);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    MessageService::resetTestHook();
}

TEST(EnvironmentOptionsDialogTest, FieldsShowAndReturnTheValue)
{
    EnvironmentOptionsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Environment Options"));
    // The defaults, including a family that may not be installed, survive.
    EXPECT_EQ(dialog.value(), EditorEnvironment());

    EditorEnvironment env;
    env.fontFamily = QStringLiteral("No Such Mono");
    env.fontPixelSize = 21;
    env.tabWidth = 2;
    env.blockIndent = 4;
    env.paper = QColor(0x10, 0x20, 0x30);
    env.selectionBack = QColor(0xC0, 0xC0, 0xC0);
    dialog.setValue(env);
    EXPECT_EQ(field<QSpinBox>(&dialog, "fontSize")->value(), 21);
    EXPECT_EQ(field<QSpinBox>(&dialog, "tabWidth")->value(), 2);
    EXPECT_EQ(field<QSpinBox>(&dialog, "blockIndent")->value(), 4);
    EXPECT_EQ(dialog.buttonColor(field<QPushButton>(&dialog, "backColor")), env.paper);
    EXPECT_EQ(dialog.value(), env);

    field<QSpinBox>(&dialog, "tabWidth")->setValue(6);
    field<QFontComboBox>(&dialog, "fontName")->setEditText(QStringLiteral("Other Mono"));
    const EditorEnvironment edited = dialog.value();
    EXPECT_EQ(edited.tabWidth, 6);
    EXPECT_EQ(edited.fontFamily, QStringLiteral("Other Mono"));
    EXPECT_NE(field<QPushButton>(&dialog, "textColor"), nullptr);
    EXPECT_NE(field<QPushButton>(&dialog, "selTextColor"), nullptr);
    EXPECT_NE(field<QPushButton>(&dialog, "selBackColor"), nullptr);
}

// ---------------------------------------------------------------- lexers

TEST(SyntaxParsersTest, ModeTableIsIndexedByNumber)
{
    const auto &modes = syntaxModes();
    QStringList captions;
    for (int i = 0; i < SyntaxParserCount; ++i) {
        EXPECT_EQ(modes[i].number, i);
        EXPECT_EQ(int(modes[i].parser), i);
        EXPECT_EQ(modes[i].useGlobalOptions, modes[i].parser == SyntaxParser::Custom);
        captions.append(QString::fromLatin1(modes[i].menuCaption));
    }
    EXPECT_EQ(captions.join(u'|'), QStringLiteral("HTML|Perl|VBScript|JavaScript|C|C++|Python|Delphi (pas)|Delphi (dfm)|Custom"));
    EXPECT_STREQ(syntaxMode(SyntaxParser::CPP).templatesType, "C++ Builder");
    EXPECT_STREQ(syntaxMode(SyntaxParser::DFM).templatesType, "Delphi");
    EXPECT_STREQ(syntaxMode(SyntaxParser::Custom).templatesType, "None");
}

TEST(SyntaxParsersTest, EveryColouredModeHasALexerAndCustomHasNone)
{
    QObject owner;
    for (int i = 0; i < SyntaxParserCount; ++i) {
        const auto p = SyntaxParser(i);
        SCOPED_TRACE(i);
        QsciLexer *lexer = createLexer(p, &owner);
        if (p == SyntaxParser::Custom) {
            EXPECT_EQ(lexer, nullptr);
            continue;
        }
        ASSERT_NE(lexer, nullptr);
        EXPECT_EQ(lexer->parent(), &owner);
        EXPECT_EQ(lexer->caseSensitive(), parserCaseSensitive(p));
    }
    QsciLexer *c = createLexer(SyntaxParser::C, &owner);
    QsciLexer *cpp = createLexer(SyntaxParser::CPP, &owner);
    const QString cWords = QString::fromLatin1(c->keywords(1));
    EXPECT_TRUE(cWords.contains(QStringLiteral("struct")));
    EXPECT_FALSE(cWords.split(u' ').contains(QStringLiteral("class")));
    EXPECT_TRUE(QString::fromLatin1(cpp->keywords(1)).split(u' ').contains(QStringLiteral("class")));
}

TEST(SyntaxParsersTest, EditorFontReachesEveryStyleKeepingBold)
{
    VBScriptLexer lexer;
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(19);
    applyEditorFont(&lexer, font);
    for (int style : {int(VBScriptLexer::Default), int(VBScriptLexer::Keyword), int(VBScriptLexer::String)}) {
        EXPECT_EQ(lexer.font(style).family(), font.family());
        EXPECT_EQ(lexer.font(style).pixelSize(), 19);
    }
    EXPECT_TRUE(lexer.font(VBScriptLexer::Keyword).bold());
    EXPECT_FALSE(lexer.font(VBScriptLexer::String).bold());
}

int styleAt(QsciScintilla &editor, const QByteArray &text, const char *needle, int offset = 0)
{
    const int pos = int(text.indexOf(needle)) + offset;
    EXPECT_GE(pos, offset) << needle;
    return int(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
}

void colourise(QsciScintilla &editor)
{
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
}

TEST(SyntaxParsersTest, VBScriptUsesTheBuiltInModule)
{
    QsciScintilla editor;
    auto *lexer = new VBScriptLexer(&editor);
    editor.setLexer(lexer);
    const QByteArray text = "DIM x ' note\r\nx = \"str\" + 42\r\nIf x Then MsgBox x\r\n";
    editor.setText(QString::fromLatin1(text));
    colourise(editor);
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETLEXER), long(QsciScintillaBase::SCLEX_VBSCRIPT));
    EXPECT_EQ(styleAt(editor, text, "DIM"), VBScriptLexer::Keyword);  // any case
    EXPECT_EQ(styleAt(editor, text, "If"), VBScriptLexer::Keyword);
    EXPECT_EQ(styleAt(editor, text, "' note"), VBScriptLexer::Comment);
    EXPECT_EQ(styleAt(editor, text, "\"str\"", 1), VBScriptLexer::String);
    EXPECT_EQ(styleAt(editor, text, "42"), VBScriptLexer::Number);
    EXPECT_EQ(styleAt(editor, text, "MsgBox"), VBScriptLexer::Keyword2);
    EXPECT_EQ(styleAt(editor, text, "x = "), VBScriptLexer::Identifier);
}

const QByteArray DfmText =
    "object Form1: TForm1\r\n"
    "  Caption = 'It''s'#13#10'ok'\r\n"
    "  Left = -192\r\n"
    "  Font.Name = 'MS Sans Serif'\r\n"
    "  Anchors = [akLeft, akTop]\r\n"
    "  Picture.Data = {\r\n"
    "    0A0B end 0C\r\n"
    "    0D0E}\r\n"
    "  Items = <\r\n"
    "    item\r\n"
    "      Width = 1.5E3\r\n"
    "    end>\r\n"
    "  inherited Panel1: TPanel\r\n"
    "  end\r\n"
    "END\r\n";

TEST(SyntaxParsersTest, DfmLexerStylesFormText)
{
    QsciScintilla editor;
    auto *lexer = new DfmLexer(&editor);
    editor.setLexer(lexer);
    editor.setText(QString::fromLatin1(DfmText));
    colourise(editor);

    EXPECT_EQ(styleAt(editor, DfmText, "object"), DfmLexer::Keyword);
    EXPECT_EQ(styleAt(editor, DfmText, "Form1"), DfmLexer::Default);
    EXPECT_EQ(styleAt(editor, DfmText, "TForm1"), DfmLexer::Type);
    EXPECT_EQ(styleAt(editor, DfmText, "Caption"), DfmLexer::Property);
    EXPECT_EQ(styleAt(editor, DfmText, "''s"), DfmLexer::String);  // doubled quote stays inside
    EXPECT_EQ(styleAt(editor, DfmText, "#10"), DfmLexer::String);
    EXPECT_EQ(styleAt(editor, DfmText, "'ok'", 3), DfmLexer::String);
    EXPECT_EQ(styleAt(editor, DfmText, "-192"), DfmLexer::Number);
    EXPECT_EQ(styleAt(editor, DfmText, "Name"), DfmLexer::Property);
    EXPECT_EQ(styleAt(editor, DfmText, "akTop"), DfmLexer::Default);
    EXPECT_EQ(styleAt(editor, DfmText, "["), DfmLexer::Operator);
    // "end" inside binary data is data, not a keyword.
    EXPECT_EQ(styleAt(editor, DfmText, "0B end", 3), DfmLexer::Binary);
    EXPECT_EQ(styleAt(editor, DfmText, "0D0E"), DfmLexer::Binary);
    EXPECT_EQ(styleAt(editor, DfmText, "}"), DfmLexer::Operator);
    EXPECT_EQ(styleAt(editor, DfmText, "item"), DfmLexer::Keyword);
    EXPECT_EQ(styleAt(editor, DfmText, "1.5E3", 4), DfmLexer::Number);
    EXPECT_EQ(styleAt(editor, DfmText, "end>"), DfmLexer::Keyword);
    EXPECT_EQ(styleAt(editor, DfmText, "inherited"), DfmLexer::Keyword);
    EXPECT_EQ(styleAt(editor, DfmText, "TPanel"), DfmLexer::Type);
    EXPECT_EQ(styleAt(editor, DfmText, "END"), DfmLexer::Keyword);
    EXPECT_NE(styleAt(editor, DfmText, "object"), styleAt(editor, DfmText, "'MS"));
}

TEST(SyntaxParsersTest, DfmLexerRestylesFromAnyLine)
{
    QsciScintilla editor;
    auto *lexer = new DfmLexer(&editor);
    editor.setLexer(lexer);
    editor.setText(QString::fromLatin1(DfmText));
    colourise(editor);

    // Styling only the line inside the binary block picks up the open block.
    const int line = 7;  // "    0D0E}"
    const int from = int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
    const int to = int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1)));
    lexer->startStyling(from);
    lexer->setStyling(to - from, DfmLexer::Default);
    lexer->styleText(from, to);
    EXPECT_EQ(styleAt(editor, DfmText, "0D0E"), DfmLexer::Binary);
    EXPECT_EQ(styleAt(editor, DfmText, "  Items", 2), DfmLexer::Property);

    // An edit that closes the block early restyles the lines after it.
    const QByteArray edited = QByteArray(DfmText).replace("    0A0B end 0C\r\n", "    0A0B}\r\n    end\r\n");
    editor.setText(QString::fromLatin1(edited));
    colourise(editor);
    EXPECT_EQ(styleAt(editor, edited, "    end\r\n    0D0E", 4), DfmLexer::Keyword);
    EXPECT_NE(styleAt(editor, edited, "0D0E"), DfmLexer::Binary);
}

} // namespace
