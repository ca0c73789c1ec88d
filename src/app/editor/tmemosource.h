// A text buffer of the QScintilla editor: a QsciDocument plus the view state
// Scintilla keeps per view (caret, selection, scroll position), which the
// buffer saves when a view lets it go and restores when a view shows it.
#pragma once

#include "textbuffer.h"

#include <Qsci/qscidocument.h>

#include <QPointer>

#include <functional>
#include <memory>

namespace Quorvant {

class ScintillaWidget;
class TDCMemo;

class TMemoSource : public ITextBuffer
{
    Q_OBJECT
public:
    explicit TMemoSource(QObject *owner = nullptr);
    ~TMemoSource() override;

    QString text() const override;
    void setText(const QString &text) override;
    int lineCount() const override;
    QString line(int index) const override;
    CaretPoint caretPoint() const override;
    void setCaretPoint(CaretPoint p) override;
    SelectionRect selectionRect() const override;
    void setSelection(SelectionRect r) override;
    QString selText() const override;
    void setSelText(const QString &text) override;
    void clearSelection() override;
    void selectAll() override;
    void insertString(const QString &text) override;
    bool canUndo() const override;
    bool canRedo() const override;
    void undo() override;
    void redo() override;
    void beginUndoAction() override;
    void endUndoAction() override;
    void toggleBookmark(int n) override;
    void goToBookmark(int n) override;
    int bookmarkLine(int n) const override;
    SyntaxParser syntaxParser() const override { return m_parser; }
    void setSyntaxParser(SyntaxParser parser) override;
    bool isModified() const override;
    void setModified(bool modified) override;
    bool isReadOnly() const override;
    void setReadOnly(bool readOnly) override;
    [[nodiscard]] bool loadFromFile(const QString &path, QString *error) override;
    // Between the pieces of a file bigger than one piece: bytes read so far
    // and in all. The buffer is read-only until the load ends.
    using LoadProgress = std::function<void(qint64 done, qint64 total)>;
    static constexpr qint64 LoadPieceBytes = 4 * 1024 * 1024;
    // Room left after a loaded text for the first edits before the editor
    // grows its text and its style bytes: an eighth of the text, at most
    // this much (beyond, room would cost a big file memory held the whole
    // session for edits that rarely come).
    static constexpr qint64 LoadRoomBytes = 1024 * 1024;
    // The one way a file becomes the buffer's text: read in pieces straight
    // into the document (the text is held once), as UTF-8 when it all is,
    // else as Windows-1252. progress may run the event loop.
    [[nodiscard]] bool loadFromFile(const QString &path, QString *error, const LoadProgress &progress);
    [[nodiscard]] bool saveToFile(const QString &path, QString *error) override;
    // Loads the file again keeping the caret, selection and scroll position
    // (by line and column, clamped to the new text).
    [[nodiscard]] bool reloadFromFile(const QString &path, QString *error);

    // Size of the text in bytes as Scintilla holds it (UTF-8).
    qint64 byteLength() const;
    // A copy of those bytes (the document's own line ends), in one pass.
    QByteArray storedBytes() const;
    // The longest line of the last file loaded, in bytes.
    qint64 longestLoadedLine() const { return m_longestLoadedLine; }

    // A Scintilla message to this buffer's document, shown or not (markers).
    long sendToDocument(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const;

    // Used by TDCMemo when it starts and stops showing this buffer.
    void attachTo(TDCMemo *view, ScintillaWidget *widget);
    void detachFrom(ScintillaWidget *widget);
    TDCMemo *view() const;
    // The parser whose lexer state the Scintilla document holds, if any.
    bool lexerApplied() const { return m_lexerApplied; }
    void setLexerApplied(bool applied) { m_lexerApplied = applied; }

protected:
    QString storedText() const override;
    void setStoredText(const QString &text, LineEndStyle style) override;
    void replaceSpans(const QString &text, const QList<TextSpan> &spans, const QString &replacement,
                      const ReplaceProgress &progress) override;

private:
    ScintillaWidget *editor() const;
    void saveViewState(ScintillaWidget *w);
    void restoreViewState(ScintillaWidget *w);
    void setRawText(const char *data, qsizetype size);
    void appendLoaded(const char *data, qsizetype size);
    QByteArray rangeBytes(long from, long to) const;
    QByteArray toStored(const QString &text) const;
    long positionOf(CaretPoint p) const;
    CaretPoint pointOf(long position) const;
    void takeFromWorker();
    void showDocumentIn(ScintillaWidget *w) const;
    void applyEolMode(ScintillaWidget *widget);
    void emitModifiedIfChanged();
    void onWidgetModificationChanged();

    friend class ScintillaWidget;

    std::unique_ptr<QsciDocument> m_doc;
    // Whether a widget has shown the document (and so Scintilla made it).
    mutable bool m_docShownBefore = false;
    QPointer<TDCMemo> m_view;
    SyntaxParser m_parser = SyntaxParser::HTML;
    bool m_lexerApplied = false;
    bool m_forcedModified = false;
    bool m_lastModified = false;
    // View state while no widget holds the document.
    long m_anchor = 0;
    long m_caret = 0;
    long m_firstVisibleLine = 0;
    long m_xOffset = 0;
    qint64 m_longestLoadedLine = 0;
};

} // namespace Quorvant
