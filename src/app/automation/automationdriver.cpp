#include "automationdriver.h"

#include "applicationshell.h"
#include "documentset.h"
#include "mainwindow.h"
#include "scintillawidget.h"
#include "taskmanager.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "debugmenu.h"
#include "lazypage.h"
#include "widgetdriver.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QTabWidget>

#include <algorithm>

namespace Quorvant {

namespace {

using namespace AutomationError;

// Qt names its own helper objects "qt_..."; they are no commands.
bool isCommandName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Every action and button below the roots (each root included), once.
QList<QObject *> commandObjects(const QList<QWidget *> &roots, const QString &name = {})
{
    QList<QObject *> out;
    QSet<QObject *> seen;
    auto add = [&](QObject *o) {
        if (!seen.contains(o) && isCommandName(o->objectName()) && (name.isEmpty() || o->objectName() == name)) {
            seen.insert(o);
            out.append(o);
        }
    };
    for (QWidget *root : roots) {
        // Pages built on first show answer by their names even before that.
        ensureBuiltBelow(root);
        if (qobject_cast<QAbstractButton *>(root))
            add(root);
        for (QAction *a : root->findChildren<QAction *>())
            add(a);
        for (QAbstractButton *b : root->findChildren<QAbstractButton *>())
            add(b);
    }
    return out;
}

QString titleOf(const QWidget *w)
{
    const QString title = w->windowTitle();
    return title.isEmpty() ? w->objectName() : title;
}

// A click reaches the object only when it and every widget it sits in are enabled.
bool clickable(QObject *o)
{
    if (auto *a = qobject_cast<QAction *>(o)) {
        if (!a->isEnabled())
            return false;
        for (QObject *p = a->parent(); p; p = p->parent()) {
            if (auto *w = qobject_cast<QWidget *>(p); w && !w->isEnabled())
                return false;
        }
        return true;
    }
    auto *b = qobject_cast<QAbstractButton *>(o);
    return b && b->isEnabled() && b->window()->isEnabled();
}


struct Key
{
    int key;
    QString text;
};

// The key a character is typed with, as a keyboard would send it.
Key keyFor(const QString &ch)
{
    const char16_t c = ch.at(0).unicode();
    if (c == u'\n' || c == u'\r')
        return {Qt::Key_Return, QStringLiteral("\r")};
    if (c == u'\t')
        return {Qt::Key_Tab, ch};
    if (c == u'\b')
        return {Qt::Key_Backspace, ch};
    // Qt's key codes for Latin-1 characters are the upper-case code points.
    if (ch.size() == 1 && c >= 0x20 && c <= 0xFF) {
        const char16_t upper = QChar(c).toUpper().unicode();
        return {int(upper <= 0xFF ? upper : c), ch};
    }
    return {Qt::Key_unknown, ch};
}

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning: return QStringLiteral("Warning");
    case MessageIcon::Error: return QStringLiteral("Error");
    case MessageIcon::None: return QStringLiteral("None");
    case MessageIcon::Information: break;
    }
    return QStringLiteral("Information");
}

QString kindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::OpenFiles: return QStringLiteral("OpenFiles");
    case DialogKind::SaveFile: return QStringLiteral("SaveFile");
    case DialogKind::Directory: return QStringLiteral("Directory");
    case DialogKind::Input: return QStringLiteral("Input");
    case DialogKind::Message: break;
    }
    return QStringLiteral("Message");
}

struct ButtonName
{
    MessageButton button;
    const char *name;
};
// In the order a box shows them.
constexpr ButtonName buttonNames[] = {
    {mbYes, "Yes"}, {mbNo, "No"}, {mbOK, "OK"}, {mbCancel, "Cancel"}, {mbNoToAll, "NoToAll"},
};

} // namespace

AutomationDriver::AutomationDriver(TApplicationShell *shell)
    : m_shell(shell)
{
}

QWidget *AutomationDriver::blockingWindow()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

TMemoSource *AutomationDriver::buffer() const
{
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    return form && form->documents()->PagesOpen() > 0 ? form->documents()->currentBuffer() : nullptr;
}

template <typename T>
bool AutomationDriver::refuseWithoutDocument(AutomationResult<T> *result) const
{
    if (buffer())
        return false;
    *result = AutomationResult<T>::failed(NoDocument, QStringLiteral("No document is open."));
    return true;
}

template <typename T>
bool AutomationDriver::refuseUnderDialog(AutomationResult<T> *result) const
{
    if (const QWidget *w = blockingWindow()) {
        *result = AutomationResult<T>::failed(
            ModalDialog, QStringLiteral("\"%1\" is open: close it (Trigger one of its buttons) first.").arg(titleOf(w)));
        return true;
    }
    return false;
}

template <typename T>
bool AutomationDriver::refuseChange(AutomationResult<T> *result) const
{
    return refuseUnderDialog(result) || refuseWithoutDocument(result);
}

AutomationResult<Done> AutomationDriver::readyToAct() const
{
    if (m_shell && m_shell->hasStarted())
        return {};
    return AutomationResult<Done>::failed(
        NotReady, QStringLiteral("The program is still starting: try again once its Task Manager is shown."));
}

QStringList AutomationDriver::commands() const
{
    QStringList names;
    for (QObject *o : commandObjects(QApplication::topLevelWidgets()))
        names.append(o->objectName());
    names.sort();
    names.removeDuplicates();
    return names;
}

AutomationResult<Done> AutomationDriver::trigger(const QString &objectName)
{
    QWidget *blocking = blockingWindow();
    const QList<QObject *> found =
        commandObjects(blocking ? QList<QWidget *>{blocking} : QApplication::topLevelWidgets(), objectName);
    if (found.isEmpty()) {
        // A nameless button of a dialog (OK, Cancel) answers to its caption.
        if (QObject *byCaption = WidgetDriver::find(objectName);
            byCaption && (qobject_cast<QAbstractButton *>(byCaption) || qobject_cast<QAction *>(byCaption))) {
            if (!clickable(byCaption))
                return AutomationResult<Done>::failed(Disabled, QStringLiteral("%1 is disabled now.").arg(objectName));
            if (auto *a = qobject_cast<QAction *>(byCaption))
                a->trigger();
            else
                qobject_cast<QAbstractButton *>(byCaption)->click();
            return {};
        }
        if (blocking && !commandObjects(QApplication::topLevelWidgets(), objectName).isEmpty()) {
            return AutomationResult<Done>::failed(
                ModalDialog, QStringLiteral("\"%1\" is open: %2 cannot be reached until it is closed.")
                                 .arg(titleOf(blocking), objectName));
        }
        return AutomationResult<Done>::failed(UnknownCommand,
                                              QStringLiteral("There is no command called %1.").arg(objectName));
    }
    // A button in a hidden window or page cannot be clicked; actions work from their shortcuts.
    auto visible = [](QObject *o) {
        auto *b = qobject_cast<QAbstractButton *>(o);
        return b ? b->isVisible() : qobject_cast<QAction *>(o)->isVisible();
    };
    const auto target = std::find_if(found.begin(), found.end(), [&](QObject *o) { return visible(o) && clickable(o); });
    if (target == found.end()) {
        if (std::none_of(found.begin(), found.end(), visible))
            return AutomationResult<Done>::failed(QStringLiteral("Hidden"), QStringLiteral("%1 is hidden.").arg(objectName));
        return AutomationResult<Done>::failed(Disabled, QStringLiteral("%1 is disabled now.").arg(objectName));
    }
    if (auto *a = qobject_cast<QAction *>(*target))
        a->trigger();
    else
        qobject_cast<QAbstractButton *>(*target)->click();
    return {};
}

AutomationResult<QString> AutomationDriver::documentText() const
{
    AutomationResult<QString> r;
    if (!refuseWithoutDocument(&r))
        r.value = buffer()->text();
    return r;
}

AutomationResult<Done> AutomationDriver::setDocumentText(const QString &text, bool keepModified)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    const bool wasModified = buffer()->isModified();
    buffer()->setText(text);
    if (!keepModified || wasModified)
        m_shell->Form1()->documents()->markModified();
    else
        buffer()->setModified(false);
    return r;
}

AutomationResult<CaretPoint> AutomationDriver::caretPoint() const
{
    AutomationResult<CaretPoint> r;
    if (!refuseWithoutDocument(&r))
        r.value = buffer()->caretPoint();
    return r;
}

bool AutomationDriver::validPoint(int x, int y) const
{
    const TMemoSource *b = buffer();
    return y >= 0 && y < b->lineCount() && x >= 0 && x <= b->line(y).size();
}

QString AutomationDriver::outOfRange(int x, int y) const
{
    const TMemoSource *b = buffer();
    if (y < 0 || y >= b->lineCount())
        return QStringLiteral("Line %1 is beyond the text: it has lines 0 to %2.").arg(y).arg(b->lineCount() - 1);
    return QStringLiteral("Column %1 is beyond line %2: it has columns 0 to %3.").arg(x).arg(y).arg(b->line(y).size());
}

AutomationResult<Done> AutomationDriver::setCaretPoint(int x, int y)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    if (!validPoint(x, y))
        return AutomationResult<Done>::failed(OutOfRange, outOfRange(x, y));
    buffer()->setCaretPoint({x, y});
    return r;
}

AutomationResult<Done> AutomationDriver::select(int x1, int y1, int x2, int y2)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    if (!validPoint(x1, y1))
        return AutomationResult<Done>::failed(OutOfRange, outOfRange(x1, y1));
    if (!validPoint(x2, y2))
        return AutomationResult<Done>::failed(OutOfRange, outOfRange(x2, y2));
    buffer()->setSelection({{x1, y1}, {x2, y2}});
    return r;
}

AutomationResult<QString> AutomationDriver::selectedText() const
{
    AutomationResult<QString> r;
    if (!refuseWithoutDocument(&r))
        r.value = buffer()->selText();
    return r;
}

AutomationResult<Done> AutomationDriver::typeText(const QString &text)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    TDCMemo *memo = m_shell->Form1()->DCMemo1();
    memo->setFocus();
    for (int i = 0; i < text.size(); ++i) {
        // A widget may go away while it handles a key (a command that closes the document).
        QPointer<QWidget> target = memo->widget();
        if (!target)
            break;
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            // No key carries a character beyond the basic plane: an input
            // method commits it, as on a real desktop.
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, 2));
            QCoreApplication::sendEvent(target, &commit);
            ++i;
            continue;
        }
        const Key k = keyFor(text.mid(i, 1));
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, k.text);
        QCoreApplication::sendEvent(target, &press);
        if (!target)
            break;
        QKeyEvent release(QEvent::KeyRelease, k.key, Qt::NoModifier, k.text);
        QCoreApplication::sendEvent(target, &release);
    }
    return r;
}

int AutomationDriver::documentCount() const
{
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    return form ? form->documents()->PagesOpen() : 0;
}

QString AutomationDriver::currentFileName() const
{
    return buffer() ? gCurrentFilePath : QString();
}

bool AutomationDriver::isModified() const
{
    const TMemoSource *b = buffer();
    return b && b->isModified();
}

AutomationResult<Done> AutomationDriver::openFile(const QString &path)
{
    AutomationResult<Done> r;
    if (const QWidget *w = blockingWindow()) {
        return AutomationResult<Done>::failed(
            ModalDialog, QStringLiteral("\"%1\" is open: close it (Trigger one of its buttons) first.").arg(titleOf(w)));
    }
    if (const AutomationResult<Done> ready = readyToAct(); !ready.ok())
        return ready;
    TForm1 *form = m_shell->Form1();
    if (!form)
        return AutomationResult<Done>::failed(Failed, QStringLiteral("The main window is gone: the program is ending."));
    const QFileInfo info(path);
    if (!info.exists())
        return AutomationResult<Done>::failed(FileNotFound, QStringLiteral("%1 does not exist.").arg(path));
    if (!info.isFile())
        return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("%1 is not a file.").arg(path));
    if (!form->documents()->openOrShow(info.absoluteFilePath()))
        return AutomationResult<Done>::failed(Failed, QStringLiteral("%1 could not be read.").arg(path));
    if (TTaskManager *tm = m_shell->TaskManager())
        tm->leaveForDocument();
    return r;
}

QString AutomationDriver::activePage() const
{
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    const QWidget *page = form ? form->tabholder()->currentWidget() : nullptr;
    return page ? page->objectName() : QString();
}

AutomationResult<QStringList> AutomationDriver::tabs() const
{
    AutomationResult<QStringList> r;
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    if (refuseUnderDialog(&r) || !form)
        return r;
    const QTabBar *bar = form->PageSelector();
    for (int i = 0; i < bar->count(); ++i)
        r.value.append(bar->tabText(i));
    return r;
}

AutomationResult<int> AutomationDriver::currentTab() const
{
    AutomationResult<int> r;
    r.value = -1;
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    if (refuseUnderDialog(&r) || !form)
        return r;
    r.value = form->documents()->PagesOpen() > 0 ? form->PageSelector()->currentIndex() : -1;
    return r;
}

AutomationResult<Done> AutomationDriver::selectTab(int index)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    QTabBar *bar = m_shell->Form1()->PageSelector();
    if (index < 0 || index >= bar->count())
        return AutomationResult<Done>::failed(
            OutOfRange, QStringLiteral("There are tabs 0 to %1; there is no tab %2.").arg(bar->count() - 1).arg(index));
    if (!bar->isEnabled() || !bar->window()->isEnabled())
        return AutomationResult<Done>::failed(Disabled, QStringLiteral("%1 is disabled now.").arg(bar->objectName()));
    emit bar->tabBarClicked(index);
    bar->setCurrentIndex(index);
    return r;
}

AutomationResult<QString> AutomationDriver::statusText() const
{
    AutomationResult<QString> r;
    TForm1 *form = m_shell ? m_shell->Form1() : nullptr;
    if (refuseUnderDialog(&r) || !form)
        return r;
    const QStatusBar *bar = form->StatusBar1();
    r.value = bar->currentMessage();
    if (r.value.isEmpty()) {
        QStringList fields;
        for (const QLabel *l : bar->findChildren<QLabel *>()) {
            if (l->isVisibleTo(bar))
                fields.append(l->text());
        }
        r.value = fields.join(u'\t');
    }
    return r;
}

AutomationResult<QStringList> AutomationDriver::debugLines() const
{
    AutomationResult<QStringList> r;
    if (refuseUnderDialog(&r) || !m_shell || !m_shell->DebugMenu())
        return r;
    const QString text = m_shell->DebugMenu()->Memo1()->toPlainText();
    if (!text.isEmpty())
        r.value = text.split(u'\n');
    return r;
}

AutomationResult<QString> AutomationDriver::syntaxMode() const
{
    static const char *const names[] = {"HTML", "Perl", "VBScript", "JavaScript", "C",
                                        "CPP", "Python", "Delphi", "DFM", "Custom"};
    AutomationResult<QString> r;
    if (refuseChange(&r))
        return r;
    const int mode = int(m_shell->Form1()->syntaxParser());
    r.value = mode >= 0 && mode < int(std::size(names)) ? QLatin1String(names[mode]) : QString::number(mode);
    return r;
}

AutomationResult<Done> AutomationDriver::click(int x, int y)
{
    AutomationResult<Done> r;
    if (refuseChange(&r))
        return r;
    if (!validPoint(x, y))
        return AutomationResult<Done>::failed(OutOfRange, outOfRange(x, y));
    ScintillaWidget *editor = m_shell->Form1()->DCMemo1()->widget();
    if (!editor || !editor->isVisible())
        return AutomationResult<Done>::failed(QStringLiteral("Hidden"), QStringLiteral("The editor is hidden."));
    if (!editor->isEnabled() || !editor->window()->isEnabled())
        return AutomationResult<Done>::failed(Disabled, QStringLiteral("The editor is disabled now."));
    // Bring the point into view, then click where its character is drawn.
    const long pos = editor->positionFromLineIndex(y, 0);
    long target = pos;
    for (int i = 0; i < x; ++i)
        target = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, target);
    editor->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE, target, target);
    const int px = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, target));
    const int py = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, target));
    const int height = int(editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, y));
    const QPoint at(px + 1, py + height / 2);
    QWidget *viewport = editor->viewport();
    editor->setFocus();
    QPointer<QWidget> guard = viewport;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        if (!guard)
            break;
        QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &e);
    }
    return r;
}

AutomationResult<QList<DialogAnswer>> AutomationDriver::parseAnswers(const QStringList &answers)
{
    AutomationResult<QList<DialogAnswer>> r;
    for (const QString &a : answers) {
        const QString kind = a.section(u':', 0, 0).trimmed().toLower();
        const QString value = a.section(u':', 1);
        if (kind == QLatin1String("cancel") && !a.contains(u':')) {
            r.value.append(DialogAnswer::cancelled());
        } else if (kind == QLatin1String("text") && a.contains(u':')) {
            r.value.append(DialogAnswer::typed(value));
        } else if (kind == QLatin1String("path") && !value.isEmpty()) {
            r.value.append(DialogAnswer::files(value.split(u'\n', Qt::SkipEmptyParts)));
        } else if (kind == QLatin1String("button")) {
            const auto b = std::find_if(std::begin(buttonNames), std::end(buttonNames), [&](const ButtonName &n) {
                return value.trimmed().compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0;
            });
            if (b == std::end(buttonNames)) {
                return AutomationResult<QList<DialogAnswer>>::failed(
                    InvalidArgument, QStringLiteral("\"%1\": the buttons are Yes, No, OK, Cancel and NoToAll.").arg(a));
            }
            r.value.append(DialogAnswer::pressed(b->button));
        } else {
            return AutomationResult<QList<DialogAnswer>>::failed(
                InvalidArgument,
                QStringLiteral("\"%1\": an answer is button:NAME, text:TEXT, path:PATH or cancel.").arg(a));
        }
    }
    return r;
}

AutomationResult<Done> AutomationDriver::queueAnswers(const QStringList &answers)
{
    const AutomationResult<QList<DialogAnswer>> parsed = parseAnswers(answers);
    if (!parsed.ok())
        return AutomationResult<Done>::failed(parsed.error, parsed.message);
    MessageService::queueAnswers(parsed.value);
    return {};
}

QVariantMap AutomationDriver::describe(const RecordedDialog &box)
{
    QVariantMap m;
    m.insert(QStringLiteral("kind"), kindName(box.kind));
    m.insert(QStringLiteral("title"), box.title);
    m.insert(QStringLiteral("text"), box.text);
    m.insert(QStringLiteral("answered"), box.answered);
    switch (box.kind) {
    case DialogKind::Message: {
        QStringList buttons;
        for (const ButtonName &b : buttonNames) {
            if (box.buttons & b.button)
                buttons.append(QLatin1String(b.name));
        }
        m.insert(QStringLiteral("icon"), iconName(box.icon));
        m.insert(QStringLiteral("buttons"), buttons);
        break;
    }
    case DialogKind::OpenFiles:
    case DialogKind::SaveFile:
    case DialogKind::Directory: {
        QStringList filters;
        for (const FileFilter &f : box.filters)
            filters.append(MessageService::qtFilter({f}));
        m.insert(QStringLiteral("directory"), box.directory);
        m.insert(QStringLiteral("filters"), filters);
        m.insert(QStringLiteral("defaultSuffix"), box.defaultSuffix);
        break;
    }
    case DialogKind::Input:
        m.insert(QStringLiteral("initialText"), box.initialText);
        break;
    }
    return m;
}

QList<QVariantMap> AutomationDriver::takeMessages()
{
    QList<QVariantMap> out;
    for (const RecordedDialog &box : MessageService::takeRecorded())
        out.append(describe(box));
    return out;
}

QStringList AutomationDriver::windowTitles()
{
    QStringList titles;
    for (const QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen)
            titles.append(w->windowTitle());
    }
    return titles;
}

} // namespace Quorvant
