#include "installscripts.h"

#include "appglobals.h"
#include "applicationshell.h"
#include "datafolder.h"
#include "documentset.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tcodesnippetpage.h"
#include "tdatetimestampmenu.h"
#include "tmemosource.h"
#include "tmnudefinejs.h"
#include "tmnuobjecttree.h"
#include "tmnuservervariables.h"
#include "tscriptlibrarywindow.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QWindow>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace Quorvant {

namespace {

// Keeps a window the start-up made without a parent above the main window
// as the window manager sees it, so a click on the main window cannot
// bury a modal library behind it.
class TKeepAboveOwner : public QObject
{
public:
    TKeepAboveOwner(TForm1 &form, QWidget *window)
        : QObject(window)
        , m_form(&form)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sent after the native window exists and before it is mapped.
        if (event->type() == QEvent::Show && m_form) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->windowHandle() && m_form->windowHandle())
                w->windowHandle()->setTransientParent(m_form->windowHandle());
        }
        return false;
    }

private:
    QPointer<TForm1> m_form;
};

// The window a long-lived panel lives in: the one the start-up made for it,
// or one of our own when there is none (a main window made by a test).
QWidget *hostWindow(TForm1 &form, QWidget *made)
{
    if (made && !made->layout()) {
        new TKeepAboveOwner(form, made);
        return made;
    }
    return new QWidget(&form, Qt::Window);
}

// The windows made on first use; the start-up's hosts own them.
struct TScriptWindows
{
    QPointer<TScriptLibraryWindow> java;
    QPointer<TScriptLibraryWindow> dhtml;
    QPointer<TMnuObjectTree> tree;
};

QAction *addCommand(QMenu *menu, TForm1 &form, const char *objectName, const QString &caption)
{
    auto *a = new QAction(caption, &form);
    a->setObjectName(QLatin1String(objectName));
    if (menu)
        menu->addAction(a);
    return a;
}

} // namespace

void installScripts(TForm1 &form)
{
    TApplicationShell *shell = TApplicationShell::instance();
    TForm1 *window = &form;
    auto currentBuffer = [window]() -> ITextBuffer * { return window->documents()->currentBuffer(); };
    auto insert = [window](const QString &text) {
        window->withBuffer([&text](ITextBuffer *b) { ptext(b, text, QString()); });
    };

    // The template libraries and the object tree, made on first use and reused.
    auto windows = std::make_shared<TScriptWindows>();
    auto library = [windows, window, shell, currentBuffer](TScriptLibraryWindow::Kind kind) {
        const bool java = kind == TScriptLibraryWindow::Kind::JavaScript;
        QPointer<TScriptLibraryWindow> &made = java ? windows->java : windows->dhtml;
        if (!made) {
            QWidget *host = shell ? (java ? shell->MnuJavaScript() : shell->MnuDHTML()) : nullptr;
            made = new TScriptLibraryWindow(kind, DataFolder::file(java ? QStringLiteral("JAVA") : QStringLiteral("DHTML")),
                                            currentBuffer, hostWindow(*window, host));
            QObject::connect(made, &TScriptLibraryWindow::inserted, window, [window] {
                if (window->tabholder()->currentIndex() == 0)
                    window->DCMemo1()->setFocus();
            });
        }
        return made.data();
    };
    auto showTree = [windows, window, shell, insert] {
        if (!windows->tree)
            windows->tree = new TMnuObjectTree(insert, hostWindow(*window, shell ? shell->MnuObjectTree() : nullptr));
        windows->tree->showTree();
    };

    QMenu *insertMenu = form.menu(QStringLiteral("Insert1"));
    if (insertMenu && !insertMenu->isEmpty())
        insertMenu->addSeparator();
    QAction *instantJava = addCommand(insertMenu, form, "InstantJava1", QStringLiteral("Instant Java"));
    QObject::connect(instantJava, &QAction::triggered, &form,
                     [library] { library(TScriptLibraryWindow::Kind::JavaScript)->showLibrary(); });
    QAction *instantDhtml = addCommand(insertMenu, form, "InstantDHTML1", QStringLiteral("Instant DHTML"));
    QObject::connect(instantDhtml, &QAction::triggered, &form,
                     [library] { library(TScriptLibraryWindow::Kind::DHTML)->showLibrary(); });
    QMenu *tools = form.menu(QStringLiteral("Tools1"));
    if (tools && !tools->isEmpty())
        tools->addSeparator();
    QAction *treeAction = addCommand(tools, form, "JavascriptObjectTree1", QStringLiteral("Javascript Object Tree"));
    QObject::connect(treeAction, &QAction::triggered, &form, showTree);

    // The buttons of the Scripts, ASP and SSI bars.
    form.commands().add(QStringLiteral("ObjectTree"), showTree);
    form.commands().add(QStringLiteral("DefineScript"), [window, insert] {
        auto *dialog = new TMnuDefineJS(insert, gCurrentFilePath, window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
    });
    for (const auto kind : {ServerVariableKind::ASP, ServerVariableKind::SSI}) {
        const QString id = kind == ServerVariableKind::ASP ? QStringLiteral("ServerVariables") : QStringLiteral("SSIVariables");
        form.commands().add(id, [window, insert, kind] {
            auto *dialog = new TMnuServerVariables(kind, DataFolder::path(), insert, window);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->showList();
        });
    }

    // The "Code Snippet" page and the date stamps of the editor's pop-up menu.
    if (QWidget *page = form.sidebar() ? form.sidebar()->findChild<QWidget *>(QStringLiteral("CodeSnippetPage")) : nullptr) {
        buildOnFirstShow(page, [window, page] {
            auto *layout = page->layout() ? page->layout() : new QVBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(new TCodeSnippetPage(*window, DataFolder::file(QStringLiteral("Snippets.Dat")), page));
        });
    }
    if (form.editorMenu())
        new TDateTimeStampMenu(form.editorMenu(), insert);
}

} // namespace Quorvant
