// One QWebEngineView behind the IBrowserView interface; it reports its
// title, links, loads and history through the page's callbacks.
#pragma once

#include "browserengine.h"

#include <QObject>

class QWebEngineView;

namespace Quorvant {

class WebEngineView : public QObject, public IBrowserView
{
    Q_OBJECT
public:
    WebEngineView(QWidget *parent, const QString &objectName, BrowserViewEvents events);

    QWidget *widget() const override;
    void load(const QUrl &url) override;
    void back() override;
    void forward() override;
    void reload() override;
    void stop() override;
    QUrl url() const override;
    void reloadKeepingScroll() override;
    bool canGoBack() const override;
    bool canGoForward() const override;

private:
    QWebEngineView *m_view;
    BrowserViewEvents m_events;
};

} // namespace Quorvant
