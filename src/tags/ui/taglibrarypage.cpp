// The sidebar's "Tags" page.
#include "taglibrarypage.h"

#include "editortypes.h"
#include "messageservice.h"
#include "tageditdialog.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

MessageIcon toMessageIcon(TTagMessageIcon icon)
{
    switch (icon) {
    case TTagMessageIcon::Warning: return MessageIcon::Warning;
    case TTagMessageIcon::Error: return MessageIcon::Error;
    case TTagMessageIcon::Information: break;
    }
    return MessageIcon::Information;
}

} // namespace

TTagListView::TTagListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(ColumnCount);
    setHeaderLabels({QStringLiteral("Tag Name"), QStringLiteral("Description"), QStringLiteral("Catagory"),
                     QStringLiteral("Start Of Tag"), QStringLiteral("End Of Tag"), QStringLiteral("Extended Tag")});
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

QStringList TTagListView::mimeTypes() const
{
    return {QLatin1String(TagStartMimeType), QLatin1String(TagEndMimeType)};
}

QMimeData *TTagListView::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    if (items.isEmpty())
        return nullptr;
    const QTreeWidgetItem *row = items.first();
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(TagStartMimeType), row->text(StartOfTag).toUtf8());
    mime->setData(QLatin1String(TagEndMimeType), row->text(EndOfTag).toUtf8());
    return mime;
}

TTagLibraryPage::TTagLibraryPage(QWidget *parent)
    : QWidget(parent)
{
    setToolTip(QStringLiteral("You can add custom tags here..."));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *split = new QSplitter(Qt::Vertical, this);
    layout->addWidget(split);

    m_lists = new QTreeWidget(split);
    m_lists->setObjectName(QStringLiteral("ListView3"));
    m_lists->setAccessibleName(QStringLiteral("Tag lists"));
    m_lists->setColumnCount(2);
    m_lists->setHeaderLabels({QStringLiteral("Tag List"), QStringLiteral("Path")});
    m_lists->setColumnHidden(1, true);
    m_lists->setRootIsDecorated(false);
    m_lists->setSelectionMode(QAbstractItemView::SingleSelection);
    split->addWidget(m_lists);

    m_tags = new TTagListView(split);
    m_tags->setObjectName(QStringLiteral("ListView1"));
    m_tags->setAccessibleName(QStringLiteral("Tags"));
    split->addWidget(m_tags);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("TagListPopup"));
    auto add = [this](const char *name, const QString &caption, void (TTagLibraryPage::*slot)()) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction *insert = add("Insertcurrenttag1", QStringLiteral("Insert current tag"), &TTagLibraryPage::requestPlaceSelected);
    m_popup->setDefaultAction(insert);
    add("Insertcurrenttagextendedmode1", QStringLiteral("Insert current tag (extended mode)"),
        &TTagLibraryPage::requestPlaceExtended);
    m_popup->addSeparator();
    add("AddTag1", QStringLiteral("Add Tag"), &TTagLibraryPage::AddTag1Click);
    add("Edittag1", QStringLiteral("Edit the selected tag"), &TTagLibraryPage::Edittag1Click);
    add("DeleteTag1", QStringLiteral("Delete Tag"), &TTagLibraryPage::DeleteTag1Click);

    connect(m_tags, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_tags->viewport()->mapToGlobal(pos)); });
    connect(m_tags, &QTreeWidget::itemDoubleClicked, this, &TTagLibraryPage::requestPlaceSelected);
    connect(m_lists, &QTreeWidget::currentItemChanged, this, &TTagLibraryPage::ListView3Change);
}

QIcon TTagLibraryPage::tagIcon()
{
    // Drawn on each load, not kept in a static: a pixmap must not outlive the application.
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 1.6));
        p.drawPolyline(QPolygonF({{6, 3}, {1.5, 8}, {6, 13}}));
        p.drawPolyline(QPolygonF({{10, 3}, {14.5, 8}, {10, 13}}));
    }
    return QIcon(pm);
}

void TTagLibraryPage::LoadTagLists(const QString &dataFolder)
{
    const QList<TTagListEntry> entries = Quorvant::LoadTagLists(dataFolder, m_debugger);
    m_lists->clear();
    for (const TTagListEntry &e : entries)
        m_lists->addTopLevelItem(new QTreeWidgetItem(QStringList{e.Caption, e.Path}));
}

void TTagLibraryPage::loadtags(const QString &filename)
{
    QList<TTagRow> rows;
    if (filename.isEmpty() || !Quorvant::loadtags(filename, &rows))
        return;
    m_tags->clear();
    const QIcon icon = tagIcon();
    for (const TTagRow &r : std::as_const(rows)) {
        auto *item = new QTreeWidgetItem(
            QStringList{r.TagTitle, r.Description, r.Category, r.StartTag, r.EndTag, r.ExtendedTag});
        item->setIcon(0, icon);
        m_tags->addTopLevelItem(item);
    }
}

QString TTagLibraryPage::selectedListPath() const
{
    // The current row, not the selection: a mouse click makes a row current
    // before the selection follows it.
    if (const QTreeWidgetItem *current = m_lists->currentItem())
        return current->text(1);
    const QList<QTreeWidgetItem *> sel = m_lists->selectedItems();
    return sel.isEmpty() ? QString() : sel.first()->text(1);
}

int TTagLibraryPage::selectedTagIndex() const
{
    const QList<QTreeWidgetItem *> sel = m_tags->selectedItems();
    return sel.isEmpty() ? -1 : m_tags->indexOfTopLevelItem(sel.first());
}

bool TTagLibraryPage::selectedTag(TTagRow *row) const
{
    const QList<QTreeWidgetItem *> sel = m_tags->selectedItems();
    if (sel.isEmpty())
        return false;
    const QTreeWidgetItem *it = sel.first();
    *row = {it->text(TTagListView::TagName),    it->text(TTagListView::Description),
            it->text(TTagListView::Category),   it->text(TTagListView::StartOfTag),
            it->text(TTagListView::EndOfTag),   it->text(TTagListView::ExtendedTag)};
    return true;
}

void TTagLibraryPage::ListView3Change()
{
    loadtags(selectedListPath());
}

void TTagLibraryPage::requestPlaceSelected()
{
    TTagRow row;
    if (selectedTag(&row))
        Q_EMIT placeSelectedTag(row.StartTag, row.EndTag);
}

void TTagLibraryPage::requestPlaceExtended()
{
    TTagRow row;
    if (selectedTag(&row))
        Q_EMIT placeExtendedTag(row.ExtendedTag);
}

void TTagLibraryPage::AddTag1Click()
{
    gEditTagData = TEditTagData();
    gEditTagData.Editing = false;
    showTagEditor();
}

void TTagLibraryPage::Edittag1Click()
{
    TTagRow row;
    if (!selectedTag(&row)) {
        MessageService::information(this, QString::fromLatin1(MsgSelectBeforeEdit));
        return;
    }
    gEditTagData.Editing = true;
    gEditTagData.TagTitle = row.TagTitle;
    gEditTagData.TagDescription = row.Description;
    gEditTagData.Category = row.Category;
    gEditTagData.TagStart = row.StartTag;
    gEditTagData.TagEnd = row.EndTag;
    gEditTagData.ExtendedTag = row.ExtendedTag;
    showTagEditor();
}

void TTagLibraryPage::DeleteTag1Click()
{
    const int index = selectedTagIndex();
    if (index < 0) {
        MessageService::information(this, QString::fromLatin1(MsgSelectBeforeDelete));
        return;
    }
    if (MessageService::show(this, QString::fromLatin1(MsgConfirmDeleteTag), MessageIcon::Information, YesNo) != mbYes)
        return;
    showOutcome(DeleteSelectedTag(selectedListPath(), index, m_debugger));
}

void TTagLibraryPage::showTagEditor()
{
    TMnuEditTag dialog(window());
    dialog.setData(gEditTagData);
    dialog.onDone = [this](const TEditTagData &data) { return saveFromEditor(data); };
    dialog.exec();
}

bool TTagLibraryPage::saveFromEditor(const TEditTagData &data)
{
    gEditTagData = data;
    const TTagCommandOutcome outcome = SaveFromTagEditor(data, selectedListPath(), selectedTagIndex(), m_debugger);
    showOutcome(outcome);
    return outcome.CloseDialog;
}

void TTagLibraryPage::showOutcome(const TTagCommandOutcome &outcome)
{
    // Reloaded before the message, so the list shows the file while it is read.
    if (!outcome.ReloadPath.isEmpty())
        loadtags(outcome.ReloadPath);
    if (!outcome.Message.isEmpty())
        MessageService::show(this, outcome.Message, toMessageIcon(outcome.Icon));
}

} // namespace Quorvant
