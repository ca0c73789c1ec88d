#include "messageservice.h"

#include <utility>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace Quorvant {

namespace {

struct HookState
{
    bool enabled = false;
    QList<DialogAnswer> queue;
    QList<RecordedDialog> recorded;
};

HookState &hook()
{
    static HookState state;
    return state;
}

// Takes the next answer, or nothing (and marks the record unanswered).
bool nextAnswer(RecordedDialog &record, DialogAnswer *answer)
{
    HookState &h = hook();
    record.answered = !h.queue.isEmpty();
    if (record.answered)
        *answer = h.queue.takeFirst();
    h.recorded.append(record);
    return record.answered;
}

MessageButton escapeButton(MessageButtons buttons)
{
    if (buttons & mbCancel)
        return mbCancel;
    if (buttons & mbNo)
        return mbNo;
    return mbOK;
}

QString titleFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning: return QStringLiteral("Warning");
    case MessageIcon::Error: return QStringLiteral("Error");
    case MessageIcon::None: return MessageService::applicationTitle();
    case MessageIcon::Information: break;
    }
    return QStringLiteral("Information");
}

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

MessageService::BoxWatcher &boxWatcher()
{
    static MessageService::BoxWatcher watcher;
    return watcher;
}

// Tells the watcher for as long as one box is up.
class BoxShown
{
public:
    BoxShown()
    {
        if (boxWatcher())
            boxWatcher()(true);
    }
    ~BoxShown()
    {
        if (boxWatcher())
            boxWatcher()(false);
    }
    BoxShown(const BoxShown &) = delete;
    BoxShown &operator=(const BoxShown &) = delete;
};

} // namespace

MessageService::BoxWatcher MessageService::setBoxWatcher(BoxWatcher watcher)
{
    return std::exchange(boxWatcher(), std::move(watcher));
}

QString MessageService::applicationTitle()
{
    return QStringLiteral("Quorvant");
}

QString MessageService::qtFilter(const QList<FileFilter> &filters)
{
    QStringList parts;
    for (const FileFilter &f : filters) {
        QString patterns = f.patterns;
        patterns.replace(u';', u' ');
        parts.append(QStringLiteral("%1 (%2)").arg(f.name, patterns));
    }
    return parts.join(QStringLiteral(";;"));
}

MessageButton MessageService::show(QWidget *parent, const QString &text, MessageIcon icon, MessageButtons buttons)
{
    const BoxShown shown;
    if (hook().enabled) {
        RecordedDialog r;
        r.kind = DialogKind::Message;
        r.title = titleFor(icon);
        r.text = text;
        r.icon = icon;
        r.buttons = buttons;
        DialogAnswer a;
        if (!nextAnswer(r, &a) || a.cancel || a.button == mbNone || !(a.button & buttons))
            return escapeButton(buttons);
        return a.button;
    }

    QMessageBox box(parent);
    box.setWindowTitle(titleFor(icon));
    box.setText(text);
    box.setIcon(qtIcon(icon));
    struct Pair { MessageButton ours; QMessageBox::StandardButton qt; };
    const Pair pairs[] = {{mbYes, QMessageBox::Yes}, {mbNo, QMessageBox::No}, {mbOK, QMessageBox::Ok},
                          {mbCancel, QMessageBox::Cancel}, {mbNoToAll, QMessageBox::NoToAll}};
    QMessageBox::StandardButtons qtButtons;
    for (const Pair &p : pairs) {
        if (buttons & p.ours)
            qtButtons |= p.qt;
    }
    box.setStandardButtons(qtButtons);
    const MessageButton esc = escapeButton(buttons);
    for (const Pair &p : pairs) {
        if (p.ours == esc)
            box.setEscapeButton(p.qt);
    }
    const int result = box.exec();
    for (const Pair &p : pairs) {
        if (p.qt == result)
            return p.ours;
    }
    return esc;
}

QStringList MessageService::getOpenFileNames(QWidget *parent, const QString &title, const QString &directory,
                                             const QList<FileFilter> &filters, int selectedFilter)
{
    const BoxShown shown;
    if (hook().enabled) {
        RecordedDialog r;
        r.kind = DialogKind::OpenFiles;
        r.title = title;
        r.directory = directory;
        r.filters = filters;
        DialogAnswer a;
        if (!nextAnswer(r, &a) || a.cancel)
            return {};
        return a.paths;
    }
    const QString all = qtFilter(filters);
    QString selected = selectedFilter >= 0 && selectedFilter < filters.size()
                           ? qtFilter({filters.at(selectedFilter)})
                           : QString();
    return QFileDialog::getOpenFileNames(parent, title, directory, all, &selected,
                                         QFileDialog::DontUseNativeDialog);
}

QString MessageService::getSaveFileName(QWidget *parent, const QString &title, const QString &directory,
                                        const QList<FileFilter> &filters, const QString &defaultSuffix)
{
    const BoxShown shown;
    QString path;
    if (hook().enabled) {
        RecordedDialog r;
        r.kind = DialogKind::SaveFile;
        r.title = title;
        r.directory = directory;
        r.filters = filters;
        r.defaultSuffix = defaultSuffix;
        DialogAnswer a;
        if (!nextAnswer(r, &a) || a.cancel || a.paths.isEmpty())
            return {};
        path = a.paths.first();
    } else {
        QFileDialog dialog(parent, title, directory, qtFilter(filters));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // The caller asks before overwriting, with its own words.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        path = dialog.selectedFiles().first();
    }
    if (!defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty() && !path.endsWith(u'.'))
        path += u'.' + defaultSuffix;
    return path;
}

QString MessageService::getExistingDirectory(QWidget *parent, const QString &title, const QString &directory)
{
    const BoxShown shown;
    if (hook().enabled) {
        RecordedDialog r;
        r.kind = DialogKind::Directory;
        r.title = title;
        r.directory = directory;
        DialogAnswer a;
        if (!nextAnswer(r, &a) || a.cancel || a.paths.isEmpty())
            return {};
        return a.paths.first();
    }
    return QFileDialog::getExistingDirectory(parent, title, directory, QFileDialog::DontUseNativeDialog);
}

bool MessageService::getText(QWidget *parent, const QString &title, const QString &prompt, QString *value)
{
    const BoxShown shown;
    if (hook().enabled) {
        RecordedDialog r;
        r.kind = DialogKind::Input;
        r.title = title;
        r.text = prompt;
        r.initialText = *value;
        DialogAnswer a;
        if (!nextAnswer(r, &a) || a.cancel)
            return false;
        *value = a.text;
        return true;
    }
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, *value, &ok);
    if (ok)
        *value = answer;
    return ok;
}

void MessageService::setTestHookEnabled(bool on)
{
    hook().enabled = on;
}

bool MessageService::testHookEnabled()
{
    return hook().enabled;
}

void MessageService::queueAnswer(const DialogAnswer &answer)
{
    hook().queue.append(answer);
}

void MessageService::queueAnswers(const QList<DialogAnswer> &answers)
{
    hook().queue.append(answers);
}

int MessageService::pendingAnswers()
{
    return int(hook().queue.size());
}

QList<RecordedDialog> MessageService::takeRecorded()
{
    return std::exchange(hook().recorded, {});
}

void MessageService::resetTestHook()
{
    hook().queue.clear();
    hook().recorded.clear();
}

} // namespace Quorvant
