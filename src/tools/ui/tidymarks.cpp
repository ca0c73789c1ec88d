#include "tidymarks.h"

#include "scintillawidget.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

namespace Quorvant {

namespace {

constexpr int MarksMask = (1 << TTidyMarks::WarningMarker) | (1 << TTidyMarks::ErrorMarker);

// The messages quote tags: shown as text, never as markup.
QString asToolTip(const QString &text)
{
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped().replace(u'\n', QLatin1String("<br>")));
}

} // namespace

TTidyMarks::TTidyMarks(TDCMemo *memo, QObject *parent)
    : QObject(parent)
    , m_memo(memo)
{
    ScintillaWidget *w = memo->widget();
    w->markerDefine(QsciScintilla::Circle, WarningMarker);
    w->setMarkerBackgroundColor(QColor(0xF0, 0xA0, 0x20), WarningMarker);
    w->setMarkerForegroundColor(QColor(0x80, 0x50, 0x00), WarningMarker);
    w->markerDefine(QsciScintilla::Circle, ErrorMarker);
    w->setMarkerBackgroundColor(QColor(0xD0, 0x20, 0x20), ErrorMarker);
    w->setMarkerForegroundColor(QColor(0x70, 0x00, 0x00), ErrorMarker);
    w->setMarginType(Margin, QsciScintilla::SymbolMargin);
    w->setMarginMarkerMask(Margin, MarksMask);
    w->setMarginWidth(Margin, 0);
    w->setMarginSensitivity(Margin, true);
    w->viewport()->installEventFilter(this);
    connect(w, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length, int, int, int, int, int, int) {
                changeComing(position, type, length);
            });
    connect(w, &QsciScintilla::marginClicked, this, [this](int margin, int line, Qt::KeyboardModifiers) {
        if (margin != Margin)
            return;
        const QStringList messages = messagesAt(shown(), line);
        if (!messages.isEmpty() && m_memo)
            QToolTip::showText(QCursor::pos(), asToolTip(messages.join(u'\n')), m_memo->widget());
    });
}

TMemoSource *TTidyMarks::shown() const
{
    return m_memo ? m_memo->memoSource() : nullptr;
}

int TTidyMarks::markerFor(const TTidyMessage &m)
{
    return m.isError() ? ErrorMarker : WarningMarker;
}

QString TTidyMarks::describe(const TTidyMessage &m)
{
    return QStringLiteral("line %1 column %2 - %3: %4").arg(m.line).arg(m.column).arg(m.kind, m.text);
}

void TTidyMarks::clear(TMemoSource *buffer, bool update)
{
    if (!buffer)
        return;
    // Only these marks use the two marker numbers; removing them by handle
    // would search the whole document once per mark.
    if (!m_entries.take(buffer).isEmpty()) {
        buffer->sendToDocument(QsciScintillaBase::SCI_MARKERDELETEALL, WarningMarker);
        buffer->sendToDocument(QsciScintillaBase::SCI_MARKERDELETEALL, ErrorMarker);
    }
    if (update)
        updateMargin();
    Q_EMIT marksChanged();
}

void TTidyMarks::setMarks(TMemoSource *buffer, const QList<TTidyMessage> &messages)
{
    if (!buffer)
        return;
    clear(buffer);
    if (!m_watched.contains(buffer)) {
        m_watched.insert(buffer);
        connect(buffer, &QObject::destroyed, this, [this, buffer] {
            m_entries.remove(buffer);
            m_watched.remove(buffer);
        });
    }
    QList<Entry> &entries = m_entries[buffer];
    const int lines = buffer->lineCount();
    for (const TTidyMessage &m : messages) {
        if (m.line > lines)
            continue;
        const int handle = int(buffer->sendToDocument(QsciScintillaBase::SCI_MARKERADD, m.line - 1, markerFor(m)));
        if (handle >= 0)
            entries.append({handle, m});
    }
    updateMargin();
    Q_EMIT marksChanged();
}

QList<TTidyMarks::Mark> TTidyMarks::marks(TMemoSource *buffer) const
{
    QList<Mark> out;
    for (const Entry &e : m_entries.value(buffer)) {
        const int line = int(buffer->sendToDocument(QsciScintillaBase::SCI_MARKERLINEFROMHANDLE, e.handle));
        if (line >= 0)
            out.append({line, e.message});
    }
    std::stable_sort(out.begin(), out.end(), [](const Mark &a, const Mark &b) { return a.line < b.line; });
    return out;
}

QStringList TTidyMarks::messagesAt(TMemoSource *buffer, int line) const
{
    QStringList out;
    if (!buffer || line < 0 || !(buffer->sendToDocument(QsciScintillaBase::SCI_MARKERGET, line) & MarksMask))
        return out;
    for (const Mark &m : marks(buffer))
        if (m.line == line)
            out.append(describe(m.message));
    return out;
}

int TTidyMarks::gotoNextMark()
{
    TMemoSource *buffer = shown();
    if (!buffer || m_entries.value(buffer).isEmpty())
        return -1;
    const int from = buffer->caretPoint().y + 1;
    int line = int(buffer->sendToDocument(QsciScintillaBase::SCI_MARKERNEXT, from, MarksMask));
    if (line < 0)
        line = int(buffer->sendToDocument(QsciScintillaBase::SCI_MARKERNEXT, 0, MarksMask));
    if (line < 0)
        return -1;
    buffer->setCaretPoint({0, line});
    if (m_memo) {
        m_memo->widget()->ensureLineVisible(line);
        m_memo->setFocus();
    }
    return line;
}

void TTidyMarks::updateMargin()
{
    if (!m_memo)
        return;
    TMemoSource *buffer = shown();
    const bool any = buffer && !m_entries.value(buffer).isEmpty();
    ScintillaWidget *w = m_memo->widget();
    const int width = any ? MarginWidth : 0;
    if (w->marginWidth(Margin) != width)
        w->setMarginWidth(Margin, width);
}

void TTidyMarks::changeComing(int position, int type, int length)
{
    constexpr int BeforeInsert = 0x400;
    constexpr int BeforeDelete = 0x800;
    if (!(type & (BeforeInsert | BeforeDelete)) || !m_memo)
        return;
    TMemoSource *buffer = m_memo->widget()->buffer();
    if (!buffer || m_entries.value(buffer).isEmpty())
        return;
    ScintillaWidget *w = m_memo->widget();
    const int first = int(w->call(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
    const int last = (type & BeforeDelete) ? int(w->call(QsciScintillaBase::SCI_LINEFROMPOSITION, position + length)) : first;
    // Most edits touch no marked line: asking the lines is cheap, finding a
    // mark's line is not.
    bool marked = false;
    for (int line = first; line <= last && !marked; ++line)
        marked = w->call(QsciScintillaBase::SCI_MARKERGET, line) & MarksMask;
    if (!marked)
        return;
    QList<int> hit;
    for (const Entry &e : m_entries.value(buffer)) {
        const int line = int(w->call(QsciScintillaBase::SCI_MARKERLINEFROMHANDLE, e.handle));
        if (line >= first && line <= last)
            hit.append(e.handle);
    }
    if (hit.isEmpty())
        return;
    // Markers are not touched while Scintilla reports a change.
    QMetaObject::invokeMethod(this, [this, b = QPointer<TMemoSource>(buffer), hit] { dropHandles(b, hit); },
                              Qt::QueuedConnection);
}

void TTidyMarks::dropHandles(QPointer<TMemoSource> buffer, QList<int> handles)
{
    if (!buffer)
        return;
    auto it = m_entries.find(buffer.data());
    if (it == m_entries.end())
        return;
    for (int handle : handles)
        buffer->sendToDocument(QsciScintillaBase::SCI_MARKERDELETEHANDLE, handle);
    it->erase(std::remove_if(it->begin(), it->end(), [&handles](const Entry &e) { return handles.contains(e.handle); }),
              it->end());
    updateMargin();
    Q_EMIT marksChanged();
}

QString TTidyMarks::toolTipAt(const QPoint &pos) const
{
    if (!m_memo)
        return {};
    ScintillaWidget *w = m_memo->widget();
    int marginsWidth = 0;
    for (int m = 0; m <= Margin; ++m)
        marginsWidth += w->marginWidth(m);
    if (pos.x() >= marginsWidth)
        return {};
    const long position = w->call(QsciScintillaBase::SCI_POSITIONFROMPOINT, marginsWidth, pos.y());
    const int line = int(w->call(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
    return messagesAt(shown(), line).join(u'\n');
}

bool TTidyMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && m_memo && watched == m_memo->widget()->viewport()) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = toolTipAt(help->pos());
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), asToolTip(tip), m_memo->widget());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Quorvant
