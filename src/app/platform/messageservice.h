// The one way the program shows message boxes, file dialogs and input boxes.
// A test hook records every box and answers it from a queue instead of
// showing it, so each text, icon and button set can be checked.
#pragma once

#include <QList>

#include <functional>
#include <QString>
#include <QStringList>

class QWidget;

namespace Quorvant {

// None: a plain box, with no icon and the program's name as its title.
enum class MessageIcon { Information, Warning, Error, None };

enum MessageButton : int {
    mbNone = 0,
    mbOK = 0x01,
    mbYes = 0x02,
    mbNo = 0x04,
    mbCancel = 0x08,
    mbNoToAll = 0x10,
};
using MessageButtons = int;
inline constexpr MessageButtons YesNo = mbYes | mbNo;
inline constexpr MessageButtons YesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr MessageButtons YesNoCancelNoToAll = YesNoCancel | mbNoToAll;

// A file dialog filter: its name as shown and its patterns separated by ';'.
struct FileFilter
{
    QString name;
    QString patterns;
};

enum class DialogKind { Message, OpenFiles, SaveFile, Directory, Input };

// One box as the test hook saw it.
struct RecordedDialog
{
    DialogKind kind = DialogKind::Message;
    QString title;
    QString text;           // message text, or the input box's prompt
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = mbOK;
    QString directory;      // initial folder of a file dialog
    QList<FileFilter> filters;
    QString defaultSuffix;
    QString initialText;    // input box
    bool answered = false;  // false when the queue was empty
};

// A queued answer: a button for a message box, paths for a file dialog, a
// text for an input box, or cancel for any of them.
struct DialogAnswer
{
    MessageButton button = mbNone;
    QStringList paths;
    QString text;
    bool cancel = false;

    static DialogAnswer pressed(MessageButton b) { return {b, {}, {}, false}; }
    static DialogAnswer files(const QStringList &p) { return {mbNone, p, {}, false}; }
    static DialogAnswer file(const QString &p) { return {mbNone, {p}, {}, false}; }
    static DialogAnswer typed(const QString &t) { return {mbNone, {}, t, false}; }
    static DialogAnswer cancelled() { return {mbNone, {}, {}, true}; }
};

class MessageService
{
public:
    // Shows a modal message box and returns the button pressed. Without an
    // answer the hook gives Cancel, else No, else OK, as Escape would.
    static MessageButton show(QWidget *parent, const QString &text, MessageIcon icon,
                              MessageButtons buttons = mbOK);
    static void information(QWidget *parent, const QString &text) { show(parent, text, MessageIcon::Information); }
    static void warning(QWidget *parent, const QString &text) { show(parent, text, MessageIcon::Warning); }
    static void error(QWidget *parent, const QString &text) { show(parent, text, MessageIcon::Error); }
    static void plain(QWidget *parent, const QString &text) { show(parent, text, MessageIcon::None); }

    // Empty list when cancelled.
    static QStringList getOpenFileNames(QWidget *parent, const QString &title, const QString &directory,
                                        const QList<FileFilter> &filters, int selectedFilter = 0);
    // Empty when cancelled. The default suffix is added to a name without one.
    static QString getSaveFileName(QWidget *parent, const QString &title, const QString &directory,
                                   const QList<FileFilter> &filters, const QString &defaultSuffix = {});
    static QString getExistingDirectory(QWidget *parent, const QString &title, const QString &directory);
    // false when cancelled; *value holds the initial text and receives the answer.
    static bool getText(QWidget *parent, const QString &title, const QString &prompt, QString *value);

    // The test hook. While it is on, nothing is shown: every box is recorded
    // and answered from the queue.
    static void setTestHookEnabled(bool on);
    static bool testHookEnabled();
    static void queueAnswer(const DialogAnswer &answer);
    static void queueAnswers(const QList<DialogAnswer> &answers);
    static int pendingAnswers();
    static QList<RecordedDialog> takeRecorded();
    static void resetTestHook();  // empties the queue and the record

    // Qt filter string for a filter list ("Name (*.a *.b)").
    static QString qtFilter(const QList<FileFilter> &filters);
    static QString applicationTitle();

    // Told true just before any box shows and false once it is closed (also
    // for boxes the test hook answers), e.g. so a splash screen steps back
    // while a box is up. Returns the watcher it replaces, which the new one
    // should pass the news on to.
    using BoxWatcher = std::function<void(bool showing)>;
    static BoxWatcher setBoxWatcher(BoxWatcher watcher);
};

} // namespace Quorvant
