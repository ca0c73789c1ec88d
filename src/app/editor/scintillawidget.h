// The QScintilla widget behind the editor view: reports the key, mouse and
// drop events the program reacts to.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <functional>

class QMimeData;

namespace Quorvant {

class TMemoSource;

class ScintillaWidget : public QsciScintilla
{
    Q_OBJECT
public:
    explicit ScintillaWidget(QWidget *parent = nullptr);

    // The buffer whose document this widget currently holds.
    TMemoSource *buffer() const { return m_buffer; }
    void setBuffer(TMemoSource *buffer) { m_buffer = buffer; }

    // Direct calls into Scintilla for the buffer code.
    long call(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const
    {
        return SendScintilla(msg, wParam, lParam);
    }
    long call(unsigned int msg, unsigned long wParam, const char *lParam) const
    {
        return SendScintilla(msg, uintptr_t(wParam), lParam);
    }

    // Places a drop from the tag list or the snippet list at the caret;
    // false for any other data, which the editor handles as usual.
    bool dropItem(const QMimeData *mime);

    // Scintilla reports only that a change is about to happen (the full
    // change reports make QScintilla count characters from the start of the
    // text on every edit); textChanged and linesChanged are sent from here,
    // once the edit is done.
    // Gets every key press first; returning true consumes it.
    std::function<bool(QKeyEvent *)> keyInterceptor;

    static constexpr int ModEventMask = 0x400 /*SC_MOD_BEFOREINSERT*/ | 0x800 /*SC_MOD_BEFOREDELETE*/;
    void flushChanges();

Q_SIGNALS:
    void keyDown(int key, int modifiers);
    void keyUp(int key, int modifiers);
    void keyPressed(QChar ch);
    void clicked();
    void tagDropped(const QString &startText, const QString &endText);
    void snippetDropped(const QString &snippetText);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

    void inputMethodEvent(QInputMethodEvent *e) override;
    bool event(QEvent *e) override;

private:
    void changeComing();
    // A snippet goes where it is dropped (around the selection when dropped
    // onto it); a tag goes where the caret already is.
    void placeCaretForDrop(const QPoint &point);

    TMemoSource *m_buffer = nullptr;
    bool m_changePending = false;
    int m_linesBefore = 0;
};

} // namespace Quorvant
