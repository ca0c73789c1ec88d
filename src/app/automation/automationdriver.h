// Drives the running program from outside as a user would: triggers its
// commands, reads and edits the current document, types keys into the editor
// and answers its boxes through the message service's hook. The bus
// interface (AutomationService) is a thin layer over this class.
#pragma once

#include "editortypes.h"
#include "messageservice.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QObject;
class QWidget;

namespace Quorvant {

class TApplicationShell;
class TMemoSource;

// A value, or the short name of an error (the bus adds its prefix) and a text.
template <typename T>
struct AutomationResult
{
    T value{};
    QString error;
    QString message;

    bool ok() const { return error.isEmpty(); }
    static AutomationResult failed(const QString &error, const QString &message)
    {
        AutomationResult r;
        r.error = error;
        r.message = message;
        return r;
    }
};
struct Done
{
};

// The error names the drivers give; the bus passes them on to its callers.
namespace AutomationError {
inline const QString NotFound = QStringLiteral("NotFound");
inline const QString Hidden = QStringLiteral("Hidden");
inline const QString Disabled = QStringLiteral("Disabled");
inline const QString ModalDialog = QStringLiteral("ModalDialog");
inline const QString UnknownCommand = QStringLiteral("UnknownCommand");
inline const QString NoDocument = QStringLiteral("NoDocument");
inline const QString OutOfRange = QStringLiteral("OutOfRange");
inline const QString InvalidArgument = QStringLiteral("InvalidArgument");
inline const QString FileNotFound = QStringLiteral("FileNotFound");
inline const QString Failed = QStringLiteral("Failed");
inline const QString NotReady = QStringLiteral("NotReady");
} // namespace AutomationError

class AutomationDriver
{
public:
    explicit AutomationDriver(TApplicationShell *shell);

    // Until the program has started (its Task Manager shown, the files of
    // its command line open), calls that act are refused with NotReady:
    // the Task Manager would come up after them and take the window away.
    AutomationResult<Done> readyToAct() const;

    // Object names of the actions and buttons Trigger accepts, sorted.
    QStringList commands() const;
    // Runs the action or clicks the button, as a click would. While a modal
    // dialog or a menu is open, only the objects inside it are reachable.
    AutomationResult<Done> trigger(const QString &objectName);

    AutomationResult<QString> documentText() const;
    // keepModified leaves the modified flag as it was; otherwise the
    // document is modified, as an edit leaves it.
    AutomationResult<Done> setDocumentText(const QString &text, bool keepModified = false);
    AutomationResult<CaretPoint> caretPoint() const;
    AutomationResult<Done> setCaretPoint(int x, int y);
    AutomationResult<Done> select(int x1, int y1, int x2, int y2);
    AutomationResult<QString> selectedText() const;
    // Sends a key press and release per character to the editor widget, so
    // whatever reacts to typing does. "\n" (or "\r\n") is Return, "\t" Tab,
    // "\b" Backspace; characters beyond the basic plane come as an input
    // method's commit.
    AutomationResult<Done> typeText(const QString &text);

    int documentCount() const;
    QString currentFileName() const;  // empty for a document never saved, or none
    bool isModified() const;
    // Opens an existing file (an absolute path, or relative to the program's
    // current folder) as a new document.
    AutomationResult<Done> openFile(const QString &path);
    // The object name of the main window's shown page ("EditorPage", ...).
    QString activePage() const;

    // The document tabs' captions, the current one's index, and a change of
    // tab as a click on it.
    AutomationResult<QStringList> tabs() const;
    AutomationResult<int> currentTab() const;
    AutomationResult<Done> selectTab(int index);
    // The status bar's message, else its fields separated by tabs.
    AutomationResult<QString> statusText() const;
    // The debug window's lines.
    AutomationResult<QStringList> debugLines() const;
    // The syntax mode the documents are shown in ("HTML", "Perl", ...).
    AutomationResult<QString> syntaxMode() const;
    // A left click in the editor on the character at this caret point.
    AutomationResult<Done> click(int x, int y);

    // Answers for the next boxes, in order: "button:Yes" (OK, No, Cancel,
    // NoToAll), "text:...", "path:..." (several paths separated by newlines)
    // or "cancel". Nothing is queued when one of them is not understood.
    static AutomationResult<QList<DialogAnswer>> parseAnswers(const QStringList &answers);
    static AutomationResult<Done> queueAnswers(const QStringList &answers);
    // The boxes recorded since the last call, each as a map (kind, title,
    // text, icon, buttons, answered, and the fields of its kind).
    static QList<QVariantMap> takeMessages();
    static QVariantMap describe(const RecordedDialog &box);
    // Titles of the visible top-level windows, dialogs included.
    static QStringList windowTitles();
    // The modal dialog or open menu that holds the input, or nullptr.
    static QWidget *blockingWindow();

private:
    TMemoSource *buffer() const;
    // Fails when a modal dialog or menu is open, or no document is.
    template <typename T>
    bool refuseChange(AutomationResult<T> *result) const;
    template <typename T>
    bool refuseWithoutDocument(AutomationResult<T> *result) const;
    template <typename T>
    bool refuseUnderDialog(AutomationResult<T> *result) const;
    bool validPoint(int x, int y) const;
    QString outOfRange(int x, int y) const;

    TApplicationShell *m_shell;
};

} // namespace Quorvant
