// A page holding an embedded web browser, created the first time the page is
// shown so that start-up never waits for the browser engine.
#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace Quorvant {

class TBrowserPage : public QWidget
{
    Q_OBJECT
public:
    explicit TBrowserPage(QWidget *parent = nullptr);

    // Shows url now if the browser exists, else as soon as it is created.
    void navigate(const QUrl &url);
    QUrl url() const { return m_url; }
    // The browser, or nullptr before the page was first shown.
    QWebEngineView *browser() const { return m_view; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createBrowser();

    QWebEngineView *m_view = nullptr;
    QUrl m_url;
};

} // namespace Quorvant
