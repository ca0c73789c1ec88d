// The menus of the main window.
#include "mainwindow.h"

#include "documentset.h"
#include "messageservice.h"
#include "standardicons.h"
#include "tmemosource.h"
#include "scintillawidget.h"
#include "syntaxparsers.h"
#include "tdcmemo.h"

#include <QAction>
#include <QActionGroup>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

namespace Quorvant {

QAction *TForm1::addAction(QMenu *menu, const char *objectName, const QString &caption, const QKeySequence &shortcut,
                           void (TForm1::*slot)())
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QLatin1String(objectName));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, slot);
    menu->addAction(a);
    return a;
}

QAction *TForm1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

QMenu *TForm1::menu(const QString &objectName) const
{
    return findChild<QMenu *>(objectName);
}

void TForm1::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *newDoc = addAction(file, "NewWebDocument1", QStringLiteral("&New Web Document"),
                                QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::NewWebDocument1Click);
    QMenu *newMenu = file->addMenu(QStringLiteral("New..."));
    newMenu->setObjectName(QStringLiteral("New1"));
    addAction(newMenu, "DefaultTemplate1", QStringLiteral("Default Template"), {}, &TForm1::NewWebDocument1Click);
    addAction(newMenu, "BlankDocument1", QStringLiteral("Blank Document"), {}, &TForm1::BlankDocument1Click);
    addAction(newMenu, "FromTemplate1", QStringLiteral("From Template"), {}, &TForm1::FromTemplate1Click);
    QAction *open = addAction(file, "Open1", QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::Open1Click);
    QAction *save = addAction(file, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::Save1Click);
    addAction(file, "SaveAs1", QStringLiteral("Save as..."), {}, &TForm1::SaveAs1Click);
    addAction(file, "SaveAll1", QStringLiteral("Save All..."), {}, &TForm1::SaveAll1Click);
    file->addSeparator();
    addAction(file, "Close1", QStringLiteral("&Close"), {}, &TForm1::Close1Click);
    addAction(file, "CloseAll1", QStringLiteral("Close All..."), {}, &TForm1::CloseAll1Click);
    file->addSeparator();
    m_reopenMenu = file->addMenu(QStringLiteral("Re-open..."));
    m_reopenMenu->setObjectName(QStringLiteral("Reopen1"));
    addAction(file, "ReOpenTaskManager1", QStringLiteral("Re-Open Task Manager"), {}, &TForm1::ReOpenTaskManager1Click);
    addAction(file, "SaveAsTemplate1", QStringLiteral("Save As Template"), {}, &TForm1::SaveAsTemplate1Click);
    file->addSeparator();
    QMenu *print = file->addMenu(QStringLiteral("Print..."));
    print->setObjectName(QStringLiteral("Print1"));
    addAction(print, "PrintAll1", QStringLiteral("Print Selected File"), {}, &TForm1::PrintAll1Click);
    addAction(print, "PrintSelectedBlock1", QStringLiteral("Print Selected Block"), {}, &TForm1::PrintSelectedBlock1Click);
    addAction(print, "PrintAllOpenFiles1", QStringLiteral("Print All Open Files"), {}, &TForm1::PrintAllOpenFiles1Click);
    addAction(file, "PrinterSetup1", QStringLiteral("Printer Setup"), {}, &TForm1::PrinterSetup1Click);
    file->addSeparator();
    m_previewInBrowser = file->addMenu(QStringLiteral("Preview in Browser..."));
    m_previewInBrowser->setObjectName(QStringLiteral("PreviewinBrowser1"));
    // Opening the list writes the preview file every listed browser is given.
    // A box shown now would close the menus as they open: a failed write is
    // told when a browser is chosen.
    connect(m_previewInBrowser, &QMenu::aboutToShow, this, [this] {
        if (TMemoSource *buffer = m_documents->currentBuffer()) {
            QString error;
            writePreviewFile(buffer, &error);
        }
    });
    file->addSeparator();
    addAction(file, "Exit1", QStringLiteral("E&xit"), {}, &TForm1::Exit1Click);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    QAction *undo = addAction(edit, "Undo1", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm1::Undo1Click);
    QAction *redo = addAction(edit, "Redo1", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                              &TForm1::Redo1Click);
    edit->addSeparator();
    QAction *cut = addAction(edit, "Cut1", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), &TForm1::Cut1Click);
    QAction *copy = addAction(edit, "Copy1", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &TForm1::Copy1Click);
    QAction *paste = addAction(edit, "Paste1", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &TForm1::Paste1Click);
    addAction(edit, "Delete1", QStringLiteral("Delete"), {}, &TForm1::Delete1Click);
    edit->addSeparator();
    addAction(edit, "SelectAll1", QStringLiteral("Select All..."), QKeySequence(Qt::CTRL | Qt::Key_A), &TForm1::SelectAll1Click);
    addAction(edit, "QuoteBlock1", QStringLiteral("Quote Block"), {}, &TForm1::QuoteBlock1Click);
    edit->addSeparator();
    m_wordWrapMenu = addAction(edit, "WordWrap1", QStringLiteral("Word Wrap"), {}, &TForm1::WordWrap1Click);
    m_wordWrapMenu->setCheckable(true);
    m_tagCaseMenu = edit->addAction(QStringLiteral("Insert Tags in Lowercase"));
    m_tagCaseMenu->setObjectName(QStringLiteral("InsertTagsinlowercase1"));
    m_tagCaseMenu->setCheckable(true);
    m_tagCaseMenu->setChecked(true);
    connect(m_tagCaseMenu, &QAction::triggered, this, [this](bool on) {
        InsertInLowerCase(on);
        saveOptions2Keys();
    });

    QMenu *search = menuBar()->addMenu(QStringLiteral("&Search"));
    search->setObjectName(QStringLiteral("Search1"));
    QAction *find = addAction(search, "Find1", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F), &TForm1::Find1Click);
    addAction(search, "FindNext1", QStringLiteral("Find Next..."), QKeySequence(Qt::Key_F3), &TForm1::FindNext1Click);
    addAction(search, "Replace1", QStringLiteral("Replace"), QKeySequence(Qt::CTRL | Qt::Key_H), &TForm1::Replace1Click);
    addAction(search, "GotoLineNumber1", QStringLiteral("Goto Line Number"), QKeySequence(Qt::CTRL | Qt::Key_G),
              &TForm1::GotoLineNumber1Click);

    QMenu *insert = menuBar()->addMenu(QStringLiteral("&Insert"));
    insert->setObjectName(QStringLiteral("Insert1"));
    QMenu *format = menuBar()->addMenu(QStringLiteral("For&mat"));
    format->setObjectName(QStringLiteral("Format1"));
    QMenu *tags = menuBar()->addMenu(QStringLiteral("T&ags"));
    tags->setObjectName(QStringLiteral("Tags1"));
    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("Tools1"));

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QMenu *parser = options->addMenu(QStringLiteral("Parser"));
    parser->setObjectName(QStringLiteral("Parser1"));
    auto *parserGroup = new QActionGroup(this);
    for (const SyntaxModeInfo &mode : syntaxModes()) {
        QAction *a = parser->addAction(QLatin1String(mode.menuCaption));
        m_parserActions.append(a);
        a->setObjectName(QString::fromLatin1(mode.handler).chopped(5));  // "HTML3Click" -> "HTML3"
        a->setCheckable(true);
        a->setChecked(mode.parser == m_syntaxMode);
        parserGroup->addAction(a);
        const SyntaxParser p = mode.parser;
        connect(a, &QAction::triggered, this, [this, p] { chooseSyntaxMode(p); });
    }
    addAction(options, "EditorPreferences1", QStringLiteral("General Preferences"), {}, &TForm1::EditorPreferences1Click);
    addAction(options, "EnvironmentOptions1", QStringLiteral("Environment Options"), {}, &TForm1::EnvironmentOptions1Click);
    addAction(options, "ResetEditorSettingsToDefault1", QStringLiteral("Reset Editor Defaults"), {},
              &TForm1::ResetEditorSettingsToDefault1Click);

    m_pluginsMenu = menuBar()->addMenu(QStringLiteral("Plugins"));
    m_pluginsMenu->setObjectName(QStringLiteral("Plugins1"));

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    const struct { const char *name; const char *caption; QKeySequence shortcut; } views[] = {
        {"BigButtonBar1", "Large Button Bar", {}},
        {"ControlBar1", "Control Bar", {}},
        {"PureTagBars1", "Pure Tag Bars", {}},
        {"Sidebar1", "Sidebar", {}},
        {"ColorBar1", "Color Bar", {}},
        {"SpecialCharactersList1", "Special Character List", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X)},
        {"ShowDocumentGutter1", "Show Document Gutter", {}},
    };
    for (const auto &v : views) {
        QAction *a = view->addAction(QLatin1String(v.caption));
        a->setObjectName(QLatin1String(v.name));
        a->setCheckable(true);
        a->setShortcut(v.shortcut);
        QWidget *region = regionFor(v.name);
        a->setChecked(region ? !region->isHidden() : true);
        const char *name = v.name;
        connect(a, &QAction::triggered, this, [this, name] { toggleViewOption(name); });
    }
    m_gutterMenu = viewAction("ShowDocumentGutter1");
    view->addSeparator();
    m_fullScreenMenu = view->addAction(QStringLiteral("Full Screen Mode"));
    m_fullScreenMenu->setObjectName(QStringLiteral("FullScreenMode1"));
    m_fullScreenMenu->setCheckable(true);
    // The mark follows the mode, which the handler sets itself.
    connect(m_fullScreenMenu, &QAction::triggered, this, [this] {
        m_fullScreenMenu->setChecked(!m_fullScreenMenu->isChecked());
        toggleFullScreen();
    });

    view->addSeparator();
    addAction(view, "NextPane1", QStringLiteral("Next Pane"), QKeySequence(Qt::Key_F6), &TForm1::focusNextPaneForward);
    addAction(view, "PreviousPane1", QStringLiteral("Previous Pane"), QKeySequence(Qt::SHIFT | Qt::Key_F6),
              &TForm1::focusNextPaneBackward);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    addAction(help, "InternalDebugger1", QStringLiteral("Internal Debugger (Beta Only)"), {}, &TForm1::InternalDebugger1Click);

    auto *bar = new QToolBar(QStringLiteral("Standard"), m_controlBar);
    m_controlBar->layout()->addWidget(bar);
    bar->setObjectName(QStringLiteral("StandardToolbar"));
    bar->setIconSize(QSize(16, 16));
    // The buttons share their menu items' actions but have names of their
    // own, so automation reaches a button by the name it is known by.
    // The desktop theme's icons; where it has none, the style's picture or
    // the program's own drawing of the same thing.
    const struct { QAction *action; const char *themeName; QIcon fallback; const char *hint; const char *name; } buttons[] = {
        {newDoc, "document-new", standardIcon(QStyle::SP_FileIcon), "New", "ToolbarButtonNew"},
        {open, "document-open", standardIcon(QStyle::SP_DialogOpenButton), "Open", "ToolbarButtonOpen"},
        {save, "document-save", standardIcon(QStyle::SP_DialogSaveButton), "Save", "ToolbarButtonSave"},
        {cut, "edit-cut", ownActionIcon(QStringLiteral("edit-cut")), "Cut", "ToolbarButton974"},
        {copy, "edit-copy", ownActionIcon(QStringLiteral("edit-copy")), "Copy", "ToolbarButton975"},
        {paste, "edit-paste", ownActionIcon(QStringLiteral("edit-paste")), "Paste", "ToolbarButton976"},
        {undo, "edit-undo", standardIcon(QStyle::SP_ArrowBack), "Undo", "ToolbarButton978"},
        {redo, "edit-redo", standardIcon(QStyle::SP_ArrowForward), "Redo", "ToolbarButtonRedo"},
        {find, "edit-find", ownActionIcon(QStringLiteral("edit-find")), "Find", "ToolbarButton9710"},
    };
    for (const auto &b : buttons) {
        b.action->setIcon(themeIcon(QLatin1String(b.themeName), b.fallback));
        b.action->setToolTip(QLatin1String(b.hint));
        bar->addAction(b.action);
        if (QWidget *button = bar->widgetForAction(b.action))
            button->setObjectName(QLatin1String(b.name));
    }
}

void TForm1::buildPopupMenus()
{
    auto plain = [this](QMenu *menu, const QString &caption, auto handler) {
        QAction *a = menu->addAction(caption);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    m_bookmarkPopup = new QMenu(this);
    m_bookmarkPopup->setObjectName(QStringLiteral("BookMarkPopup"));
    QMenu *toggle = m_bookmarkPopup->addMenu(QStringLiteral("Toggle Bookmark"));
    QMenu *go = m_bookmarkPopup->addMenu(QStringLiteral("Goto Bookmark"));
    for (int n = 1; n <= 9; ++n) {
        QAction *t = plain(toggle, QStringLiteral("Toggle Bookmark %1").arg(n), [this, n] { toggleBookmark(n); });
        t->setObjectName(n == 1 ? QStringLiteral("BookMarkM1") : QStringLiteral("BookmarkM%1").arg(n));
        t->setCheckable(true);
        m_bookmarkToggles.append(t);
        plain(go, QStringLiteral("Goto Bookmark %1").arg(n), [this, n] { goToBookmark(n); });
    }
    // The marks show the bookmarks of the document on view, however they were set.
    connect(toggle, &QMenu::aboutToShow, this, &TForm1::updateBookmarkMarks);

    m_editorMenu = new QMenu(this);
    m_editorMenu->setObjectName(QStringLiteral("EditorPopup"));
    plain(m_editorMenu, QStringLiteral("Cut"), &TForm1::Cut1Click);
    plain(m_editorMenu, QStringLiteral("Copy"), &TForm1::Copy1Click);
    plain(m_editorMenu, QStringLiteral("Paste"), &TForm1::Paste1Click);
    m_editorMenu->addSeparator();
    plain(m_editorMenu, QStringLiteral("Select All"), &TForm1::SelectAll1Click);
    m_editorMenu->addSeparator();
    m_wordWrapPopup = plain(m_editorMenu, QStringLiteral("Word Wrap"), &TForm1::WordWrap1Click);
    m_wordWrapPopup->setObjectName(QStringLiteral("WordWrap2"));
    m_wordWrapPopup->setCheckable(true);
    // A checkable item has flipped its mark before the handler runs: the
    // handler sets mark, button and editor from the state it inverts.
    m_hiddenCharsPopup = plain(m_editorMenu, QStringLiteral("Show all characters..."),
                               [this] { setHiddenCharacters(!(m_memo->options() & moDrawSpecialSymbols)); });
    m_hiddenCharsPopup->setObjectName(QStringLiteral("Showallcharacters1"));
    m_hiddenCharsPopup->setCheckable(true);
    QMenu *toggle2 = m_editorMenu->addMenu(QStringLiteral("Toggle Bookmark"));
    QMenu *go2 = m_editorMenu->addMenu(QStringLiteral("Goto Bookmark"));
    for (int n = 1; n <= 9; ++n) {
        plain(toggle2, QStringLiteral("Bookmark %1").arg(n), [this, n] { toggleBookmark(n); });
        plain(go2, QStringLiteral("Bookmark %1").arg(n), [this, n] { goToBookmark(n); });
    }
    m_editorMenu->addSeparator();
    plain(m_editorMenu, QStringLiteral("Close page"), &TForm1::Close1Click);
    connect(m_memo->widget(), &QWidget::customContextMenuRequested, this, &TForm1::showEditorMenu);

    m_tabMenu = new QMenu(this);
    m_tabMenu->setObjectName(QStringLiteral("TabPopup"));
    plain(m_tabMenu, QStringLiteral("New"), &TForm1::NewWebDocument1Click);
    plain(m_tabMenu, QStringLiteral("Open..."), &TForm1::Open1Click);
    plain(m_tabMenu, QStringLiteral("Save"), &TForm1::Save1Click);
    plain(m_tabMenu, QStringLiteral("Save as"), &TForm1::SaveAs1Click);
    plain(m_tabMenu, QStringLiteral("Save all..."), &TForm1::SaveAll1Click);
    plain(m_tabMenu, QStringLiteral("Close file"), &TForm1::Close1Click);
}

} // namespace Quorvant
