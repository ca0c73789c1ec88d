// org.quorvant.Editor at /Quorvant: the automation interface. Every call
// runs on the program's own thread; a refused call gets an error reply named
// org.quorvant.Editor.Error.<reason>, never a wait.
#pragma once

#include "automationdriver.h"
#include "widgetdriver.h"
#include "singleinstance.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <functional>

namespace Quorvant {

class TApplicationShell;

QDBusArgument &operator<<(QDBusArgument &arg, const WidgetInfo &w);
const QDBusArgument &operator>>(const QDBusArgument &arg, WidgetInfo &w);
QDBusArgument &operator<<(QDBusArgument &arg, const MenuItemInfo &m);
const QDBusArgument &operator>>(const QDBusArgument &arg, MenuItemInfo &m);

class AutomationService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorvant.Editor")
public:
    AutomationService(TApplicationShell *shell, BusObject *parent);

    // Once the program has ended: while boxes recorded are not taken, keeps
    // answering TakeMessages (at most timeoutMs) before the name goes away.
    void holdUntilTaken(int timeoutMs);

public Q_SLOTS:
    // Answers when the command has run, or as soon as it leaves a modal
    // dialog open (later calls then reach only that dialog's buttons).
    void Trigger(const QString &objectName);
    QStringList Commands();
    QString DocumentText();
    void SetDocumentText(const QString &text);
    void SetDocumentText(const QString &text, bool keepModified);
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

    // Any window by object name: see WidgetDriver.
    QList<Quorvant::WidgetInfo> Widgets(const QString &root);
    QDBusVariant Property(const QString &objectName, const QString &name);
    QList<QStringList> Rows(const QString &objectName, int &current);
    QList<Quorvant::MenuItemInfo> MenuItems(const QString &objectName);
    QStringList Tabs();
    int CurrentTab();
    QString StatusText();
    QStringList DebugLines();
    QString SyntaxMode();
    // The acting calls answer early when they leave a modal dialog open, as Trigger does.
    void SetProperty(const QString &objectName, const QString &name, const QDBusVariant &value);
    void SelectRow(const QString &objectName, int row);
    void ActivateRow(const QString &objectName, int row);
    void PopupMenu(const QString &objectName, const QStringList &captionPath);
    void SelectPage(const QString &objectName, int index);
    void SelectTab(int index);
    void Click(int x, int y);
    void Key(const QString &chord);

private:
    // Sends the error reply of a failed result; true when it failed.
    template <typename T>
    bool failed(const AutomationResult<T> &result);
    // A call that acts is refused (and answered) while the program is still
    // starting, and while another call still runs (inside its event loop):
    // it waits for nothing.
    bool refusedForNow();
    // Runs an acting call; the caller is answered as soon as it opens a modal dialog.
    // A pop-up menu counts as such a dialog unless the call opens one itself.
    void act(const std::function<AutomationResult<Done>()> &run, bool menusAnswer = true);

    BusObject *m_bus;
    AutomationDriver m_driver;
    int m_running = 0;
    QList<QVariantMap> m_kept;  // boxes taken from the service, not yet by a caller
    bool m_taken = false;
};

} // namespace Quorvant

Q_DECLARE_METATYPE(Quorvant::WidgetInfo)
Q_DECLARE_METATYPE(Quorvant::MenuItemInfo)
