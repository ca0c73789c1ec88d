// The editor view: shows one text buffer at a time and takes the user's input.
#pragma once

#include "textbuffer.h"

#include <QObject>
#include <QPointer>

namespace Quorvant {

class IEditorView : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~IEditorView() override = default;

    // The view shows and edits that buffer from now on, with the buffer's own
    // caret, selection, undo history and bookmarks; nullptr detaches it.
    virtual void setSource(ITextBuffer *buffer) = 0;
    virtual ITextBuffer *source() const = 0;

    // The operations below act on the attached buffer; without one they do
    // nothing and read as empty.
    QString text() const;
    void setText(const QString &text);
    QStringList lines() const;
    QString selText() const;
    void setSelText(const QString &text);
    CaretPoint caretPoint() const;
    void setCaretPoint(CaretPoint p);
    [[nodiscard]] bool loadFromFile(const QString &path, QString *error);
    [[nodiscard]] bool saveToFile(const QString &path, QString *error);
    bool isReadOnly() const;
    void setReadOnly(bool readOnly);

    virtual ViewOptions options() const = 0;
    virtual void setOptions(ViewOptions options) = 0;
    void includeOptions(ViewOptions o) { setOptions(options() | o); }
    void excludeOptions(ViewOptions o) { setOptions(options() & ~o); }

    virtual bool wordWrap() const = 0;
    virtual void setWordWrap(bool on) = 0;

    virtual void cutToClipboard() = 0;
    virtual void copyToClipboard() = 0;
    virtual void pasteFromClipboard() = 0;

    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setFocus() = 0;

Q_SIGNALS:
    void changed();                                   // OnChange
    void clicked();                                   // OnClick
    void keyDown(int key, int modifiers);             // OnKeyDown, before the key acts
    void keyUp(int key, int modifiers);               // OnKeyUp
    void keyPress(QChar ch);                          // OnKeyPress: a character typed
    void selectionChanged();                          // OnSelectionChange
    void tagDropped(const QString &startText, const QString &endText);
    void snippetDropped(const QString &snippetText);
};

} // namespace Quorvant
