#include "tmemosource.h"

#include "scintillawidget.h"
#include "tdcmemo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstring>

namespace Quorvant {

namespace {

// A hidden widget that holds a buffer's document while no view shows it, so
// buffer operations work on any document.
QPointer<ScintillaWidget> &workerSlot()
{
    static QPointer<ScintillaWidget> worker;
    return worker;
}

void deleteWorker()
{
    delete workerSlot().data();
}

ScintillaWidget *worker()
{
    QPointer<ScintillaWidget> &w = workerSlot();
    if (!w) {
        w = new ScintillaWidget;
        w->setAttribute(Qt::WA_DontShowOnScreen);
        qAddPostRoutine(deleteWorker);
    }
    return w;
}

void ensureUtf8(ScintillaWidget *w)
{
    if (w->call(QsciScintillaBase::SCI_GETCODEPAGE) != QsciScintillaBase::SC_CP_UTF8)
        w->call(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
}

constexpr int markerMask(int n)
{
    return 1 << n;
}

// Empties the document for a whole new text of about size bytes, with undo
// collection off, and appends data when given. Answers whether the widget
// was read-only before.
bool startBulkLoad(ScintillaWidget *w, qint64 size, const char *data = nullptr)
{
    const bool wasReadOnly = w->call(QsciScintillaBase::SCI_GETREADONLY);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 0);
    w->call(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
    // No change reports for the bulk load: QScintilla would copy the whole
    // text for them.
    const long mask = w->call(QsciScintillaBase::SCI_GETMODEVENTMASK);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    w->call(QsciScintillaBase::SCI_CLEARALL);
    // Room to grow, so the first edits need not move the whole text.
    w->call(QsciScintillaBase::SCI_ALLOCATE, size + qMin(size / 8, TMemoSource::LoadRoomBytes) + 4096);
    if (data)
        w->call(QsciScintillaBase::SCI_APPENDTEXT, size, data);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, mask);
    return wasReadOnly;
}

// The loaded text becomes the saved state with the caret at its start;
// settle brings the buffer's own state along before the widget reports the
// new text.
template <typename Settle>
void finishBulkLoad(ScintillaWidget *w, bool wasReadOnly, Settle settle)
{
    w->call(QsciScintillaBase::SCI_SETSAVEPOINT);
    // Not GOTOPOS: scrolling the caret into view lays out the first line,
    // which for a file that is one huge line takes seconds.
    w->call(QsciScintillaBase::SCI_SETEMPTYSELECTION, 0);
    w->call(QsciScintillaBase::SCI_SETREADONLY, wasReadOnly);
    settle();
    Q_EMIT w->textChanged();
    Q_EMIT w->linesChanged();
}

} // namespace

TMemoSource::TMemoSource(QObject *owner)
    : ITextBuffer(owner)
    , m_doc(std::make_unique<QsciDocument>())
{
}

TMemoSource::~TMemoSource()
{
    if (m_view)
        m_view->setSource(nullptr);
    // Let the document go while a live widget shows it: QScintilla would
    // otherwise release it through a pooled widget that may be gone already.
    ScintillaWidget *w = worker();
    if (w->buffer() != this) {
        if (TMemoSource *previous = w->buffer())
            previous->saveViewState(w);
        w->setBuffer(this);
        showDocumentIn(w);
    }
    m_doc.reset();
    w->setBuffer(nullptr);
    w->setDocument(QsciDocument());
}

ScintillaWidget *TMemoSource::editor() const
{
    if (m_view)
        return m_view->widget();
    ScintillaWidget *w = worker();
    if (w->buffer() != this) {
        auto *self = const_cast<TMemoSource *>(this);
        if (TMemoSource *previous = w->buffer())
            previous->saveViewState(w);
        w->setBuffer(self);
        showDocumentIn(w);
        ensureUtf8(w);
        self->restoreViewState(w);
    }
    return w;
}

// QScintilla keeps a document that no widget shows alive with a reference
// of its own, taken each time the last widget lets it go, but gives one back
// only when the document ends unshown: a document shown twice would never be
// freed. The one taken before is given back as the document is shown again
// (it is shown by one widget at a time), so it ends with its last holder.
void TMemoSource::showDocumentIn(ScintillaWidget *w) const
{
    w->setDocument(*m_doc);
    if (m_docShownBefore)
        w->SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0,
                         w->SendScintillaPtrResult(QsciScintillaBase::SCI_GETDOCPOINTER));
    m_docShownBefore = true;
}

void TMemoSource::takeFromWorker()
{
    ScintillaWidget *w = workerSlot();
    if (w && w->buffer() == this) {
        saveViewState(w);
        w->setBuffer(nullptr);
        w->setDocument(QsciDocument());
    }
}

void TMemoSource::saveViewState(ScintillaWidget *w)
{
    m_anchor = w->call(QsciScintillaBase::SCI_GETANCHOR);
    m_caret = w->call(QsciScintillaBase::SCI_GETCURRENTPOS);
    m_firstVisibleLine = w->call(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    m_xOffset = w->call(QsciScintillaBase::SCI_GETXOFFSET);
}

void TMemoSource::restoreViewState(ScintillaWidget *w)
{
    w->call(QsciScintillaBase::SCI_SETSEL, m_anchor, m_caret);
    w->call(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, m_firstVisibleLine);
    w->call(QsciScintillaBase::SCI_SETXOFFSET, m_xOffset);
}

void TMemoSource::attachTo(TDCMemo *view, ScintillaWidget *widget)
{
    takeFromWorker();
    m_view = view;
    widget->setBuffer(this);
    showDocumentIn(widget);
    ensureUtf8(widget);
    applyEolMode(widget);
    restoreViewState(widget);
}

void TMemoSource::applyEolMode(ScintillaWidget *widget)
{
    widget->call(QsciScintillaBase::SCI_SETEOLMODE,
                 fileFormat().lineEnds == LineEndStyle::LF ? QsciScintillaBase::SC_EOL_LF
                 : fileFormat().lineEnds == LineEndStyle::CR ? QsciScintillaBase::SC_EOL_CR
                                                              : QsciScintillaBase::SC_EOL_CRLF);
}

TDCMemo *TMemoSource::view() const
{
    return m_view;
}

void TMemoSource::detachFrom(ScintillaWidget *widget)
{
    saveViewState(widget);
    widget->setBuffer(nullptr);
    m_view = nullptr;
}

QByteArray TMemoSource::rangeBytes(long from, long to) const
{
    ScintillaWidget *w = editor();
    if (to <= from)
        return {};
    QByteArray out(to - from + 1, Qt::Uninitialized);
    w->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, out.data());
    out.chop(1);
    return out;
}

QByteArray TMemoSource::toStored(const QString &text) const
{
    return convertLineEnds(text, fileFormat().lineEnds).toUtf8();
}

// Columns are UTF-16 code units, as QString counts them, so a column read
// from line() is the same column in the buffer. Scintilla holds UTF-8: a
// lead byte starts one unit, a four-byte sequence (outside the BMP) two.
namespace {
int utf16Units(unsigned char lead)
{
    if ((lead & 0xC0) == 0x80)
        return 0;
    return lead >= 0xF0 ? 2 : 1;
}
} // namespace

long TMemoSource::positionOf(CaretPoint p) const
{
    ScintillaWidget *w = editor();
    const long lines = w->call(QsciScintillaBase::SCI_GETLINECOUNT);
    const long y = qBound(0L, long(p.y), lines - 1);
    const long start = w->call(QsciScintillaBase::SCI_POSITIONFROMLINE, y);
    const long end = w->call(QsciScintillaBase::SCI_GETLINEENDPOSITION, y);
    if (p.x <= 0 || end <= start)
        return start;
    const auto *bytes = reinterpret_cast<const unsigned char *>(
        static_cast<quintptr>(w->call(QsciScintillaBase::SCI_GETRANGEPOINTER, start, end - start)));
    // A column inside a surrogate pair stands before that character.
    long units = 0;
    long i = 0;
    for (; i < end - start; ++i) {
        const int u = utf16Units(bytes[i]);
        if (u == 0)
            continue;
        if (units + u > p.x)
            break;
        units += u;
    }
    return start + i;
}

CaretPoint TMemoSource::pointOf(long position) const
{
    ScintillaWidget *w = editor();
    const long y = w->call(QsciScintillaBase::SCI_LINEFROMPOSITION, position);
    const long start = w->call(QsciScintillaBase::SCI_POSITIONFROMLINE, y);
    // Counted in place: far quicker than Scintilla's walk on a long line.
    long x = 0;
    if (position > start) {
        const auto *p = reinterpret_cast<const unsigned char *>(
            static_cast<quintptr>(w->call(QsciScintillaBase::SCI_GETRANGEPOINTER, start, position - start)));
        for (long i = 0; i < position - start; ++i)
            x += utf16Units(p[i]);
    }
    return {int(x), int(y)};
}

QString TMemoSource::storedText() const
{
    ScintillaWidget *w = editor();
    return decodeUtf8(rangeBytes(0, w->call(QsciScintillaBase::SCI_GETLENGTH)));
}

QString TMemoSource::text() const
{
    return convertLineEnds(storedText(), LineEndStyle::CRLF);
}

void TMemoSource::setRawText(const char *data, qsizetype size)
{
    ScintillaWidget *w = editor();
    const bool wasReadOnly = startBulkLoad(w, size, data);
    w->call(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
    w->call(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    finishBulkLoad(w, wasReadOnly, [&] {
        applyEolMode(w);
        m_forcedModified = false;
        emitModifiedIfChanged();
    });
}

void TMemoSource::setStoredText(const QString &text, LineEndStyle style)
{
    TextFileFormat f = fileFormat();
    f.lineEnds = style;
    setFileFormat(f);
    const QByteArray bytes = text.toUtf8();
    setRawText(bytes.constData(), bytes.size());
}

void TMemoSource::replaceSpans(const QString &all, const QList<TextSpan> &spans, const QString &replacement,
                               const ReplaceProgress &progress)
{
    ScintillaWidget *w = editor();
    const long length = w->call(QsciScintillaBase::SCI_GETLENGTH);
    const auto *doc = reinterpret_cast<const unsigned char *>(
        w->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    // One walk through text() and the document's UTF-8 bytes side by side
    // turns every span into byte positions; a line break of text() is CR LF,
    // the document's own may be CR LF, LF or CR.
    QList<QPair<long, long>> ranges;
    ranges.reserve(spans.size());
    qsizetype unit = 0;
    long byte = 0;
    auto advanceTo = [&](qsizetype target) {
        const QChar *chars = all.constData();
        while (unit < target && byte < length) {
            const char16_t c = chars[unit].unicode();
            if (c == u'\r' && unit + 1 < all.size() && chars[unit + 1] == u'\n') {
                // A CR LF of text() stands for the document's line end.
                if (doc[byte] == '\r' && byte + 1 < length && doc[byte + 1] == '\n') {
                    byte += 2;
                } else {
                    byte += 1;
                }
                unit += 2;
                continue;
            }
            if (QChar::isHighSurrogate(c) && unit + 1 < all.size()) {
                byte += 4;
                unit += 2;
                continue;
            }
            byte += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
            ++unit;
        }
    };
    for (const TextSpan &span : spans) {
        advanceTo(span.pos);
        const long from = qMin(byte, length);
        advanceTo(span.pos + span.length);
        ranges.append({from, qMin(byte, length)});
    }
    const QByteArray bytes = toStored(replacement);
    const qsizetype total = ranges.size();
    const bool wasReadOnly = w->call(QsciScintillaBase::SCI_GETREADONLY);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 0);
    // No change report per replacement: QScintilla would copy the text for
    // each. One report follows at the end.
    const long mask = w->call(QsciScintillaBase::SCI_GETMODEVENTMASK);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    w->call(QsciScintillaBase::SCI_BEGINUNDOACTION);
    qsizetype done = 0;
    // From the end backwards, so the positions still ahead stay valid.
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
        w->call(QsciScintillaBase::SCI_SETTARGETRANGE, it->first, it->second);
        w->call(QsciScintillaBase::SCI_REPLACETARGET, bytes.size(), bytes.constData());
        if (progress && (++done % 4096) == 0)
            progress(done, total);
    }
    w->call(QsciScintillaBase::SCI_ENDUNDOACTION);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, mask);
    w->call(QsciScintillaBase::SCI_GOTOPOS, ranges.first().first + bytes.size());
    w->call(QsciScintillaBase::SCI_SETREADONLY, wasReadOnly);
    emitModifiedIfChanged();
    Q_EMIT w->textChanged();
    Q_EMIT w->linesChanged();
    if (progress)
        progress(total, total);
}

long TMemoSource::sendToDocument(unsigned int msg, unsigned long wParam, long lParam) const
{
    return editor()->call(msg, wParam, lParam);
}

void TMemoSource::setText(const QString &text)
{
    ScintillaWidget *w = editor();
    const QByteArray bytes = toStored(text);
    // The program may fill a read-only buffer; only the user may not edit it.
    const bool wasReadOnly = w->call(QsciScintillaBase::SCI_GETREADONLY);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 0);
    w->call(QsciScintillaBase::SCI_BEGINUNDOACTION);
    w->call(QsciScintillaBase::SCI_CLEARALL);
    w->call(QsciScintillaBase::SCI_ADDTEXT, bytes.size(), bytes.constData());
    w->call(QsciScintillaBase::SCI_ENDUNDOACTION);
    w->call(QsciScintillaBase::SCI_GOTOPOS, 0);
    w->call(QsciScintillaBase::SCI_SETREADONLY, wasReadOnly);
    w->flushChanges();
}

int TMemoSource::lineCount() const
{
    return int(editor()->call(QsciScintillaBase::SCI_GETLINECOUNT));
}

QString TMemoSource::line(int index) const
{
    ScintillaWidget *w = editor();
    if (index < 0 || index >= w->call(QsciScintillaBase::SCI_GETLINECOUNT))
        return {};
    return decodeUtf8(rangeBytes(w->call(QsciScintillaBase::SCI_POSITIONFROMLINE, index),
                                 w->call(QsciScintillaBase::SCI_GETLINEENDPOSITION, index)));
}

CaretPoint TMemoSource::caretPoint() const
{
    return pointOf(editor()->call(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void TMemoSource::setCaretPoint(CaretPoint p)
{
    const long pos = positionOf(p);
    editor()->call(QsciScintillaBase::SCI_GOTOPOS, pos);
}

SelectionRect TMemoSource::selectionRect() const
{
    ScintillaWidget *w = editor();
    return {pointOf(w->call(QsciScintillaBase::SCI_GETSELECTIONSTART)),
            pointOf(w->call(QsciScintillaBase::SCI_GETSELECTIONEND))};
}

void TMemoSource::setSelection(SelectionRect r)
{
    const long from = positionOf(r.start);
    const long to = positionOf(r.end);
    editor()->call(QsciScintillaBase::SCI_SETSEL, from, to);
}

QString TMemoSource::selText() const
{
    ScintillaWidget *w = editor();
    const QByteArray bytes = rangeBytes(w->call(QsciScintillaBase::SCI_GETSELECTIONSTART),
                                        w->call(QsciScintillaBase::SCI_GETSELECTIONEND));
    return convertLineEnds(decodeUtf8(bytes), LineEndStyle::CRLF);
}

void TMemoSource::setSelText(const QString &text)
{
    ScintillaWidget *w = editor();
    const long from = w->call(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long to = w->call(QsciScintillaBase::SCI_GETSELECTIONEND);
    if (from == to && text.isEmpty())
        return;
    const QByteArray bytes = toStored(text);
    w->call(QsciScintillaBase::SCI_BEGINUNDOACTION);
    w->call(QsciScintillaBase::SCI_SETTARGETRANGE, from, to);
    w->call(QsciScintillaBase::SCI_REPLACETARGET, bytes.size(), bytes.constData());
    w->call(QsciScintillaBase::SCI_ENDUNDOACTION);
    if (!w->call(QsciScintillaBase::SCI_GETREADONLY))
        w->call(QsciScintillaBase::SCI_GOTOPOS, from + bytes.size());
    w->flushChanges();
}

void TMemoSource::clearSelection()
{
    ScintillaWidget *w = editor();
    w->call(QsciScintillaBase::SCI_SETEMPTYSELECTION, w->call(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void TMemoSource::selectAll()
{
    editor()->call(QsciScintillaBase::SCI_SELECTALL);
}

void TMemoSource::insertString(const QString &text)
{
    if (text.isEmpty())
        return;
    ScintillaWidget *w = editor();
    if (w->call(QsciScintillaBase::SCI_GETREADONLY))
        return;
    const long pos = w->call(QsciScintillaBase::SCI_GETCURRENTPOS);
    const QByteArray bytes = toStored(text);
    // Its own undo step: Scintilla would merge it with a neighbouring insertion.
    w->call(QsciScintillaBase::SCI_BEGINUNDOACTION);
    w->call(QsciScintillaBase::SCI_INSERTTEXT, pos, bytes.constData());
    w->call(QsciScintillaBase::SCI_ENDUNDOACTION);
    w->call(QsciScintillaBase::SCI_GOTOPOS, pos + bytes.size());
    w->flushChanges();
}

bool TMemoSource::canUndo() const
{
    return editor()->call(QsciScintillaBase::SCI_CANUNDO);
}

bool TMemoSource::canRedo() const
{
    return editor()->call(QsciScintillaBase::SCI_CANREDO);
}

void TMemoSource::undo()
{
    ScintillaWidget *w = editor();
    w->call(QsciScintillaBase::SCI_UNDO);
    w->flushChanges();
}

void TMemoSource::redo()
{
    ScintillaWidget *w = editor();
    w->call(QsciScintillaBase::SCI_REDO);
    w->flushChanges();
}

void TMemoSource::beginUndoAction()
{
    editor()->call(QsciScintillaBase::SCI_BEGINUNDOACTION);
}

void TMemoSource::endUndoAction()
{
    editor()->call(QsciScintillaBase::SCI_ENDUNDOACTION);
}

void TMemoSource::toggleBookmark(int n)
{
    if (n < 1 || n > BookmarkCount)
        return;
    ScintillaWidget *w = editor();
    const long caretLine = w->call(QsciScintillaBase::SCI_LINEFROMPOSITION, w->call(QsciScintillaBase::SCI_GETCURRENTPOS));
    const bool here = w->call(QsciScintillaBase::SCI_MARKERGET, caretLine) & markerMask(n);
    w->call(QsciScintillaBase::SCI_MARKERDELETEALL, n);
    if (!here)
        w->call(QsciScintillaBase::SCI_MARKERADD, caretLine, n);
}

void TMemoSource::goToBookmark(int n)
{
    const int lineNo = bookmarkLine(n);
    if (lineNo >= 0)
        setCaretPoint({0, lineNo});
}

int TMemoSource::bookmarkLine(int n) const
{
    if (n < 1 || n > BookmarkCount)
        return -1;
    return int(editor()->call(QsciScintillaBase::SCI_MARKERNEXT, 0, markerMask(n)));
}

void TMemoSource::setSyntaxParser(SyntaxParser parser)
{
    if (parser == m_parser)
        return;
    m_parser = parser;
    m_lexerApplied = false;
    if (m_view)
        m_view->applyParserOf(this);
}

bool TMemoSource::isModified() const
{
    return m_forcedModified || editor()->call(QsciScintillaBase::SCI_GETMODIFY);
}

void TMemoSource::setModified(bool modified)
{
    if (modified) {
        m_forcedModified = true;
    } else {
        m_forcedModified = false;
        editor()->call(QsciScintillaBase::SCI_SETSAVEPOINT);
    }
    emitModifiedIfChanged();
}

void TMemoSource::emitModifiedIfChanged()
{
    const bool now = isModified();
    if (now != m_lastModified) {
        m_lastModified = now;
        Q_EMIT modificationChanged(now);
    }
}

void TMemoSource::onWidgetModificationChanged()
{
    emitModifiedIfChanged();
}

bool TMemoSource::isReadOnly() const
{
    return editor()->call(QsciScintillaBase::SCI_GETREADONLY);
}

void TMemoSource::setReadOnly(bool readOnly)
{
    editor()->call(QsciScintillaBase::SCI_SETREADONLY, readOnly);
}

qint64 TMemoSource::byteLength() const
{
    return editor()->call(QsciScintillaBase::SCI_GETLENGTH);
}

QByteArray TMemoSource::storedBytes() const
{
    ScintillaWidget *w = editor();
    const long length = w->call(QsciScintillaBase::SCI_GETLENGTH);
    // Copied in the two pieces on either side of the gap: asking for the
    // whole text at once would move the gap to the end, and the next key
    // typed in the middle would move half the document back.
    const long gap = qBound(0L, long(w->call(QsciScintillaBase::SCI_GETGAPPOSITION)), length);
    QByteArray out(length, Qt::Uninitialized);
    auto piece = [w](long from, long size) {
        return reinterpret_cast<const char *>(
            static_cast<quintptr>(w->call(QsciScintillaBase::SCI_GETRANGEPOINTER, from, size)));
    };
    if (gap > 0)
        memcpy(out.data(), piece(0, gap), size_t(gap));
    if (length > gap)
        memcpy(out.data() + gap, piece(gap, length - gap), size_t(length - gap));
    return out;
}

bool TMemoSource::loadFromFile(const QString &path, QString *error)
{
    return loadFromFile(path, error, {});
}

namespace {

// Where a piece of UTF-8 stops being whole: the start of a last sequence
// that the next piece completes, else size.
qsizetype wholeUtf8Prefix(const char *data, qsizetype size)
{
    const auto *s = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = size - 1; i >= 0 && i >= size - 3; --i) {
        const unsigned char c = s[i];
        if ((c & 0xC0) == 0x80)
            continue;
        const int length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return i + length > size ? i : size;
    }
    return size;
}

// Line-end style and longest line of a text that arrives in pieces.
struct LineScan
{
    bool known = false;
    bool pendingCR = false;
    LineEndStyle style = LineEndStyle::CRLF;
    qint64 longest = 0;
    qint64 current = 0;

    void add(const char *data, qsizetype size)
    {
        if (!known && pendingCR && size > 0) {
            style = data[0] == '\n' ? LineEndStyle::CRLF : LineEndStyle::CR;
            known = true;
        }
        for (qsizetype start = 0; start < size;) {
            const char *nl = static_cast<const char *>(memchr(data + start, '\n', size - start));
            const qsizetype end = nl ? nl - data : size;
            current += end - start;
            if (nl) {
                longest = qMax(longest, current);
                current = 0;
            }
            start = end + 1;
        }
        if (!known) {
            for (qsizetype i = 0; i < size; ++i) {
                if (data[i] == '\n') {
                    style = LineEndStyle::LF;
                    known = true;
                    break;
                }
                if (data[i] == '\r') {
                    if (i + 1 == size) {
                        pendingCR = true;
                        break;
                    }
                    style = data[i + 1] == '\n' ? LineEndStyle::CRLF : LineEndStyle::CR;
                    known = true;
                    break;
                }
            }
        }
    }
    void finish()
    {
        longest = qMax(longest, current);
        if (!known && pendingCR)
            style = LineEndStyle::CR;
    }
};

} // namespace

void TMemoSource::appendLoaded(const char *data, qsizetype size)
{
    // The event loop may have moved the document to another widget since
    // the last piece: the widget's change reports go off for each piece.
    // Read-only between pieces: nothing but the load writes to it meanwhile.
    ScintillaWidget *w = editor();
    const long mask = w->call(QsciScintillaBase::SCI_GETMODEVENTMASK);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 0);
    w->call(QsciScintillaBase::SCI_APPENDTEXT, size, data);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 1);
    w->call(QsciScintillaBase::SCI_SETMODEVENTMASK, mask);
}

bool TMemoSource::loadFromFile(const QString &path, QString *error, const LoadProgress &progress)
{
    if (!isReadableRegularFile(path, -1, error))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 total = file.size();

    ScintillaWidget *w = editor();
    const bool wasReadOnly = startBulkLoad(w, total);
    w->call(QsciScintillaBase::SCI_SETREADONLY, 1);

    TextFileFormat format;
    LineScan lines;
    ContentHasher hasher;
    qint64 loadedBytes = 0;  // as read, so the hash and the size agree
    QByteArray piece(qMin<qint64>(LoadPieceBytes, qMax<qint64>(total, 1)) + 4, Qt::Uninitialized);
    bool readFault = false;
    // UTF-8 first; a byte that is not UTF-8 starts the load again as Windows-1252.
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Windows1252}) {
        format = TextFileFormat{};
        format.encoding = encoding;
        lines = LineScan{};
        hasher = ContentHasher{};
        loadedBytes = 0;
        if (encoding == TextEncoding::Windows1252) {
            ScintillaWidget *again = editor();
            again->call(QsciScintillaBase::SCI_SETREADONLY, 0);
            again->call(QsciScintillaBase::SCI_CLEARALL);
            again->call(QsciScintillaBase::SCI_SETREADONLY, 1);
            file.seek(0);
        }
        qint64 done = 0;
        qsizetype carried = 0;  // the start of a sequence the next piece completes
        bool valid = true;
        bool first = true;
        while (valid) {
            const qint64 n = file.read(piece.data() + carried, piece.size() - carried);
            if (n < 0) {
                readFault = true;
                break;
            }
            if (n == 0) {
                valid = carried == 0;
                break;
            }
            done += n;
            hasher.add(QByteArrayView(piece.constData() + carried, n));
            loadedBytes = done;
            const qsizetype size = carried + n;
            if (encoding == TextEncoding::Utf8) {
                qsizetype from = 0;
                if (first && size >= 3 && memcmp(piece.constData(), "\xEF\xBB\xBF", 3) == 0) {
                    format.byteOrderMark = true;
                    from = 3;
                }
                const qsizetype whole = wholeUtf8Prefix(piece.constData() + from, size - from) + from;
                if (!isValidUtf8(piece.constData() + from, whole - from)) {
                    valid = false;
                    break;
                }
                lines.add(piece.constData() + from, whole - from);
                appendLoaded(piece.constData() + from, whole - from);
                carried = size - whole;
                memmove(piece.data(), piece.constData() + whole, carried);
            } else {
                const QByteArray utf8 = decodeWindows1252(QByteArray::fromRawData(piece.constData(), n)).toUtf8();
                lines.add(utf8.constData(), utf8.size());
                appendLoaded(utf8.constData(), utf8.size());
            }
            first = false;
            if (progress && done < total)
                progress(done, total);
        }
        if (valid || readFault)
            break;
    }

    w = editor();
    w->call(QsciScintillaBase::SCI_SETREADONLY, 0);
    w->call(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
    w->call(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    if (readFault) {
        w->call(QsciScintillaBase::SCI_CLEARALL);
        w->call(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        w->call(QsciScintillaBase::SCI_SETREADONLY, wasReadOnly);
        if (error)
            *error = QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString());
        return false;
    }
    lines.finish();
    setLastFileIo({path, loadedBytes, hasher.result()});
    format.lineEnds = lines.style;
    setFileFormat(format);
    m_longestLoadedLine = lines.longest;
    finishBulkLoad(w, wasReadOnly, [&] {
        applyEolMode(w);
        m_forcedModified = false;
        emitModifiedIfChanged();
    });
    return true;
}

bool TMemoSource::reloadFromFile(const QString &path, QString *error)
{
    const SelectionRect selection = selectionRect();
    const CaretPoint caret = caretPoint();
    ScintillaWidget *w = editor();
    const long firstVisible = w->call(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long xOffset = w->call(QsciScintillaBase::SCI_GETXOFFSET);
    if (!loadFromFile(path, error))
        return false;
    if (selection.isEmpty() || !(selection.end == caret || selection.start == caret))
        setCaretPoint(caret);
    else if (selection.end == caret)
        setSelection(selection);
    else
        setSelection({selection.end, selection.start});
    w = editor();
    w->call(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstVisible);
    w->call(QsciScintillaBase::SCI_SETXOFFSET, xOffset);
    if (!m_view) {
        // Kept for when a view shows the buffer again.
        m_firstVisibleLine = firstVisible;
        m_xOffset = xOffset;
    }
    return true;
}

bool TMemoSource::saveToFile(const QString &path, QString *error)
{
    ScintillaWidget *w = editor();
    const long length = w->call(QsciScintillaBase::SCI_GETLENGTH);
    const char *data = reinterpret_cast<const char *>(
        w->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    TextFileFormat format = fileFormat();
    bool ok;
    if (format.encoding == TextEncoding::Windows1252) {
        QByteArray encoded = encodeTextFile(decodeUtf8(QByteArrayView(data, length)), &format);
        ok = writeFileAtomically(path, encoded, error, m_replaceGuard, &m_guardRefused);
        if (ok)
            setLastFileIo({path, encoded.size(), contentHash(encoded)});
    } else {
        // A U+FEFF that begins the text would read back as a mark and be
        // dropped: a mark goes before it so the character stays.
        if (QByteArrayView(data, length).startsWith("\xEF\xBB\xBF"))
            format.byteOrderMark = true;
        const QByteArrayView bom = format.byteOrderMark ? QByteArrayView("\xEF\xBB\xBF", 3) : QByteArrayView();
        ok = writeFileAtomically(path, {bom, QByteArrayView(data, length)}, error, m_replaceGuard, &m_guardRefused);
        if (ok)
            setLastFileIo({path, bom.size() + length, contentHash({bom, QByteArrayView(data, length)})});
    }
    if (ok)
        setFileFormat(format);
    return ok;
}

} // namespace Quorvant
