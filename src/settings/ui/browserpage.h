// A page of the main window holding an embedded web browser, created the
// first time the page is shown so that start-up never waits for the engine.
// The preview page adds a title, a status line and fixed resolutions; the
// documentation page its navigation buttons; the sidebar's tag list page
// sends every link it follows elsewhere.
#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QLabel;
class QMenu;
class QScrollArea;
class QStatusBar;
class QToolButton;

namespace Quorvant {

class IBrowserView;

class TBrowserPage : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Preview, Documentation, TagList };
    TBrowserPage(Kind kind, const QString &namePrefix, QWidget *parent = nullptr);

    // Shows url now if the browser exists, else as soon as it is created.
    void navigate(const QUrl &url);
    // Shows url again at the same scroll position when it is the page shown
    // (a page being followed as it changes); otherwise as navigate().
    void showAgainKeepingScroll(const QUrl &url);
    // Adds a control at the end of the page's button row.
    void addToBar(QWidget *widget);
    QUrl url() const { return m_url; }
    // The browser's widget (a QWebEngineView), or nullptr before the page
    // was first shown or when the engine could not be loaded.
    QWidget *browser() const { return m_view; }
    void createBrowser();
    // Why there is no browser after createBrowser(), or empty.
    QString browserError() const { return m_error; }

    void back();
    void forward();
    void refresh();
    void stop();

    // Preview resolutions: 0 is "Automatic", else a fixed size.
    static const QList<QSize> &resolutions();
    void setResolution(int index);
    int resolution() const { return m_resolution; }
    QMenu *resolutionMenu() const { return m_resolutionMenu; }
    QLabel *titleLabel() const { return m_title; }
    QStatusBar *statusBar() const { return m_status; }
    QToolButton *fullScreenButton() const { return m_fullScreen; }

    // The address a tag-list page lets through; every other one is redirected.
    void setHomePage(const QUrl &url) { m_home = url; }

Q_SIGNALS:
    void fullScreenClicked();
    // A tag-list page refused a navigation: show it elsewhere.
    void redirected(const QUrl &url);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QToolButton *addButton(const QString &name, const QString &text, const QString &hint);
    void updateHistoryButtons();
    void placeBrowser();

    Kind m_kind;
    QString m_prefix;
    QPointer<QWidget> m_view;
    IBrowserView *m_engineView = nullptr;
    QLabel *m_failure = nullptr;
    QString m_error;
    QWidget *m_holder = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_title = nullptr;
    QStatusBar *m_status = nullptr;
    QWidget *m_bar = nullptr;
    QToolButton *m_backGreen = nullptr;
    QToolButton *m_backGrey = nullptr;
    QToolButton *m_forwardGreen = nullptr;
    QToolButton *m_forwardGrey = nullptr;
    QToolButton *m_fullScreen = nullptr;
    QMenu *m_resolutionMenu = nullptr;
    int m_resolution = 0;
    QUrl m_url;
    QUrl m_home;
};

} // namespace Quorvant
