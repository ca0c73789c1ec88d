#include "taskmanager.h"

#include "appglobals.h"
#include "applicationshell.h"
#include "datafolder.h"
#include "debugmenu.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "startwindowtexts.h"
#include "templates.h"
#include "veskfilesystems.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace Quorvant {

using namespace StartWindowText;

// A dialog to the window manager, so that it stays above the main window it
// is made transient for (see showManager()).
TTaskManager::TTaskManager(TApplicationShell *shell)
    : QWidget(nullptr, Qt::Dialog)
    , m_shell(shell)
{
    setObjectName(QStringLiteral("TaskManager"));
    setWindowTitle(TaskManagerCaption);
    resize(640, 420);

    auto *layout = new QGridLayout(this);
    auto *commands = new QVBoxLayout;
    auto *title = new QLabel(QStringLiteral("<b>What would you like to do?</b>"), this);
    commands->addWidget(title);
    const struct { const char *name; const QString &caption; void (TTaskManager::*slot)(); } buttons[] = {
        {"NewDefaultPage", NewDefaultPageCommand, &TTaskManager::createDefaultPage},
        {"NewBlankPage", NewBlankPageCommand, &TTaskManager::createBlankPage},
        {"OpenOtherFile", OpenOtherFileCommand, &TTaskManager::openFileNotDisplayed},
        {"HelpMe", HelpMeCommand, &TTaskManager::helpMe},
        {"ViewManual", ManualCommand, &TTaskManager::viewManual},
        {"SetupWebsite", WebsiteSetupCommand, &TTaskManager::setupWebsite},
        {"ExitVesk", ExitCommand, &TTaskManager::exitProgram},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(b.caption, this);
        button->setObjectName(QLatin1String(b.name));
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 8px;"));
        connect(button, &QPushButton::clicked, this, b.slot);
        commands->addWidget(button);
    }
    commands->addStretch(1);
    layout->addLayout(commands, 0, 0, 2, 1);

    auto *templatesBox = new QGroupBox(TemplatesListCaption, this);
    auto *templatesLayout = new QVBoxLayout(templatesBox);
    m_templates = new QListWidget(templatesBox);
    m_templates->setObjectName(QStringLiteral("TemplatesListView"));
    m_templates->setContextMenuPolicy(Qt::CustomContextMenu);
    templatesLayout->addWidget(m_templates);
    layout->addWidget(templatesBox, 0, 1);
    connect(m_templates, &QListWidget::itemDoubleClicked, this, [this] { openSelectedTemplate(); });
    m_templatesMenu = new QMenu(this);
    m_templatesMenu->addAction(OpenTemplateCommand, this, &TTaskManager::openSelectedTemplate);
    m_templatesMenu->addAction(DeleteTemplateCommand, this, &TTaskManager::deleteSelectedTemplate);
    connect(m_templates, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_templatesMenu->popup(m_templates->viewport()->mapToGlobal(pos)); });

    auto *recentBox = new QGroupBox(MostRecentListCaption, this);
    auto *recentLayout = new QVBoxLayout(recentBox);
    m_mostRecent = new QTreeWidget(recentBox);
    m_mostRecent->setObjectName(QStringLiteral("MostRecentListView"));
    m_mostRecent->setRootIsDecorated(false);
    m_mostRecent->setHeaderLabels({FileNameColumn, PathColumn});
    // The name takes a third, the path the rest: a long one keeps its start
    // and its end (the tooltip has it whole) instead of running off the side.
    m_mostRecent->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_mostRecent->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_mostRecent->header()->setStretchLastSection(true);
    m_mostRecent->setColumnWidth(0, 110);
    m_mostRecent->setTextElideMode(Qt::ElideMiddle);
    recentLayout->addWidget(m_mostRecent);
    layout->addWidget(recentBox, 1, 1);
    connect(m_mostRecent, &QTreeWidget::itemDoubleClicked, this, [this] { openSelectedRecentFile(); });
    layout->setColumnStretch(1, 1);
}

TTaskManager::~TTaskManager() = default;

void TTaskManager::addPanel(QWidget *panel)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    panel->setParent(this);
    grid->addWidget(panel, grid->rowCount(), 0, 1, 2);
    // Room for it below what was there.
    resize(width(), height() + panel->sizeHint().height());
}

void TTaskManager::showManager()
{
    TForm1 *form = m_shell->Form1();
    if (form)
        form->setEnabled(false);
    if (!m_recent) {
        m_recent = std::make_unique<TRecentFiles>(DataFolder::path(), debugTarget());
        gRecentFiles = m_recent.get();
        connect(m_recent.get(), &TRecentFiles::changed, this, &TTaskManager::refillRecent);
        if (form)
            form->bindRecentFiles(m_recent.get());
        refillRecent();
    }
    refillTemplates();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The main window waits, disabled, while this window is up: the window
    // manager keeps it above the main window, so a click on the main window
    // never hides it behind.
    if (form) {
        winId();
        form->winId();
        windowHandle()->setTransientParent(form->windowHandle());
    }
    show();
    raise();
    activateWindow();
}

DebugOut TTaskManager::debugTarget() const
{
    return m_shell->DebugMenu() ? m_shell->DebugMenu()->target() : DebugOut();
}

void TTaskManager::leaveForDocument()
{
    if (TForm1 *form = m_shell->Form1()) {
        form->setEnabled(true);
        form->activateWindow();
    }
    hide();
}

void TTaskManager::refillTemplates()
{
    m_templates->clear();
    // The store says on the debug window when a template cannot be read.
    TTemplates templates(DataFolder::path(), debugTarget());
    for (const TTemplateEntry &row : templates.ShowAllInListView())
        m_templates->addItem(row.Name);
}

void TTaskManager::refillRecent()
{
    m_mostRecent->clear();
    if (!m_recent)
        return;
    for (const TRecentRow &row : m_recent->shownRows()) {
        auto *item = new QTreeWidgetItem(m_mostRecent, {row.FileName, row.Path});
        item->setToolTip(0, row.Path);
        item->setToolTip(1, row.Path);
    }
}

void TTaskManager::createDefaultPage()
{
    TForm1 *form = m_shell->Form1();
    form->setEnabled(true);
    form->documents()->newWebDocument();
    leaveForDocument();
}

void TTaskManager::createBlankPage()
{
    TForm1 *form = m_shell->Form1();
    form->setEnabled(true);
    form->documents()->blankDocument();
    leaveForDocument();
}

void TTaskManager::openFileNotDisplayed()
{
    TForm1 *form = m_shell->Form1();
    const QStringList files = form->documents()->askForFilesToOpen();
    if (files.isEmpty())
        return;
    const QString file = files.first();
    if (!QFileInfo(file).isFile()) {
        MessageService::error(this, MsgSelectedFileMissing);
        return;
    }
    form->setEnabled(true);
    form->documents()->openOrShow(file);
    leaveForDocument();
}

void TTaskManager::openSelectedTemplate()
{
    QListWidgetItem *item = m_templates->currentItem();
    if (!item || !item->isSelected())
        return;
    TForm1 *form = m_shell->Form1();
    form->setEnabled(true);
    form->documents()->newWebDocument();
    form->loadTemplateIntoEditor(item->text());
    leaveForDocument();
}

void TTaskManager::deleteSelectedTemplate()
{
    QListWidgetItem *item = m_templates->currentItem();
    if (!item || !item->isSelected())
        return;
    TTemplates templates(DataFolder::path(), debugTarget());
    if (templates.DeleteTemplate(item->text()))
        refillTemplates();
    else
        MessageService::show(this, MsgCouldNotRemoveTemplate, MessageIcon::Information);
}

void TTaskManager::openSelectedRecentFile()
{
    QTreeWidgetItem *item = m_mostRecent->currentItem();
    if (!item)
        return;
    const QString path = item->text(1);
    switch (TRecentFiles::checkListViewPath(path)) {
    case TRecentFileCheck::Nothing:
        return;
    case TRecentFileCheck::NotFound:
        MessageService::information(this, MsgUnableToOpenRecentFile);
        return;
    case TRecentFileCheck::Open:
        break;
    }
    TForm1 *form = m_shell->Form1();
    form->setEnabled(true);
    form->documents()->openOrShow(path);
    leaveForDocument();
}

// The manual shows in the main window: the Task Manager steps aside and the
// window is enabled, or the page would sit behind it out of reach.
void TTaskManager::helpMe()
{
    leaveForDocument();
    m_shell->Form1()->ShowHelpFile(TaskManagerHelpTopic);
}

void TTaskManager::viewManual()
{
    leaveForDocument();
    m_shell->Form1()->ShowHelpFile(QStringLiteral("MAIN"));
}

void TTaskManager::setupWebsite()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(DataFolder::file(QStringLiteral("Help/WebHosting.htm"))));
}

void TTaskManager::exitProgram()
{
    m_shell->Form1()->close();
}

void TTaskManager::closeEvent(QCloseEvent *event)
{
    TForm1 *form = m_shell->Form1();
    if (form && form->documents()->PagesOpen() > 0 && !gClosingNow) {
        form->setEnabled(true);
        hide();
        event->ignore();
        return;
    }
    if (form)
        form->setEnabled(true);
    event->accept();
    m_shell->finalClose();
}

void TTaskManager::freeLongLivedObjects()
{
    // The recent files store writes "Recent.Dat" as it goes.
    if (gRecentFiles == m_recent.get())
        gRecentFiles = nullptr;
    m_recent.reset();
}

} // namespace Quorvant
