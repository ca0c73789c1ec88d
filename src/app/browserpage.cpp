#include "browserpage.h"

#include <QVBoxLayout>
#include <QWebEngineView>

namespace Quorvant {

TBrowserPage::TBrowserPage(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void TBrowserPage::navigate(const QUrl &url)
{
    m_url = url;
    if (m_view)
        m_view->load(url);
}

void TBrowserPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_view)
        createBrowser();
}

void TBrowserPage::createBrowser()
{
    m_view = new QWebEngineView(this);
    m_view->setObjectName(objectName() + QStringLiteral("Browser"));
    layout()->addWidget(m_view);
    if (m_url.isValid())
        m_view->load(m_url);
}

} // namespace Quorvant
