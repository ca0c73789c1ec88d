#include "scintillawidget.h"

#include "editortypes.h"
#include "tmemosource.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace Quorvant {

namespace {

// QScintilla's accessibility interface counts characters from the start of
// the text at every caret move and edit, which makes big documents crawl.
// Unless a screen reader is already active, the editor is offered as a
// plain editable widget instead.
QAccessibleInterface *plainEditorAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("Quorvant::ScintillaWidget") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
    return nullptr;
}

void installPlainAccessibility()
{
    static bool installed = false;
    if (installed || QAccessible::isActive())
        return;
    installed = true;
    QAccessible::installFactory(plainEditorAccessible);
}

bool isOurDrag(const QMimeData *mime)
{
    return mime && (mime->hasFormat(QLatin1String(TagStartMimeType)) || mime->hasFormat(QLatin1String(SnippetMimeType)));
}

} // namespace

ScintillaWidget::ScintillaWidget(QWidget *parent)
    : QsciScintilla(parent)
{
    setUtf8(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    installPlainAccessibility();
    SendScintilla(SCI_SETMODEVENTMASK, ModEventMask);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, [this] { changeComing(); });
    // Report changes to whichever buffer the widget holds at the time.
    connect(this, &QsciScintilla::textChanged, this, [this] {
        if (m_buffer)
            Q_EMIT m_buffer->textChanged();
    });
    connect(this, &QsciScintilla::modificationChanged, this, [this] {
        if (m_buffer)
            m_buffer->onWidgetModificationChanged();
    });
}

void ScintillaWidget::changeComing()
{
    if (m_changePending)
        return;
    m_changePending = true;
    m_linesBefore = lines();
    // Edits that do not come through an event or a buffer method still report.
    QMetaObject::invokeMethod(this, &ScintillaWidget::flushChanges, Qt::QueuedConnection);
}

void ScintillaWidget::flushChanges()
{
    if (!m_changePending)
        return;
    m_changePending = false;
    Q_EMIT textChanged();
    if (lines() != m_linesBefore)
        Q_EMIT linesChanged();
}

bool ScintillaWidget::event(QEvent *e)
{
    const QEvent::Type type = e->type();
    const bool result = QsciScintilla::event(e);
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::Shortcut)
        flushChanges();
    return result;
}

void ScintillaWidget::inputMethodEvent(QInputMethodEvent *e)
{
    QsciScintilla::inputMethodEvent(e);
    flushChanges();
}

void ScintillaWidget::keyPressEvent(QKeyEvent *e)
{
    Q_EMIT keyDown(e->key(), int(e->modifiers()));
    if (keyInterceptor && keyInterceptor(e)) {
        e->accept();
        flushChanges();
        return;
    }
    QsciScintilla::keyPressEvent(e);
    flushChanges();
    const QString text = e->text();
    if (text.size() == 1 && !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        const QChar c = text.at(0);
        // Characters, Backspace, Enter and Tab count as typed; Delete does not.
        if (c.isPrint() || c == u'\r' || c == u'\n' || c == u'\b' || c == u'\t')
            Q_EMIT keyPressed(c);
    }
}

void ScintillaWidget::keyReleaseEvent(QKeyEvent *e)
{
    QsciScintilla::keyReleaseEvent(e);
    Q_EMIT keyUp(e->key(), int(e->modifiers()));
}

void ScintillaWidget::mouseReleaseEvent(QMouseEvent *e)
{
    QsciScintilla::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

void ScintillaWidget::dragEnterEvent(QDragEnterEvent *e)
{
    if (isOurDrag(e->mimeData())) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragEnterEvent(e);
}

void ScintillaWidget::dragMoveEvent(QDragMoveEvent *e)
{
    if (isOurDrag(e->mimeData())) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragMoveEvent(e);
}

void ScintillaWidget::dropEvent(QDropEvent *e)
{
    if (!isOurDrag(e->mimeData())) {
        QsciScintilla::dropEvent(e);
        return;
    }
    if (e->mimeData()->hasFormat(QLatin1String(SnippetMimeType)))
        placeCaretForDrop(e->position().toPoint());
    dropItem(e->mimeData());
    e->acceptProposedAction();
}

void ScintillaWidget::placeCaretForDrop(const QPoint &point)
{
    const long position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()),
                                        static_cast<long>(point.y()));
    const long selectionStart = SendScintilla(SCI_GETSELECTIONSTART);
    const long selectionEnd = SendScintilla(SCI_GETSELECTIONEND);
    // Dropped onto the selection, the snippet goes around it.
    if (selectionStart < selectionEnd && position >= selectionStart && position <= selectionEnd)
        return;
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(position));
}

bool ScintillaWidget::dropItem(const QMimeData *mime)
{
    if (!isOurDrag(mime))
        return false;
    // The text goes where the caret is: a dropped tag does not move it, a
    // snippet's drop event has moved it where the snippet was dropped.
    if (mime->hasFormat(QLatin1String(SnippetMimeType))) {
        Q_EMIT snippetDropped(QString::fromUtf8(mime->data(QLatin1String(SnippetMimeType))));
    } else {
        Q_EMIT tagDropped(QString::fromUtf8(mime->data(QLatin1String(TagStartMimeType))),
                          QString::fromUtf8(mime->data(QLatin1String(TagEndMimeType))));
    }
    return true;
}

} // namespace Quorvant
