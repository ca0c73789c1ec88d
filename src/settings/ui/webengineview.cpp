#include "webengineview.h"

#include <QAction>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace Quorvant {

namespace {

// Asks the page's rule before the main frame goes anywhere.
class GuardedPage : public QWebEnginePage
{
public:
    GuardedPage(std::function<bool(const QUrl &)> accept, QObject *parent)
        : QWebEnginePage(parent)
        , m_accept(std::move(accept))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        return !isMainFrame || m_accept(url);
    }

private:
    std::function<bool(const QUrl &)> m_accept;
};

} // namespace

WebEngineView::WebEngineView(QWidget *parent, const QString &objectName, BrowserViewEvents events)
    : QObject(nullptr)
    , m_view(new QWebEngineView(parent))
    , m_events(std::move(events))
{
    // The adapter goes with its widget.
    setParent(m_view);
    m_view->setObjectName(objectName);
    if (m_events.acceptNavigation)
        m_view->setPage(new GuardedPage(m_events.acceptNavigation, m_view));
    if (m_events.historyChanged) {
        const auto changed = [this] { m_events.historyChanged(); };
        connect(m_view->pageAction(QWebEnginePage::Back), &QAction::changed, this, changed);
        connect(m_view->pageAction(QWebEnginePage::Forward), &QAction::changed, this, changed);
    }
    if (m_events.titleChanged)
        connect(m_view, &QWebEngineView::titleChanged, this, [this](const QString &t) { m_events.titleChanged(t); });
    if (m_events.linkHovered)
        connect(m_view->page(), &QWebEnginePage::linkHovered, this, [this](const QString &l) { m_events.linkHovered(l); });
    if (m_events.loadStarted)
        connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_events.loadStarted(); });
    if (m_events.loadFinished)
        connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) { m_events.loadFinished(ok); });
}

QWidget *WebEngineView::widget() const
{
    return m_view;
}

void WebEngineView::load(const QUrl &url)
{
    m_view->load(url);
}

void WebEngineView::back()
{
    m_view->back();
}

void WebEngineView::forward()
{
    m_view->forward();
}

void WebEngineView::reload()
{
    m_view->reload();
}

void WebEngineView::stop()
{
    m_view->stop();
}

QUrl WebEngineView::url() const
{
    return m_view->url();
}

void WebEngineView::reloadKeepingScroll()
{
    const QPointF scroll = m_view->page()->scrollPosition();
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(m_view, &QWebEngineView::loadFinished, this, [this, scroll, once](bool ok) {
        disconnect(*once);
        if (ok)
            m_view->page()->runJavaScript(
                QStringLiteral("window.scrollTo(%1, %2);").arg(scroll.x()).arg(scroll.y()));
    });
    m_view->reload();
}

bool WebEngineView::canGoBack() const
{
    return m_view->history()->canGoBack();
}

bool WebEngineView::canGoForward() const
{
    return m_view->history()->canGoForward();
}

} // namespace Quorvant
