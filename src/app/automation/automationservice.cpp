#include "automationservice.h"

#include "busnames.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QTimer>

namespace Quorvant {

namespace {

// Counts the calls in progress for the length of one call.
class Running
{
public:
    explicit Running(int &count) : m_count(count) { ++m_count; }
    ~Running() { --m_count; }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    int &m_count;
};

QString errorName(const QString &reason)
{
    return QLatin1String(Bus::ErrorPrefix) + reason;
}

} // namespace

AutomationService::AutomationService(TApplicationShell *shell, BusObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_bus(parent)
    , m_driver(shell)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

template <typename T>
bool AutomationService::failed(const AutomationResult<T> &result)
{
    if (result.ok())
        return false;
    m_bus->context()->sendErrorReply(errorName(result.error), result.message);
    return true;
}

bool AutomationService::refusedWhileBusy()
{
    if (m_running == 0 || AutomationDriver::blockingWindow())
        return false;
    m_bus->context()->sendErrorReply(errorName(QStringLiteral("Busy")),
                                     QStringLiteral("Another call is still running; try again when it has answered."));
    return true;
}

void AutomationService::Trigger(const QString &objectName)
{
    if (refusedWhileBusy())
        return;
    QDBusContext *context = m_bus->context();
    const QDBusMessage call = context->message();
    QDBusConnection connection = context->connection();
    context->setDelayedReply(true);
    bool replied = false;
    // A command that opens a modal dialog runs its event loop inside this
    // call: the caller is answered from that loop instead of waiting for it.
    QTimer watch;
    watch.setInterval(50);
    connect(&watch, &QTimer::timeout, this, [&] {
        if (!replied && AutomationDriver::blockingWindow()) {
            replied = true;
            watch.stop();
            connection.send(call.createReply());
        }
    });
    watch.start();
    AutomationResult<Done> result;
    {
        Running running(m_running);
        result = m_driver.trigger(objectName);
    }
    watch.stop();
    if (replied)
        return;
    connection.send(result.ok() ? call.createReply() : call.createErrorReply(errorName(result.error), result.message));
}

QStringList AutomationService::Commands()
{
    return m_driver.commands();
}

QString AutomationService::DocumentText()
{
    const AutomationResult<QString> r = m_driver.documentText();
    return failed(r) ? QString() : r.value;
}

void AutomationService::SetDocumentText(const QString &text)
{
    if (refusedWhileBusy())
        return;
    Running running(m_running);
    failed(m_driver.setDocumentText(text));
}

void AutomationService::CaretPoint(int &x, int &y)
{
    const AutomationResult<Quorvant::CaretPoint> r = m_driver.caretPoint();
    if (failed(r))
        return;
    x = r.value.x;
    y = r.value.y;
}

void AutomationService::SetCaretPoint(int x, int y)
{
    if (refusedWhileBusy())
        return;
    Running running(m_running);
    failed(m_driver.setCaretPoint(x, y));
}

void AutomationService::Select(int x1, int y1, int x2, int y2)
{
    if (refusedWhileBusy())
        return;
    Running running(m_running);
    failed(m_driver.select(x1, y1, x2, y2));
}

QString AutomationService::SelectedText()
{
    const AutomationResult<QString> r = m_driver.selectedText();
    return failed(r) ? QString() : r.value;
}

void AutomationService::TypeText(const QString &text)
{
    if (refusedWhileBusy())
        return;
    Running running(m_running);
    failed(m_driver.typeText(text));
}

int AutomationService::DocumentCount()
{
    return m_driver.documentCount();
}

QString AutomationService::CurrentFileName()
{
    return m_driver.currentFileName();
}

bool AutomationService::IsModified()
{
    return m_driver.isModified();
}

void AutomationService::OpenFile(const QString &path)
{
    if (refusedWhileBusy())
        return;
    Running running(m_running);
    failed(m_driver.openFile(path));
}

QString AutomationService::ActivePage()
{
    return m_driver.activePage();
}

void AutomationService::QueueAnswers(const QStringList &answers)
{
    failed(AutomationDriver::queueAnswers(answers));
}

QList<QVariantMap> AutomationService::TakeMessages()
{
    return AutomationDriver::takeMessages();
}

QStringList AutomationService::WindowTitles()
{
    return AutomationDriver::windowTitles();
}

} // namespace Quorvant
