#include "tlocalfilespage.h"

#include "html5markup.h"
#include "wizardsupport.h"

#include "mainwindow.h"
#include "tdcmemo.h"
#include "documentset.h"
#include "tmemosource.h"

#include "appglobals.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tagplacement.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace Quorvant {

TLocalFilesPage::TLocalFilesPage(TForm1 &form, QWidget *page)
    : QWidget(page)
    , m_form(form)
{
    setObjectName(QStringLiteral("LocalFiles"));
    auto *pageLayout = page->layout() ? page->layout() : new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(this);

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("ShellTree1"));
    m_tree->setAccessibleName(QStringLiteral("Folders"));
    m_tree->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        showFolder(m_folderModel->filePath(index));
        if (gSetupTools)
            (void)gSetupTools->SaveLastMainDirectory(folder());
    });

    m_fileModel = new QFileSystemModel(this);
    // Folders too: the list's root must pass the filter to be shown.
    m_fileModel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ShellList1"));
    m_list->setAccessibleName(QStringLiteral("Files"));
    m_list->setModel(m_fileModel);
    m_list->setRootIsDecorated(false);
    m_list->setColumnWidth(0, 150);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("LocalFilesPopup"));
    const struct { const char *name; const char *caption; LocalInsertKind kind; } items[] = {
        {"Insertasimage1", "Insert as image", LocalInsertKind::Image},
        {"Insertasembededfile1", "Insert as embeded file", LocalInsertKind::EmbeddedFile},
        {"InsertasFlashfile1", "Insert as Flash file", LocalInsertKind::Flash},
        {"InsertasShockwavefile1", "Insert as Shockwave file", LocalInsertKind::Shockwave},
    };
    for (const auto &item : items) {
        QAction *a = m_popup->addAction(QLatin1String(item.caption));
        a->setObjectName(QLatin1String(item.name));
        const LocalInsertKind kind = item.kind;
        connect(a, &QAction::triggered, this, [this, kind] { insertSelected(kind); });
    }
    m_popup->setDefaultAction(m_popup->actions().constFirst());
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_list->viewport()->mapToGlobal(pos)); });
    connect(m_list, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        const QString path = m_fileModel->filePath(index);
        if (m_fileModel->isDir(index))
            showFolder(path);
        else
            m_form.documents()->openOrShow(path);
    });

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_list);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void TLocalFilesPage::showFolder(const QString &folder)
{
    const QModelIndex index = m_folderModel->index(folder);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_list->setRootIndex(m_fileModel->setRootPath(folder));
}

QString TLocalFilesPage::folder() const
{
    return m_fileModel->rootPath();
}

// The folders are read only once the page is first shown (not at start-up,
// and only the one folder): the settings, read after the page was made, name
// it, else the home folder.
void TLocalFilesPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    m_folderModel->setRootPath(QDir::rootPath());
    const QString stored = gSetupTools ? gSetupTools->LoadLastMainDirectory() : QString();
    showFolder(!stored.isEmpty() && QFileInfo(stored).isDir() ? stored : QDir::homePath());
}

QString TLocalFilesPage::selectedFile() const
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->selectionModel()->isSelected(current) || m_fileModel->isDir(current))
        return {};
    return m_fileModel->filePath(current.siblingAtColumn(0));
}

void TLocalFilesPage::selectFile(const QString &path)
{
    const QModelIndex index = m_fileModel->index(path);
    m_list->setCurrentIndex(index);
}

void TLocalFilesPage::insertSelected(LocalInsertKind kind)
{
    const QString file = selectedFile();
    TMemoSource *buffer = m_form.documents()->currentBuffer();
    if (file.isEmpty() || !buffer)
        return;
    const QString link = convertfilename(file, gCurrentFilePath);
    const MarkupPair texts = wizardMarkup() == MarkupStyle::Html5 ? html5LocalFileTexts(kind, link) : localFileTexts(kind, link);
    ptext(buffer, texts.start, texts.end);
    if (m_form.tabholder()->currentIndex() == 0)
        m_form.DCMemo1()->setFocus();
}

} // namespace Quorvant
