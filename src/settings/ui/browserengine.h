// The embedded browser as the windows see it. The engine behind it is a
// module of its own, loaded the first time a browser is shown, so that a
// start without a browser never loads the engine's libraries.
#pragma once

#include <QString>
#include <QUrl>
#include <QtPlugin>

#include <functional>

class QWidget;

namespace Quorvant {

// What a view reports back to its page; any of them may be left empty.
struct BrowserViewEvents
{
    std::function<void(const QString &)> titleChanged;
    std::function<void(const QString &)> linkHovered;
    std::function<void()> loadStarted;
    std::function<void(bool ok)> loadFinished;
    std::function<void()> historyChanged;
    // Asked before the main frame goes to another address; false refuses it.
    std::function<bool(const QUrl &)> acceptNavigation;
};

// One browser view. It lives as long as its widget.
class IBrowserView
{
public:
    virtual ~IBrowserView() = default;
    virtual QWidget *widget() const = 0;
    virtual void load(const QUrl &url) = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;
    // The address shown (or being loaded).
    virtual QUrl url() const = 0;
    // Loads the page again and puts it back at the scroll position it had.
    virtual void reloadKeepingScroll() = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
};

class IBrowserEngine
{
public:
    virtual ~IBrowserEngine() = default;
    // A new view, a child of parent, its widget named objectName.
    virtual IBrowserView *createView(QWidget *parent, const QString &objectName, BrowserViewEvents events) = 0;
};

} // namespace Quorvant

#define QuorvantBrowserEngine_iid "org.quorvant.BrowserEngine/2"
Q_DECLARE_INTERFACE(Quorvant::IBrowserEngine, QuorvantBrowserEngine_iid)
