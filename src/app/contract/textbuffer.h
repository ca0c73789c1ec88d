// A text buffer of the editor component: one document's text with its caret,
// selection, undo history, bookmarks and syntax settings.
#pragma once

#include "editortypes.h"
#include "textfileformat.h"

#include <QObject>

#include <functional>

namespace Quorvant {

class ITextBuffer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ITextBuffer() override = default;

    // Whole text, lines joined by CR LF. Setting it replaces everything
    // (one undo step), also in a read-only buffer: read-only stops the
    // user's edits, not the program filling the buffer.
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;

    virtual int lineCount() const = 0;
    virtual QString line(int index) const = 0;  // without its line end
    QStringList lines() const;

    virtual CaretPoint caretPoint() const = 0;
    // Moves the caret (clamped to the text) and removes the selection.
    virtual void setCaretPoint(CaretPoint p) = 0;

    virtual SelectionRect selectionRect() const = 0;
    // Selects from start to end; the caret ends at end.
    virtual void setSelection(SelectionRect r) = 0;
    bool hasSelection() const { return !selectionRect().isEmpty(); }
    virtual QString selText() const = 0;
    // Replaces the selection (or inserts at the caret); the caret ends after it.
    virtual void setSelText(const QString &text) = 0;
    QStringList selStrings() const;

    void markBlockBegin();
    void markBlockEnd();
    virtual void clearSelection() = 0;
    virtual void selectAll() = 0;
    // Inserts at the caret, CR LF (or CR, LF) become line breaks; the caret
    // ends after the inserted text. A selection is not replaced.
    virtual void insertString(const QString &text) = 0;
    void insertLine() { insertString(QStringLiteral("\r\n")); }
    // Prefixes every line touched by the selection (or the caret line) with "> ".
    void quoteBlock();

    virtual bool canUndo() const = 0;
    virtual bool canRedo() const = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // Changes between begin and end undo as one step; calls nest.
    virtual void beginUndoAction() = 0;
    virtual void endUndoAction() = 0;

    virtual void toggleBookmark(int n) = 0;
    virtual void goToBookmark(int n) = 0;
    virtual int bookmarkLine(int n) const = 0;  // -1 when bookmark n is not set

    virtual SyntaxParser syntaxParser() const = 0;
    virtual void setSyntaxParser(SyntaxParser parser) = 0;
    QString templatesType() const { return m_templatesType; }
    void setTemplatesType(const QString &type) { m_templatesType = type; }
    bool useGlobalOptions() const { return m_useGlobalOptions; }
    void setUseGlobalOptions(bool on) { m_useGlobalOptions = on; }

    // True while the text differs from the last save point; undoing back to
    // it clears the flag again.
    virtual bool isModified() const = 0;
    // false sets the save point here; true marks the text changed.
    virtual void setModified(bool modified) = 0;

    virtual bool isReadOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;

    // Searches as the options say and selects the match.
    bool find(const SearchOptions &options);
    // Repeats the last search from the caret.
    bool findNext();
    const SearchOptions &lastSearch() const { return m_lastSearch; }
    // Told how many of the matches are replaced so far, now and then while
    // a Replace All runs.
    using ReplaceProgress = std::function<void(qsizetype done, qsizetype total)>;
    // Replaces every match of the options' text; returns the count. One undo
    // step; the work grows with the text, not with matches times lines.
    int replaceAll(const SearchOptions &options, const QString &replacement,
                   const ReplaceProgress &progress = {});

    // How the text is stored on disk (encoding, BOM, line ends).
    TextFileFormat fileFormat() const { return m_format; }
    void setFileFormat(const TextFileFormat &format) { m_format = format; }
    // Replaces the text by the file's content and sets the save point.
    [[nodiscard]] virtual bool loadFromFile(const QString &path, QString *error);
    // Writes the whole text atomically in the buffer's file format.
    [[nodiscard]] virtual bool saveToFile(const QString &path, QString *error);
    // The file last loaded or saved, with the size and hash of its bytes.
    FileContentId lastFileIo() const { return m_lastIo; }
    // Asked by the next saves just before they replace the file (see
    // writeFileAtomically); whether the last save stopped there.
    void setReplaceGuard(ReplaceGuard guard) { m_replaceGuard = std::move(guard); }
    bool lastSaveRefusedByGuard() const { return m_guardRefused; }

Q_SIGNALS:
    void textChanged();
    void modificationChanged(bool modified);

protected:
    // A stretch of text() in UTF-16 units.
    struct TextSpan
    {
        qsizetype pos = 0;
        qsizetype length = 0;
    };
    // Replaces the spans (ascending, not overlapping, positions in text())
    // inside one undo step, the caret ends after the first one. The default
    // places each span through a table of line starts built once.
    virtual void replaceSpans(const QString &text, const QList<TextSpan> &spans, const QString &replacement,
                              const ReplaceProgress &progress);

    // The text in the buffer's own line ends, as it goes to disk.
    virtual QString storedText() const;
    virtual void setStoredText(const QString &text, LineEndStyle style);
    // Absolute character offset of a caret point, and back.
    int offsetOf(CaretPoint p) const;
    CaretPoint pointAt(int offset) const;
    void setLastFileIo(const FileContentId &id) { m_lastIo = id; }
    ReplaceGuard m_replaceGuard;
    bool m_guardRefused = false;

private:
    FileContentId m_lastIo;
    QString m_templatesType = QStringLiteral("Custom");
    bool m_useGlobalOptions = false;
    TextFileFormat m_format;
    SearchOptions m_lastSearch;
    CaretPoint m_blockBegin;
};

} // namespace Quorvant
