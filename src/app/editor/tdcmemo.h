// The editor view of the program: a QScintilla widget that shows one
// TMemoSource at a time.
#pragma once

#include "editorview.h"
#include "scintillawidget.h"
#include "tmemosource.h"

#include <QColor>
#include <QFont>
#include <QPointer>

#include <array>

class QsciLexer;
class QsciPrinter;
class QWidget;

namespace Quorvant {

struct EditorEnvironment;

class TDCMemo : public IEditorView
{
    Q_OBJECT
public:
    explicit TDCMemo(QWidget *parent = nullptr);
    ~TDCMemo() override;

    ScintillaWidget *widget() const { return m_widget; }

    void setSource(ITextBuffer *buffer) override;
    ITextBuffer *source() const override { return m_source; }
    TMemoSource *memoSource() const { return m_source; }

    ViewOptions options() const override { return m_options; }
    void setOptions(ViewOptions options) override;
    bool wordWrap() const override;
    void setWordWrap(bool on) override;
    void cutToClipboard() override;
    void copyToClipboard() override;
    void pasteFromClipboard() override;
    bool isVisible() const override;
    void setVisible(bool visible) override;
    void setFocus() override;

    // Font, colours and tab settings of the environment options.
    void applyEnvironment(const EditorEnvironment &env);
    const EditorEnvironment &environment() const;

    // Prints the whole text of the shown buffer; false when there is none or
    // the printer failed.
    bool print(QsciPrinter &printer);
    // Prints a text with a temporary, invisible view.
    static bool printText(const QString &text, QsciPrinter &printer);

    // Called by a buffer whose parser changed while this view shows it.
    void applyParserOf(TMemoSource *buffer);

private:
    QsciLexer *lexerFor(SyntaxParser parser);
    void updateLineNumberMargin();
    void applyStyles();

    QPointer<ScintillaWidget> m_widget;
    QPointer<TMemoSource> m_source;
    ViewOptions m_options = 0;
    std::array<QsciLexer *, SyntaxParserCount> m_lexers{};
    SyntaxParser m_currentParser = SyntaxParser::Custom;
    bool m_hasLexer = false;
    std::unique_ptr<EditorEnvironment> m_env;
};

} // namespace Quorvant
