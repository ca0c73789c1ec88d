#include "tprojectspage.h"

#include "appglobals.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "skippedlinesreport.h"
#include "textfileformat.h"
#include "tnewprojectdialog.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QGridLayout>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

const QString Extension = QStringLiteral(".QPJ");

QAction *makeAction(QObject *owner, const char *name, const QString &caption)
{
    auto *a = new QAction(caption, owner);
    a->setObjectName(QLatin1String(name));
    return a;
}

} // namespace

TProjectsPage::TProjectsPage(TForm1 &form, const QString &dataFolder, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
    , m_store(dataFolder, form.debugTarget())
{
    setObjectName(QStringLiteral("ProjectsPanel"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FlatEdit1"));
    m_field->setAccessibleName(QStringLiteral("Project Name"));
    m_field->setReadOnly(true);
    m_field->setToolTip(QStringLiteral("Project Name"));
    m_field->setPlaceholderText(QStringLiteral("Project Name"));
    column->addWidget(m_field);

    // Two rows of three, so the narrow sidebar shows every button.
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ProjectToolBar"));
    auto *grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    const QString icons[] = {QStringLiteral("window-close"), QStringLiteral("document-open"),
                             QStringLiteral("document-new"), QStringLiteral("list-remove"),
                             QStringLiteral("list-add"), QStringLiteral("go-jump")};
    struct Button { const char *name; const char *tip; const char *text; void (TProjectsPage::*slot)(); };
    const Button buttons[] = {
        {"CloseProjectButton", "Close project...", "Close", &TProjectsPage::closeProject},
        {"OpenProjectButton", "Open existing project", "Open", &TProjectsPage::openProject},
        {"NewProjectButton", "Create new project", "New", &TProjectsPage::createProject},
        {"RemoveFileButton", "Remove file from project...", "Remove", &TProjectsPage::removeSelectedFile},
        {"AddFileButton", "Add file to project...", "Add", &TProjectsPage::addCurrentFile},
        {"OpenFileButton", "Open file within project...", "Go", &TProjectsPage::openSelectedFile},
    };
    int i = 0;
    for (const Button &b : buttons) {
        QAction *a = makeAction(this, b.name, QLatin1String(b.text));
        a->setToolTip(QLatin1String(b.tip));
        a->setIcon(QIcon::fromTheme(icons[i]));
        connect(a, &QAction::triggered, this, b.slot);
        auto *button = new QToolButton(bar);
        button->setDefaultAction(a);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        grid->addWidget(button, i / 3, i % 3);
        if (i >= 3)
            m_projectActions.append(a);
        ++i;
    }
    column->addWidget(bar);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    m_list->setAccessibleName(QStringLiteral("Project files"));
    m_list->setHeaderLabels({QStringLiteral("FileName"), QStringLiteral("Todo List"), QStringLiteral("File Path")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(m_list, 1);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &TProjectsPage::openSelectedFile);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("ProjectPopup"));
    auto add = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *a = makeAction(this, name, caption);
        connect(a, &QAction::triggered, this, slot);
        menu->addAction(a);
        return a;
    };
    add(m_menu, "Createanewproject1", QStringLiteral("Create a new project."), &TProjectsPage::createProject);
    add(m_menu, "OpenProject1", QStringLiteral("Open Project"), &TProjectsPage::openProject);
    add(m_menu, "CloseProject1", QStringLiteral("Close Project"), &TProjectsPage::closeProject);
    QMenu *todo = m_menu->addMenu(QStringLiteral("Change Project \"Todo\""));
    todo->setObjectName(QStringLiteral("ChangeProjectTodo1"));
    for (const char *status : {"Creating", "1/2 Complete", "Complete"}) {
        const QString caption = QLatin1String(status);
        QAction *a = makeAction(this, "", caption);
        a->setObjectName(QStringLiteral("Todo%1").arg(QString(caption).remove(u' ').remove(u'/')));
        connect(a, &QAction::triggered, this, [this, caption] { setTodo(caption); });
        todo->addAction(a);
    }
    add(todo, "TodoCustom", QStringLiteral("Custom"), &TProjectsPage::customTodo);
    add(m_menu, "Addcurrentfiletoproject1", QStringLiteral("Add current file to project"), &TProjectsPage::addCurrentFile);
    add(m_menu, "Openselectedfile1", QStringLiteral("Open selected file"), &TProjectsPage::openSelectedFile);
    add(m_menu, "Removeselectedfile1", QStringLiteral("Remove selected file"), &TProjectsPage::removeSelectedFile);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_menu->popup(m_list->viewport()->mapToGlobal(p)); });

    connect(m_field, &QLineEdit::textChanged, this, &TProjectsPage::updateButtons);
    updateButtons();
}

void TProjectsPage::updateButtons()
{
    for (QAction *a : std::as_const(m_projectActions))
        a->setEnabled(!m_field->text().isEmpty());
}

QList<TProjectRow> TProjectsPage::rows() const
{
    QList<TProjectRow> result;
    result.reserve(m_list->topLevelItemCount());
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        result.append({item->text(0), item->text(1), item->text(2)});
    }
    return result;
}

void TProjectsPage::showRows(const QList<TProjectRow> &rows)
{
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const TProjectRow &r : rows)
        items.append(new QTreeWidgetItem(QStringList{r.FileName, r.TodoStatus, r.FilePath}));
    m_list->addTopLevelItems(items);
}

void TProjectsPage::save()
{
    if (!m_store.SaveProjectFile(m_field->text(), rows()))
        MessageService::error(this, QStringLiteral("Unable to save project file %1.").arg(m_field->text()));
}

void TProjectsPage::createProject()
{
    auto *dialog = new TNewProjectDialog([this](const TNewProjectValues &v) { return finishCreate(v); }, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

bool TProjectsPage::finishCreate(const TNewProjectValues &v)
{
    const QString fileName = v.ProjectName + Extension;
    if (!TLocalProjects::isValidTitle(v.ProjectName)) {
        MessageService::information(this, QStringLiteral("A project title cannot contain \"/\" or be \".\" or \"..\"."));
        return false;
    }
    if (QFileInfo::exists(m_store.projectPath(fileName))
        && MessageService::show(this, QStringLiteral("A project named %1 already exists. Do you want to replace it?").arg(fileName),
                                MessageIcon::Warning, YesNo) != mbYes)
        return false;
    QList<TProjectRow> empty;
    if (m_store.NewProjectFile(fileName, &empty, v.ProjectName, v.WebsiteType, v.Language,
                               convertLineEnds(v.Notes, LineEndStyle::CRLF))) {
        showRows({});
        m_field->setText(fileName);
    } else {
        MessageService::error(this, QStringLiteral("Unable to create project file."));
    }
    return true;
}

void TProjectsPage::openProject()
{
    const QStringList chosen = MessageService::getOpenFileNames(
        this, QStringLiteral("Open existing project"), m_store.projectsFolder(),
        {{QStringLiteral("Project Files"), QStringLiteral("*.QPJ")}, {QStringLiteral("All Files"), QStringLiteral("*")}});
    if (chosen.isEmpty())
        return;
    QList<TProjectRow> loaded;
    if (m_store.LoadProjectFile(chosen.first(), &loaded)) {
        showRows(loaded);
        m_field->setText(QFileInfo(chosen.first()).fileName());
        reportSkippedLines(m_store.skippedLines(), m_form.debugTarget(), m_form.StatusBar1());
    } else {
        MessageService::information(this, QStringLiteral("Unable to open selected project file."));
    }
}

void TProjectsPage::closeProject()
{
    m_field->clear();
    m_list->clear();
}

void TProjectsPage::addCurrentFile()
{
    if (m_field->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("You must create or load a project before you can add a file to it."));
        return;
    }
    if (gCurrentFilePath.isEmpty() || !m_form.documents()->currentBuffer()) {
        MessageService::information(this, QStringLiteral("You must save your page before you can add it to a project."));
        return;
    }
    m_list->addTopLevelItem(new QTreeWidgetItem(
        QStringList{QFileInfo(gCurrentFilePath).fileName(), QStringLiteral("Creating"), gCurrentFilePath}));
    save();
}

static const QString NoItemForTodo = QStringLiteral(
    "You must select a project item before you can rename its \"todo\" list item.");

void TProjectsPage::setTodo(const QString &status)
{
    if (QTreeWidgetItem *item = m_list->currentItem(); item && item->isSelected())
        item->setText(1, status);
    else
        MessageService::information(this, NoItemForTodo);
    if (!m_field->text().isEmpty())
        save();
}

void TProjectsPage::customTodo()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        MessageService::information(this, NoItemForTodo);
        return;
    }
    QString note = QStringLiteral("Creating");
    if (!MessageService::getText(this, QStringLiteral("Custom Project Note"),
                                 QStringLiteral("Please enter your custom project note:"), &note))
        return;
    item->setText(1, note);
    if (!m_field->text().isEmpty())
        save();
}

void TProjectsPage::openSelectedFile()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        MessageService::information(this, QStringLiteral("You must select a file to open from the current project"));
        return;
    }
    const QString path = item->text(2);
    if (!QFileInfo(path).isFile() || !m_form.documents()->openOrShow(path))
        MessageService::information(
            this, QStringLiteral("The file you selected no longer exists or we were unable to open the file."));
}

void TProjectsPage::removeSelectedFile()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        MessageService::information(this, QStringLiteral("You must select a project file before you can remove it"));
        return;
    }
    if (MessageService::show(this, QStringLiteral("Are you sure you want to delete the selected file from the current project?"),
                             MessageIcon::Information, YesNo) != mbYes)
        return;
    delete item;
    if (!m_field->text().isEmpty())
        save();
}

} // namespace Quorvant
