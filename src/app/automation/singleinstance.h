// One running Quorvant per data folder: the first start owns the data
// folder's name on the session bus; a later start hands its files to it and
// ends. Without a session bus every start is a first one.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

#include <functional>

namespace Quorvant {

// The object at /Quorvant. Its interfaces are adaptors, its children; it holds
// the call context they answer through.
class BusObject : public QObject, public QDBusContext
{
    Q_OBJECT
public:
    using QObject::QObject;
    // The context of the call being delivered (for the adaptors).
    QDBusContext *context() { return this; }
};

// org.quorvant.Instance: the hand-over of files from a later start.
class InstanceService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorvant.Instance")
public:
    InstanceService(BusObject *parent, std::function<void(const QStringList &)> open);

public Q_SLOTS:
    // Opens the files (absolute paths) and brings the window to the front.
    // Answers at once; the files open when no modal dialog is in the way.
    void Activate(const QStringList &files);

private:
    void openWhenFree(const QStringList &files);

    std::function<void(const QStringList &)> m_open;
};

class SingleInstance
{
public:
    enum class Role { First, Second, Alone };

    explicit SingleInstance(const QString &dataFolder);
    ~SingleInstance();

    // Claims the data folder's service name. Second when another instance
    // holds it; Alone when there is no session bus.
    Role claim();
    Role role() const { return m_role; }
    QString serviceName() const { return m_service; }
    // Why the bus is not ours (no bus, name taken), for messages.
    QString problem() const { return m_problem; }

    // Second: asks the running instance to open the files. On failure the
    // role becomes Alone.
    [[nodiscard]] bool handOver(const QStringList &files, QString *error, int timeoutMs = 15000);

    // The object at /Quorvant; further interfaces (automation) are adaptors
    // created as its children before publish().
    BusObject *busObject() { return &m_object; }
    // First: exports /Quorvant with the hand-over interface.
    bool publish(std::function<void(const QStringList &)> open);
    // Gives the name up; pending replies go out first.
    void release();

private:
    QString m_service;
    Role m_role = Role::Alone;
    QString m_problem;
    BusObject m_object;
    bool m_published = false;
};

} // namespace Quorvant
