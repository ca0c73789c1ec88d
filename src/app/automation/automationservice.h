// org.quorvant.Editor at /Quorvant: the automation interface. Every call
// runs on the program's own thread; a refused call gets an error reply named
// org.quorvant.Editor.Error.<reason>, never a wait.
#pragma once

#include "automationdriver.h"
#include "singleinstance.h"

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace Quorvant {

class TApplicationShell;

class AutomationService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorvant.Editor")
public:
    AutomationService(TApplicationShell *shell, BusObject *parent);

public Q_SLOTS:
    // Answers when the command has run, or as soon as it leaves a modal
    // dialog open (later calls then reach only that dialog's buttons).
    void Trigger(const QString &objectName);
    QStringList Commands();
    QString DocumentText();
    void SetDocumentText(const QString &text);
    void CaretPoint(int &x, int &y);
    void SetCaretPoint(int x, int y);
    void Select(int x1, int y1, int x2, int y2);
    QString SelectedText();
    void TypeText(const QString &text);
    int DocumentCount();
    QString CurrentFileName();
    bool IsModified();
    void OpenFile(const QString &path);
    QString ActivePage();
    void QueueAnswers(const QStringList &answers);
    QList<QVariantMap> TakeMessages();
    QStringList WindowTitles();

private:
    // Sends the error reply of a failed result; true when it failed.
    template <typename T>
    bool failed(const AutomationResult<T> &result);
    // A change while another call still runs (inside its event loop) waits
    // for nothing: it is refused.
    bool refusedWhileBusy();

    BusObject *m_bus;
    AutomationDriver m_driver;
    int m_running = 0;
};

} // namespace Quorvant
