#include "installstores.h"

#include "datafolder.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "tbookingsystem.h"
#include "tprojectspage.h"
#include "treminders.h"
#include "treminderswindow.h"

#include <QEvent>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

// Watches the main window: its first showing shows the reminders, and its
// hiding after an accepted close rewrites them from the bookings.
class TStoresWatcher : public QObject
{
public:
    TStoresWatcher(TForm1 &form)
        : QObject(&form)
        , m_form(form)
    {
        setObjectName(QStringLiteral("StoresWatcher"));
        form.installEventFilter(this);
    }
    ~TStoresWatcher() override { delete m_reminders.data(); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &m_form)
            return false;
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            // After the window is up, so the reminders come in front of it.
            QTimer::singleShot(0, this, [this] {
                m_reminders = ShowAllReminders(DataFolder::path(), m_form.debugTarget(), m_form.StatusBar1());
            });
        } else if (event->type() == QEvent::Close) {
            m_closing = true;
        } else if (event->type() == QEvent::Hide && m_closing && !event->spontaneous()) {
            m_closing = false;
            rewriteReminders();
        }
        return false;
    }

    void rewriteReminders()
    {
        const DebugOut debug = m_form.debugTarget();
        TReminders(DataFolder::path(), debug).ClearAllReminders();
        TBookingSystem(DataFolder::path(), debug).MakeRemindersForBookedOutFiles();
    }

private:
    TForm1 &m_form;
    QPointer<TRemindersWindow> m_reminders;
    bool m_shown = false;
    bool m_closing = false;
};

} // namespace

void installStores(TForm1 &form)
{
    if (QWidget *page = form.sidebar() ? form.sidebar()->findChild<QWidget *>(QStringLiteral("ProjectsPage")) : nullptr) {
        buildOnFirstShow(page, [&form, page] {
            auto *layout = page->layout() ? page->layout() : new QVBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(new TProjectsPage(form, DataFolder::path(), page));
        });
    }
    new TStoresWatcher(form);
}

} // namespace Quorvant
