// Tag Insight, tag completion and the Tag Inspector grid.
#include "installtags.h"

#include "mainwindow.h"

#include "datafolder.h"
#include "documentset.h"
#include "lazypage.h"
#include "scintillawidget.h"
#include "syntaxparsers.h"
#include "taginsight.h"
#include "taginspector.h"
#include "tdcmemo.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace Quorvant {

namespace {

// gTagInspector: the tag database with the Insight list and the grid that
// show it. Without both data files it holds an inactive database only.
class TTagInsightHost : public QObject
{
public:
    explicit TTagInsightHost(QObject *parent) : QObject(parent)
    {
        setObjectName(QStringLiteral("gTagInspector"));
    }
    TTagDatabase database;
    TTagInsight *insight = nullptr;
    TTagInspector *inspector = nullptr;
    // The end tag completion just added after the caret, and where: typing
    // that same end tag then moves over it instead of writing it twice.
    QPointer<ITextBuffer> completedIn;
    QString completedTag;
    QString completedRest;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The sidebar goes away (full-screen mode, the view option): the
        // cell editors must not come back with it.
        if (event->type() == QEvent::Hide && inspector)
            inspector->TurnAllControlsOff();
        return QObject::eventFilter(watched, event);
    }
};

TTagInsightHost *hostOf(const QObject *form)
{
    return form->findChild<TTagInsightHost *>(QStringLiteral("gTagInspector"), Qt::FindDirectChildrenOnly);
}

} // namespace

void installTagInsight(TForm1 &form)
{
    auto *host = new TTagInsightHost(&form);
    QWidget *page = form.sidebar()->findChild<QWidget *>(QStringLiteral("TagInspectorPage"));
    if (!page || !form.DCMemo1())
        return;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto *loading = new QLabel(QStringLiteral("Loading..."), page);
    pageLayout->addWidget(loading);
    const bool active = host->database.Load(DataFolder::file(QStringLiteral("TagInfo.Dat")),
                                            DataFolder::file(QStringLiteral("TagData.Dat")));
    delete loading;
    if (!active)
        return;
    // Everything Tag Insight knows is coloured as known HTML.
    setKnownHtmlNames(host->database.AllNames());

    auto buffer = [&form]() -> ITextBuffer * { return form.documents()->currentBuffer(); };
    ScintillaWidget *editor = form.DCMemo1()->widget();
    host->insight = new TTagInsight(&form, editor, &host->database);
    host->insight->currentBuffer = buffer;
    // The grid is made when its page is first shown, and shows the tag at
    // the caret at that moment.
    buildOnFirstShow(page, [&form, host, page, buffer] {
        host->inspector = new TTagInspector(page, &host->database);
        host->inspector->currentBuffer = buffer;
        page->layout()->addWidget(host->inspector);
        QObject::connect(form.sidebar(), &QTabWidget::currentChanged, host->inspector, &TTagInspector::TurnAllControlsOff);
        if (auto *splitter = qobject_cast<QSplitter *>(form.sidebar()->parentWidget()))
            QObject::connect(splitter, &QSplitter::splitterMoved, host->inspector, &TTagInspector::TurnAllControlsOff);
        host->inspector->RunTagInspector();
    });
    auto runInspector = [host] {
        if (host->inspector)
            host->inspector->RunTagInspector();
    };

    TTagInsight *insight = host->insight;

    // Up and Down move into a shown list; Escape and Space hide it (the
    // space is still typed). The keys the editor already intercepts stay.
    auto previous = editor->keyInterceptor;
    editor->keyInterceptor = [insight, previous, host, &form](QKeyEvent *e) {
        const QString typed = e->text();
        if (host->completedIn && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            ITextBuffer *b = host->completedIn;
            const QString &rest = host->completedRest;
            const CaretPoint caret = b->caretPoint();
            const bool over = typed.size() == 1 && b == form.documents()->currentBuffer() && !b->hasSelection()
                && !rest.isEmpty() && typed.at(0).toLower() == rest.at(0).toLower()
                && b->line(caret.y).mid(caret.x).startsWith(rest, Qt::CaseInsensitive);
            if (over) {
                host->completedRest.remove(0, 1);
                b->setCaretPoint({caret.x + 1, caret.y});
                if (host->completedRest.isEmpty())
                    host->completedIn = nullptr;
                return true;
            }
            // Text typed before the end tag keeps it waiting; a key that
            // moves the caret, or a half-typed end tag gone astray, ends it.
            const int key = e->key();
            const bool modifierOnly = typed.isEmpty()
                && (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
                    || key == Qt::Key_CapsLock);
            const bool content = typed.size() == 1 && typed.at(0).isPrint() && rest.size() == host->completedTag.size();
            if (!modifierOnly && !content)
                host->completedIn = nullptr;
        }
        if (insight->isShown()) {
            const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
            if (plain && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)) {
                insight->InsightViewSetFocus(true);
                return true;
            }
            if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Space)
                insight->InsightViewSetFocus(false);
        }
        return previous ? previous(e) : false;
    };
    // Completion follows the typed '>' whatever key produced it.
    QObject::connect(form.DCMemo1(), &IEditorView::keyPress, &form, [&form, insight, host](QChar c) {
        if (c != u'=' && c != u'>')
            return;
        insight->InsightViewSetFocus(false);
        if (c == u'>' && form.tagCompletionEnabled()) {
            ITextBuffer *b = form.documents()->currentBuffer();
            const QString endTag = host->database.RunTagCompletion(b);
            host->completedIn = endTag.isEmpty() ? nullptr : b;
            host->completedTag = endTag;
            host->completedRest = endTag;
        }
    });
    QObject::connect(form.DCMemo1(), &IEditorView::keyUp, host, runInspector);
    QObject::connect(form.DCMemo1(), &IEditorView::clicked, host, [insight, runInspector] {
        insight->InsightViewSetFocus(false);
        runInspector();
    });
    // Another document: the grid follows it, so it never writes a tag
    // shown for one document into another.
    QObject::connect(form.documents(), &TDocumentSet::currentDocumentChanged, host, [insight, runInspector] {
        insight->InsightViewSetFocus(false);
        runInspector();
    });
    form.sidebar()->installEventFilter(host);
}

void runTagInsight(TForm1 &form)
{
    TTagInsightHost *host = hostOf(&form);
    if (!host || !host->insight)
        return;
    // Only the list: the grid keeps what the last key release showed.
    host->insight->ViewTagInsight();
}

} // namespace Quorvant
