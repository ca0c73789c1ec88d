#include "taginsight.h"

#include "scintillawidget.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace Quorvant {

TTagInsight::TTagInsight(QWidget *parent, ScintillaWidget *editor, const TTagDatabase *database)
    : QFrame(parent), m_editor(editor), m_database(database)
{
    setObjectName(QStringLiteral("InsightForm"));
    setFrameShape(QFrame::Box);
    setFixedSize(200, 80);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("InsightView"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    m_view->setFont(f);
    layout->addWidget(m_view);
    m_view->installEventFilter(this);
    connect(m_view, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { choose(item->text()); });
    hide();
}

void TTagInsight::ViewTagInsight()
{
    if (isVisible() || !m_database || !m_database->isActive() || !currentBuffer)
        return;
    ITextBuffer *buffer = currentBuffer();
    if (!buffer)
        return;
    m_list = m_database->InsightFor(buffer);
    if (m_list.Entries.isEmpty())
        return;
    m_view->clear();
    m_view->addItems(m_list.Entries);
    placeBesideCaret();
    raise();
    show();
    // Typing goes on in the editor; Up or Down moves into the list.
    if (m_editor)
        m_editor->setFocus();
}

bool TTagInsight::InsightViewSetFocus(bool B)
{
    if (!isVisible())
        return false;
    if (B) {
        m_view->setFocus();
        if (m_view->count() > 0)
            m_view->setCurrentRow(0);
    } else {
        hide();
        m_list.ShowAllTags = false;
        if (m_editor)
            m_editor->setFocus();
    }
    return true;
}

void TTagInsight::choose(const QString &entry)
{
    const TInsightList list = m_list;
    InsightViewSetFocus(false);
    if (ITextBuffer *buffer = currentBuffer ? currentBuffer() : nullptr)
        m_database->InsertInsightEntry(buffer, list, entry);
}

bool TTagInsight::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (QListWidgetItem *item = m_view->currentItem())
                choose(item->text());
            return true;
        case Qt::Key_Escape:
            InsightViewSetFocus(false);
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TTagInsight::placeBesideCaret()
{
    QWidget *host = parentWidget();
    if (!m_editor || !host)
        return;
    const long pos = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int x = int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos));
    const int y = int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos));
    const long line = m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
    const int lineHeight = int(m_editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));

    QWidget *viewport = m_editor->viewport();
    const QRect editorRect(viewport->mapTo(host, QPoint(0, 0)), viewport->size());
    QPoint at = viewport->mapTo(host, QPoint(x + 32, y + lineHeight));
    if (at.x() + width() > editorRect.right())
        at.rx() -= width();
    if (at.y() + height() > editorRect.bottom())
        at.ry() -= height() + lineHeight + 1;
    at.setX(qMax(0, at.x()));
    at.setY(qMax(0, at.y()));
    move(at);
}

} // namespace Quorvant
