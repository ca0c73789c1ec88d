#include "tcodesnippetpage.h"

#include "documentset.h"
#include "mainwindow.h"
#include "standardicons.h"
#include "messageservice.h"
#include "scriptsglobals.h"
#include "settingsglobals.h"
#include "syntaxparsers.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "tmnucodesnippet.h"
#include "tsnippetlist.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

const QString CursorHere = QStringLiteral("[CURSOR-HERE]");
const QList<FileFilter> SnippetFileFilters{{QStringLiteral("Code Snippet Files"), QStringLiteral("*.Dat")},
                                           {QStringLiteral("All Files (*.*)"), QStringLiteral("*")}};

QAction *makeAction(QWidget *owner, const char *name, const QString &caption, QStyle::StandardPixmap icon)
{
    auto *a = new QAction(standardIcon(icon), caption, owner);
    a->setObjectName(QLatin1String(name));
    return a;
}

} // namespace

TCodeSnippetPage::TCodeSnippetPage(TForm1 &form, const QString &dataFile, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
    , m_store(dataFile, form.debugTarget(), [this](const QString &text) { MessageService::error(this, text); })
{
    setObjectName(QStringLiteral("CodeSnippetPanel"));
    gCodeSnippets = &m_store;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("CodeSnippetToolbar"));
    bar->setIconSize(QSize(16, 16));
    QAction *create = makeAction(this, "CreateCodeSnippetButton", QStringLiteral("Create new code snippet..."),
                                 QStyle::SP_FileIcon);
    QAction *edit = makeAction(this, "EditCodeSnippetButton", QStringLiteral("Edit the selected code snippet..."),
                               QStyle::SP_FileDialogDetailedView);
    QAction *remove = makeAction(this, "DeleteCodeSnippetButton", QStringLiteral("Delete Code Snippet..."),
                                 QStyle::SP_TrashIcon);
    QAction *import = makeAction(this, "ImportCodeSnippetsButton", QStringLiteral("Import code snippets..."),
                                 QStyle::SP_DialogOpenButton);
    QAction *exportAll = makeAction(this, "ExportCodeSnippetsButton", QStringLiteral("Export code snippets..."),
                                    QStyle::SP_DialogSaveButton);
    for (QAction *a : {create, edit, remove})
        bar->addAction(a);
    bar->addSeparator();
    bar->addAction(import);
    bar->addAction(exportAll);
    layout->addWidget(bar);

    auto *split = new QSplitter(Qt::Vertical, this);
    m_list = new TSnippetList([this](int row) { return TCodeSnippits::insertionText(bodyOfRow(row)); }, split);
    m_list->setObjectName(QStringLiteral("ListView5"));
    m_list->setAccessibleName(QStringLiteral("Code snippets"));
    m_preview = new QsciScintilla(split);
    m_preview->setObjectName(QStringLiteral("DCMemo2"));
    m_preview->setAccessibleName(QStringLiteral("Snippet preview"));
    m_preview->setLexer(createLexer(SyntaxParser::HTML, m_preview));
    m_preview->setUtf8(true);
    m_preview->setEolMode(QsciScintilla::EolWindows);
    m_preview->setReadOnly(true);
    m_preview->setMarginWidth(0, 0);
    m_preview->setMarginWidth(1, 0);
    m_preview->setContextMenuPolicy(Qt::CustomContextMenu);
    split->addWidget(m_list);
    split->addWidget(m_preview);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("CodeSnippetPopup"));
    QAction *popCreate = m_menu->addAction(QStringLiteral("Create new code snippet "));
    popCreate->setObjectName(QStringLiteral("Createnewcodesnippet1"));
    QAction *popEdit = m_menu->addAction(QStringLiteral("Edit code snippet"));
    popEdit->setObjectName(QStringLiteral("Editcodesnippet1"));
    QAction *popDelete = m_menu->addAction(QStringLiteral("Delete code snippet"));
    popDelete->setObjectName(QStringLiteral("Deletecodesnippet1"));
    connect(m_preview, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_preview->mapToGlobal(pos)); });

    for (QAction *a : {create, popCreate})
        connect(a, &QAction::triggered, this, [this] { createSnippet(); });
    for (QAction *a : {edit, popEdit})
        connect(a, &QAction::triggered, this, [this] { editSnippet(); });
    for (QAction *a : {remove, popDelete})
        connect(a, &QAction::triggered, this, &TCodeSnippetPage::deleteSnippet);
    connect(import, &QAction::triggered, this, &TCodeSnippetPage::importSnippets);
    connect(exportAll, &QAction::triggered, this, &TCodeSnippetPage::exportSnippets);
    connect(m_list, &QListWidget::currentRowChanged, this, &TCodeSnippetPage::showPreview);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TCodeSnippetPage::insertSelected);

    // The store has just read the file.
    showNames(m_store.GetAllCodeSnippitNames());
}

TCodeSnippetPage::~TCodeSnippetPage()
{
    if (gCodeSnippets == &m_store)
        gCodeSnippets = nullptr;
}

void TCodeSnippetPage::refreshList()
{
    showNames(m_store.RefreshList());
}

void TCodeSnippetPage::showNames(const QStringList &names)
{
    m_list->clear();
    m_list->addItems(names);
    m_preview->clear();
}

QString TCodeSnippetPage::bodyOfRow(int row)
{
    QListWidgetItem *item = m_list->item(row);
    return item ? m_store.LoadCodeSnippitAt(row, item->text()) : QString();
}

QString TCodeSnippetPage::selectedBody()
{
    return bodyOfRow(m_list->currentRow());
}

void TCodeSnippetPage::showPreview()
{
    if (!m_list->currentItem()) {
        m_preview->clear();
        return;
    }
    const TSnippetParts parts = TCodeSnippits::splitBody(selectedBody());
    m_preview->setText(parts.Part1 + CursorHere + parts.Part2);
}

void TCodeSnippetPage::insertSelected()
{
    if (!m_list->currentItem())
        return;
    const DropTexts parts = splitSnippetForDrop(TCodeSnippits::insertionText(selectedBody()));
    if (m_form.tabholder()->currentIndex() == 0)
        m_form.DCMemo1()->setFocus();
    if (TMemoSource *b = m_form.documents()->currentBuffer())
        ptext(b, parts.startText, parts.endText);
}

TMnuCodeSnippet *TCodeSnippetPage::openDialog()
{
    auto *dialog = new TMnuCodeSnippet(
        [this](const QString &name, const QString &part1, const QString &part2) {
            return saveFromDialog(name, part1, part2);
        },
        window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

TMnuCodeSnippet *TCodeSnippetPage::createSnippet()
{
    gCodeSnippetsData = TEditCodeSnippetData();
    m_editRow = -1;
    return openDialog();
}

TMnuCodeSnippet *TCodeSnippetPage::editSnippet()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item) {
        MessageService::information(this, QStringLiteral("You must select a code snippet to edit."));
        return nullptr;
    }
    const TSnippetParts parts = TCodeSnippits::splitBody(selectedBody());
    gCodeSnippetsData = {true, item->text(), parts.Part1, parts.Part2};
    m_editRow = m_list->row(item);
    return openDialog();
}

bool TCodeSnippetPage::saveFromDialog(const QString &name, const QString &part1, const QString &part2)
{
    const QString why = TCodeSnippits::whyNotStorable(name, part1, part2);
    if (!why.isEmpty()) {
        MessageService::information(this, why);
        return false;
    }
    const bool saved = gCodeSnippetsData.Editing
                           ? m_store.ReplaceCodeSnippitAt(m_editRow, gCodeSnippetsData.SnippetTitle, name, part1, part2)
                           : m_store.SaveCodeSnippit(name, part1, part2);
    if (!saved) {
        MessageService::error(this, QLatin1String(SnippetsWriteFailedMessage));
        return false;
    }
    const int row = gCodeSnippetsData.Editing ? m_editRow : -1;
    refreshList();
    m_list->setCurrentRow(row >= 0 ? row : m_list->count() - 1);
    return true;
}

void TCodeSnippetPage::deleteSnippet()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    if (MessageService::show(this, QStringLiteral("Are you sure you want to remove this code snippet?"),
                             MessageIcon::Warning, YesNo)
        != mbYes)
        return;
    // A file that is gone (said so by the store) holds the snippet no more:
    // the list shows that.
    if (!m_store.RemoveCodeSnippitAt(m_list->row(item), item->text()) && QFileInfo::exists(m_store.DataFile)) {
        MessageService::error(this, QStringLiteral("Unable to write the Code Snippets data file."));
        return;
    }
    refreshList();
}

void TCodeSnippetPage::exportSnippets()
{
    const QString target = MessageService::getSaveFileName(this, QStringLiteral("Export code snippets"),
                                                           gDir.CodeSnippets, SnippetFileFilters, QStringLiteral("Dat"));
    if (target.isEmpty())
        return;
    gDir.CodeSnippets = QFileInfo(target).absolutePath();
    if (!m_store.ExportTo(target))
        MessageService::error(this, QStringLiteral("Unable to write %1.").arg(target));
}

void TCodeSnippetPage::importSnippets()
{
    const QStringList files = MessageService::getOpenFileNames(this, QStringLiteral("Import code snippets"),
                                                               gDir.CodeSnippets, SnippetFileFilters);
    if (files.isEmpty() || !QFileInfo(files.first()).isFile())
        return;
    gDir.CodeSnippets = QFileInfo(files.first()).absolutePath();
    int added = 0;
    int skipped = 0;
    if (!m_store.ImportFrom(files.first(), &added, &skipped)) {
        MessageService::error(this, QLatin1String(SnippetsWriteFailedMessage));
        return;
    }
    refreshList();
    if (skipped == 0)
        MessageService::information(this, QStringLiteral("%1 code snippet(s) imported.").arg(added));
    else
        MessageService::information(
            this, QStringLiteral("%1 code snippet(s) imported, %2 skipped: already in your code snippets.")
                      .arg(added)
                      .arg(skipped));
}

} // namespace Quorvant
