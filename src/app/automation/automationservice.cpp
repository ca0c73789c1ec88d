#include "automationservice.h"

#include "busnames.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QEventLoop>
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

QDBusArgument &operator<<(QDBusArgument &arg, const WidgetInfo &w)
{
    arg.beginStructure();
    arg << w.name << w.className << w.caption << w.flags;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, WidgetInfo &w)
{
    arg.beginStructure();
    arg >> w.name >> w.className >> w.caption >> w.flags;
    arg.endStructure();
    return arg;
}

QDBusArgument &operator<<(QDBusArgument &arg, const MenuItemInfo &m)
{
    arg.beginStructure();
    arg << m.caption << m.enabled << m.checked;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, MenuItemInfo &m)
{
    arg.beginStructure();
    arg >> m.caption >> m.enabled >> m.checked;
    arg.endStructure();
    return arg;
}

AutomationService::AutomationService(TApplicationShell *shell, BusObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_bus(parent)
    , m_driver(shell)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<WidgetInfo>();
    qDBusRegisterMetaType<QList<WidgetInfo>>();
    qDBusRegisterMetaType<MenuItemInfo>();
    qDBusRegisterMetaType<QList<MenuItemInfo>>();
    qDBusRegisterMetaType<QList<QStringList>>();
}

template <typename T>
bool AutomationService::failed(const AutomationResult<T> &result)
{
    if (result.ok())
        return false;
    m_bus->context()->sendErrorReply(errorName(result.error), result.message);
    return true;
}

bool AutomationService::refusedForNow()
{
    if (failed(m_driver.readyToAct()))
        return true;
    if (m_running == 0 || AutomationDriver::blockingWindow())
        return false;
    m_bus->context()->sendErrorReply(errorName(QStringLiteral("Busy")),
                                     QStringLiteral("Another call is still running; try again when it has answered."));
    return true;
}

void AutomationService::Trigger(const QString &objectName)
{
    act([&] { return m_driver.trigger(objectName); });
}

void AutomationService::act(const std::function<AutomationResult<Done>()> &run, bool menusAnswer)
{
    if (refusedForNow())
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
        QWidget *open = menusAnswer ? AutomationDriver::blockingWindow() : QApplication::activeModalWidget();
        if (!replied && open) {
            replied = true;
            watch.stop();
            connection.send(call.createReply());
        }
    });
    watch.start();
    AutomationResult<Done> result;
    {
        Running running(m_running);
        result = run();
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
    SetDocumentText(text, false);
}

void AutomationService::SetDocumentText(const QString &text, bool keepModified)
{
    if (refusedForNow())
        return;
    Running running(m_running);
    failed(m_driver.setDocumentText(text, keepModified));
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
    if (refusedForNow())
        return;
    Running running(m_running);
    failed(m_driver.setCaretPoint(x, y));
}

void AutomationService::Select(int x1, int y1, int x2, int y2)
{
    if (refusedForNow())
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
    if (refusedForNow())
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
    if (refusedForNow())
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
    QList<QVariantMap> out = m_kept + AutomationDriver::takeMessages();
    m_kept.clear();
    m_taken = true;
    return out;
}

void AutomationService::holdUntilTaken(int timeoutMs)
{
    m_kept += AutomationDriver::takeMessages();
    if (m_kept.isEmpty())
        return;
    m_taken = false;
    QEventLoop wait;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &wait, [&] {
        if (m_taken)
            wait.quit();
    });
    poll.start(20);
    QTimer::singleShot(timeoutMs, &wait, &QEventLoop::quit);
    wait.exec();
}

QStringList AutomationService::WindowTitles()
{
    return AutomationDriver::windowTitles();
}

QList<WidgetInfo> AutomationService::Widgets(const QString &root)
{
    const AutomationResult<QList<WidgetInfo>> r = WidgetDriver::widgets(root);
    return failed(r) ? QList<WidgetInfo>() : r.value;
}

QDBusVariant AutomationService::Property(const QString &objectName, const QString &name)
{
    const AutomationResult<QVariant> r = WidgetDriver::property(objectName, name);
    return QDBusVariant(failed(r) ? QVariant(QString()) : r.value);
}

QList<QStringList> AutomationService::Rows(const QString &objectName, int &current)
{
    const AutomationResult<RowsInfo> r = WidgetDriver::rows(objectName);
    current = -1;
    if (failed(r))
        return {};
    current = r.value.current;
    return r.value.rows;
}

QList<MenuItemInfo> AutomationService::MenuItems(const QString &objectName)
{
    const AutomationResult<QList<MenuItemInfo>> r = WidgetDriver::menuItems(objectName);
    return failed(r) ? QList<MenuItemInfo>() : r.value;
}

QStringList AutomationService::Tabs()
{
    const AutomationResult<QStringList> r = m_driver.tabs();
    return failed(r) ? QStringList() : r.value;
}

int AutomationService::CurrentTab()
{
    const AutomationResult<int> r = m_driver.currentTab();
    return failed(r) ? -1 : r.value;
}

QString AutomationService::StatusText()
{
    const AutomationResult<QString> r = m_driver.statusText();
    return failed(r) ? QString() : r.value;
}

QStringList AutomationService::DebugLines()
{
    const AutomationResult<QStringList> r = m_driver.debugLines();
    return failed(r) ? QStringList() : r.value;
}

QString AutomationService::SyntaxMode()
{
    const AutomationResult<QString> r = m_driver.syntaxMode();
    return failed(r) ? QString() : r.value;
}

void AutomationService::SetProperty(const QString &objectName, const QString &name, const QDBusVariant &value)
{
    const QVariant v = value.variant();
    act([&] { return WidgetDriver::setProperty(objectName, name, v); });
}

void AutomationService::SelectRow(const QString &objectName, int row)
{
    act([&] { return WidgetDriver::selectRow(objectName, row); });
}

void AutomationService::ActivateRow(const QString &objectName, int row)
{
    act([&] { return WidgetDriver::activateRow(objectName, row); });
}

void AutomationService::PopupMenu(const QString &objectName, const QStringList &captionPath)
{
    act([&] { return WidgetDriver::popupMenu(objectName, captionPath); }, false);
}

void AutomationService::SelectPage(const QString &objectName, int index)
{
    act([&] { return WidgetDriver::selectPage(objectName, index); });
}

void AutomationService::SelectTab(int index)
{
    act([&] { return m_driver.selectTab(index); });
}

void AutomationService::Click(int x, int y)
{
    act([&] { return m_driver.click(x, y); });
}

void AutomationService::Key(const QString &chord)
{
    act([&] { return WidgetDriver::key(chord); });
}

} // namespace Quorvant
