#include "installtools.h"

#include "datafolder.h"
#include "documentset.h"
#include "installfiletools.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "pluginmenu.h"
#include "plugins.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tidycommands.h"
#include "tmemosource.h"
#include "toolsglobals.h"
#include "validatecommand.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace Quorvant {

namespace {

// Diagnostic lines go to the window's debug window; that exists only once
// the shell is attached, so it is looked up on each line.
DebugOut debugWindow(const TForm1 &form)
{
    return [&form](const QString &line) { debugOut(form.debugTarget(), line); };
}

// Owns the plug-in loader for the window's lifetime.
class TToolsHolder : public QObject
{
public:
    using QObject::QObject;
    ~TToolsHolder() override
    {
        if (gPlugins == plugins.get())
            gPlugins = nullptr;
    }
    std::unique_ptr<TPlugins> plugins;
};

QAction *addCommand(QMenu *menu, QObject *owner, const char *objectName, const QString &caption)
{
    auto *a = new QAction(caption, owner);
    a->setObjectName(QLatin1String(objectName));
    if (menu)
        menu->addAction(a);
    return a;
}

} // namespace

QStringList pluginFolders()
{
    QStringList folders{DataFolder::file(QStringLiteral("PlugIn")), QStringLiteral(QUORVANT_PLUGIN_DIR)};
    // Installed under another prefix (a package): beside the program.
    if (QCoreApplication::instance()) {
        const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../")
                                               + QStringLiteral(QUORVANT_PLUGIN_RELATIVE_DIR));
        if (!folders.contains(beside))
            folders.insert(2, beside);
    }
    const QString build = QStringLiteral(QUORVANT_BUILD_PLUGIN_DIR);
    const QString buildRoot = QFileInfo(build).absolutePath();
    if (QCoreApplication::instance() && QCoreApplication::applicationDirPath().startsWith(buildRoot + u'/'))
        folders.append(build);
    return folders;
}

void installTools(TForm1 &form)
{
    const DebugOut debug = debugWindow(form);
    auto *holder = new TToolsHolder(&form);
    holder->setObjectName(QStringLiteral("ToolsHolder"));

    // HTML Tidy.
    auto *tidy = new TTidyCommands(form, DataFolder::file(QStringLiteral("Tidy")), debug);
    QMenu *tools = form.menu(QStringLiteral("Tools1"));
    if (tools && !tools->isEmpty())
        tools->addSeparator();
    QAction *fix = addCommand(tools, &form, "HTMLTidyFixandFormat1", QStringLiteral("HTML Tidy - Fix and Format"));
    QObject::connect(fix, &QAction::triggered, tidy, [tidy] { tidy->showSettings(); });
    QMenu *quick = tools ? tools->addMenu(QStringLiteral("HTML Tidy tools")) : new QMenu(&form);
    quick->setObjectName(QStringLiteral("HTMLTidytools1"));
    QAction *format = addCommand(quick, &form, "Applysourceformatting1", QStringLiteral("Apply source formatting"));
    QObject::connect(format, &QAction::triggered, tidy, [tidy] { tidy->runTool(TidyCommand::SourceFormat); });
    QAction *xml = addCommand(quick, &form, "ConverttoXML1", QStringLiteral("Convert to XML"));
    QObject::connect(xml, &QAction::triggered, tidy, [tidy] { tidy->runTool(TidyCommand::ConvertToXml); });
    QAction *next = addCommand(quick, &form, "NextTidyMark1", QStringLiteral("Next HTML Tidy Mark"));
    next->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    QObject::connect(next, &QAction::triggered, tidy, [tidy] { tidy->gotoNextMark(); });
    QAction *check = addCommand(form.editorMenu(), &form, "Checkmyhtmlcode1", QStringLiteral("Check my html code..."));
    QObject::connect(check, &QAction::triggered, tidy, [tidy] { tidy->showSettings(); });
    QAction *clipboard = addCommand(form.menu(QStringLiteral("Edit1")), &form, "ViewCurrentClipboard1",
                                    QStringLiteral("View Current Clipboard"));
    QObject::connect(clipboard, &QAction::triggered, tidy, [tidy] { tidy->viewClipboard(); });
    for (QAction *a : {fix, format, xml, check})
        tidy->addRunAction(a);

    // The W3C checker, marking the same margin as HTML Tidy.
    auto *validation = new TValidateCommand(form, tidy->marks());
    QAction *validate = addCommand(tools, &form, "ValidatePageW3C1", QStringLiteral("Validate Page (W3C)"));
    QObject::connect(validate, &QAction::triggered, validation, [validation] { validation->validate(); });

    // Plug-ins.
    TForm1 *window = &form;
    holder->plugins = std::make_unique<TPlugins>(
        [window](const QString &beg, const QString &fin) {
            if (TMemoSource *b = window->documents()->currentBuffer()) {
                ptext(b, beg, fin);
                window->documents()->markModified();
                window->DCMemo1()->setFocus();
            }
        },
        debug);
    holder->plugins->ReplaceSelectionCommand = [window](const QString &text) {
        TMemoSource *b = window->documents()->currentBuffer();
        if (!b || b->isReadOnly())
            return;
        b->beginUndoAction();
        b->setSelText(text);
        b->endUndoAction();
        window->documents()->markModified();
        window->DCMemo1()->setFocus();
    };
    holder->plugins->MessageCommand = [window](const QString &text) { MessageService::information(window, text); };
    gPlugins = holder->plugins.get();
    for (const QString &folder : pluginFolders())
        gPlugins->LoadAllPlugins(folder);
    auto *menu = new TPluginMenu(
        gPlugins, [window]() -> ITextBuffer * { return window->documents()->currentBuffer(); }, debug, holder);
    menu->RefreshPluginMenu(form.pluginsMenu());

    QAction *help = addCommand(form.menu(QStringLiteral("Help1")), &form, "CreatingPlugins1", QStringLiteral("Creating Plugins"));
    QObject::connect(help, &QAction::triggered, &form, [window] { window->ShowHelpFile(QStringLiteral("HTMLDocs/DevPlugin.Htm")); });

    installFileTools(form);
}

} // namespace Quorvant
