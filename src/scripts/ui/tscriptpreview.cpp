#include "tscriptpreview.h"

#include "browserengine.h"
#include "browserengineloader.h"

#include <QLabel>
#include <QPointer>
#include <QChildEvent>
#include <QVBoxLayout>

namespace Quorvant {

TScriptPreview::TScriptPreview(const QString &browserName, QWidget *parent)
    : QWidget(parent)
    , m_name(browserName)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setMinimumSize(320, 200);
}

void TScriptPreview::navigate(const QUrl &url)
{
    m_url = url;
    m_title.clear();
    if (m_view)
        m_view->load(url);
}

void TScriptPreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_tried)
        return;
    m_tried = true;
    QString error;
    IBrowserEngine *engine = TBrowserEngineLoader::engine(&error);
    if (!engine) {
        layout()->addWidget(TBrowserEngineLoader::failureLabel(error, this));
        return;
    }
    BrowserViewEvents events;
    QPointer<TScriptPreview> self(this);
    events.titleChanged = [self](const QString &title) {
        if (self)
            self->m_title = title;
    };
    m_view = engine->createView(this, m_name, std::move(events));
    // The page is a preview: a click reaches it, but Tab passes it by, so
    // keyboard users are not caught inside the page.
    m_view->widget()->setFocusPolicy(Qt::ClickFocus);
    m_view->widget()->installEventFilter(this);
    layout()->addWidget(m_view->widget());
    if (m_url.isValid())
        m_view->load(m_url);
}

bool TScriptPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            child->setFocusPolicy(Qt::ClickFocus);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Quorvant
