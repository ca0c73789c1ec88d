#include "tscriptpreview.h"

#include <QVBoxLayout>
#include <QWebEngineView>

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
    if (m_view)
        m_view->load(url);
}

void TScriptPreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_view)
        return;
    m_view = new QWebEngineView(this);
    m_view->setObjectName(m_name);
    layout()->addWidget(m_view);
    if (m_url.isValid())
        m_view->load(m_url);
}

} // namespace Quorvant
