#include "singleinstance.h"

#include "busnames.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QPointer>
#include <QTimer>

namespace Quorvant {

InstanceService::InstanceService(BusObject *parent, std::function<void(const QStringList &)> open)
    : QDBusAbstractAdaptor(parent)
    , m_open(std::move(open))
{
}

void InstanceService::Activate(const QStringList &files)
{
    // The reply goes out first, so the caller ends even if opening the files
    // shows a box or takes long.
    QTimer::singleShot(0, this, [this, files] { openWhenFree(files); });
}

void InstanceService::openWhenFree(const QStringList &files)
{
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(200, this, [this, files] { openWhenFree(files); });
        return;
    }
    if (m_open)
        m_open(files);
}

SingleInstance::SingleInstance(const QString &dataFolder)
    : m_service(Bus::serviceName(dataFolder))
{
}

SingleInstance::~SingleInstance()
{
    release();
}

SingleInstance::Role SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        m_problem = QStringLiteral("there is no session bus");
        return m_role = Role::Alone;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(m_service, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return m_role = Role::First;
    if (reply.isValid()) {
        m_problem = QStringLiteral("another instance owns %1").arg(m_service);
        return m_role = Role::Second;
    }
    m_problem = reply.error().message();
    return m_role = Role::Alone;
}

bool SingleInstance::handOver(const QStringList &files, QString *error, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_service, QLatin1String(Bus::ObjectPath),
                                                       QLatin1String(Bus::InstanceInterface), QStringLiteral("Activate"));
    call << files;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (error)
        *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    m_problem = QStringLiteral("the instance that owns %1 did not answer").arg(m_service);
    m_role = Role::Alone;
    return false;
}

bool SingleInstance::publish(std::function<void(const QStringList &)> open)
{
    if (m_role != Role::First || m_published)
        return false;
    new InstanceService(&m_object, std::move(open));
    m_published = QDBusConnection::sessionBus().registerObject(QLatin1String(Bus::ObjectPath), &m_object,
                                                               QDBusConnection::ExportAdaptors);
    return m_published;
}

void SingleInstance::release()
{
    if (m_role != Role::First)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (m_published)
        bus.unregisterObject(QLatin1String(Bus::ObjectPath));
    m_published = false;
    // A blocking call to the bus: messages sent before it (a last reply) are
    // written by the time it returns.
    if (bus.interface())
        bus.interface()->unregisterService(m_service);
    m_role = Role::Alone;
}

} // namespace Quorvant
