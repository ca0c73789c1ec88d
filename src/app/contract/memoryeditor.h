// A small in-memory implementation of the editor contract, on Qt Core only:
// logic that drives an editor can be run and tested without any widget.
#pragma once

#include "editorview.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <array>

namespace Quorvant {

class MemoryTextBuffer : public ITextBuffer
{
    Q_OBJECT
public:
    explicit MemoryTextBuffer(QObject *parent = nullptr);

    QString text() const override;
    void setText(const QString &text) override;
    int lineCount() const override { return int(m_lines.size()); }
    QString line(int index) const override;

    CaretPoint caretPoint() const override { return m_caret; }
    void setCaretPoint(CaretPoint p) override;
    SelectionRect selectionRect() const override;
    void setSelection(SelectionRect r) override;
    QString selText() const override;
    void setSelText(const QString &text) override;
    void clearSelection() override { m_anchor = m_caret; }
    void selectAll() override;
    void insertString(const QString &text) override;

    bool canUndo() const override;
    bool canRedo() const override;
    void undo() override;
    void redo() override;
    void beginUndoAction() override { ++m_groupDepth; }
    void endUndoAction() override;

    void toggleBookmark(int n) override;
    void goToBookmark(int n) override;
    int bookmarkLine(int n) const override;

    SyntaxParser syntaxParser() const override { return m_parser; }
    void setSyntaxParser(SyntaxParser parser) override { m_parser = parser; }

    bool isModified() const override { return m_index != m_savePoint; }
    void setModified(bool modified) override;

    bool isReadOnly() const override { return m_readOnly; }
    void setReadOnly(bool readOnly) override { m_readOnly = readOnly; }

protected:
    void setStoredText(const QString &text, LineEndStyle style) override;

private:
    // One state of the undo history: the lines after a change, and the caret
    // and selection anchor before it (restored by undo) and after it (by redo).
    struct Step
    {
        QStringList lines;
        CaretPoint caretBefore, anchorBefore;
        CaretPoint caretAfter, anchorAfter;
    };

    CaretPoint clamped(CaretPoint p) const;
    QString textBetween(CaretPoint from, CaretPoint to) const;
    // The lines with [from, to) replaced by text; *end gets the point after it.
    QStringList replaced(CaretPoint from, CaretPoint to, const QString &text, CaretPoint *end) const;
    // Records a change made by an editing command (grouped while a group is open).
    void commit(const QStringList &lines, CaretPoint caret);
    // Puts new lines in place, carrying the bookmarks along with their lines.
    void applyLines(const QStringList &lines);
    void emitChange(bool wasModified);

    QStringList m_lines{QString()};
    CaretPoint m_caret;
    CaretPoint m_anchor;
    QList<Step> m_history;
    int m_index = 0;         // the step the text is at
    int m_savePoint = 0;     // -1 when no step holds the saved text
    int m_groupDepth = 0;
    int m_groupStep = -1;    // the step the open group writes into
    std::array<int, BookmarkCount> m_bookmarks;
    SyntaxParser m_parser = SyntaxParser::HTML;
    bool m_readOnly = false;
};

class MemoryEditorView : public IEditorView
{
    Q_OBJECT
public:
    explicit MemoryEditorView(QObject *parent = nullptr);

    void setSource(ITextBuffer *buffer) override;
    ITextBuffer *source() const override { return m_source; }

    ViewOptions options() const override { return m_options; }
    void setOptions(ViewOptions options) override { m_options = options; }
    bool wordWrap() const override { return m_wordWrap; }
    void setWordWrap(bool on) override { m_wordWrap = on; }

    // The clipboard is one string shared by every view of the process.
    void cutToClipboard() override;
    void copyToClipboard() override;
    void pasteFromClipboard() override;

    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override { m_visible = visible; }
    void setFocus() override { m_hasFocus = true; }
    bool hasFocus() const { return m_hasFocus; }

private:
    QPointer<ITextBuffer> m_source;
    QMetaObject::Connection m_sourceChanged;
    ViewOptions m_options = DefaultViewOptions;
    bool m_wordWrap = false;
    bool m_visible = false;
    bool m_hasFocus = false;
};

} // namespace Quorvant
