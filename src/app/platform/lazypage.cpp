#include "lazypage.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QToolBar>
#include <QWidget>

#include <vector>

namespace Quorvant {

namespace {

const char BuilderName[] = "quorvant_lazy_page_builder";

// Lives as a child of its page and holds the builds waiting for its first showing.
class LazyPageBuilder : public QObject
{
public:
    explicit LazyPageBuilder(QWidget *page)
        : QObject(page)
        , m_page(page)
    {
        setObjectName(QLatin1String(BuilderName));
        page->installEventFilter(this);
    }

    void add(std::function<void()> build) { m_pending.push_back(std::move(build)); }
    bool pending() const { return !m_pending.empty(); }

    void run()
    {
        // A build may add another for the same page: that one runs too.
        while (!m_pending.empty()) {
            std::vector<std::function<void()>> builds;
            builds.swap(m_pending);
            for (const auto &build : builds)
                build();
        }
        if (!m_page->isVisible())
            return;
        // Widgets made inside a page that is already shown stay hidden unless
        // shown, and are laid out now so the first paint has them in place.
        for (QObject *child : m_page->children()) {
            auto *w = qobject_cast<QWidget *>(child);
            if (w && !w->isWindow() && w->isHidden() && !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
                w->show();
        }
        if (QLayout *layout = m_page->layout())
            layout->activate();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_page && event->type() == QEvent::Show && pending())
            run();
        return false;
    }

private:
    QWidget *m_page;
    std::vector<std::function<void()>> m_pending;
};

LazyPageBuilder *builderOf(const QWidget *page)
{
    return dynamic_cast<LazyPageBuilder *>(
        page->findChild<QObject *>(QLatin1String(BuilderName), Qt::FindDirectChildrenOnly));
}

} // namespace

bool shownWithWindow(const QWidget *w)
{
    for (; w && !w->isWindow(); w = w->parentWidget()) {
        if (!w->isHidden())
            continue;
        // Hidden only because it was never shown: it shows with its parent.
        if (!w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            continue;
        const auto *bar = qobject_cast<const QToolBar *>(w->parentWidget());
        if (!bar)
            return false;
        const QAction *action = nullptr;
        for (QAction *a : bar->actions()) {
            if (bar->widgetForAction(a) == w)
                action = a;
        }
        if (!action || !action->isVisible())
            return false;
    }
    return true;
}

void buildOnFirstShow(QWidget *page, std::function<void()> build)
{
    if (!page || !build)
        return;
    LazyPageBuilder *builder = builderOf(page);
    if (!builder)
        builder = new LazyPageBuilder(page);
    builder->add(std::move(build));
    if (page->isVisible() || shownWithWindow(page))
        builder->run();
}

void ensureBuilt(QWidget *page)
{
    if (LazyPageBuilder *builder = page ? builderOf(page) : nullptr)
        builder->run();
}

void ensureBuiltBelow(QWidget *root)
{
    if (!root)
        return;
    // A build may make pages with builds of their own: look again until none waits.
    for (bool ran = true; ran;) {
        ran = false;
        const QList<QObject *> builders = root->findChildren<QObject *>(QLatin1String(BuilderName));
        for (QObject *o : builders) {
            auto *builder = dynamic_cast<LazyPageBuilder *>(o);
            if (builder && builder->pending()) {
                builder->run();
                ran = true;
            }
        }
    }
}

bool isBuilt(const QWidget *page)
{
    const LazyPageBuilder *builder = page ? builderOf(page) : nullptr;
    return !builder || !builder->pending();
}

} // namespace Quorvant
