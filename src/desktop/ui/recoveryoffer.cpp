#include "recoveryoffer.h"

#include "desktoptexts.h"
#include "diskchangemonitor.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "recoverykeeper.h"
#include "recoverywriter.h"
#include "tmemosource.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

TRecoveryOffer::TRecoveryOffer(TForm1 &form, TRecoveryKeeper &keeper, TDiskChangeMonitor *monitor,
                               const QList<TRecoveryEntry> &entries, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
    , m_keeper(keeper)
    , m_monitor(monitor)
    , m_entries(entries)
{
    setObjectName(QStringLiteral("RecoveryOffer"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *box = new QGroupBox(DesktopText::RecoveredCaption, this);
    outer->addWidget(box);
    auto *layout = new QVBoxLayout(box);
    auto *intro = new QLabel(DesktopText::RecoveredIntro, box);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_list = new QTreeWidget(box);
    m_list->setObjectName(QStringLiteral("RecoveredListView"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Document"), QStringLiteral("Path"), QStringLiteral("Last change")});
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, 140);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setMaximumHeight(130);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { restoreSelected(); });
    auto *buttons = new QHBoxLayout;
    const struct { const char *name; const char *caption; void (TRecoveryOffer::*slot)(); } actions[] = {
        {"RestoreRecovered", "Restore", &TRecoveryOffer::restoreSelected},
        {"RestoreAllRecovered", "Restore All", &TRecoveryOffer::restoreAll},
        {"DiscardRecovered", "Discard", &TRecoveryOffer::discardSelected},
    };
    for (const auto &a : actions) {
        auto *b = new QPushButton(QLatin1String(a.caption), box);
        b->setObjectName(QLatin1String(a.name));
        connect(b, &QPushButton::clicked, this, a.slot);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    refill();
}

void TRecoveryOffer::refill()
{
    m_list->clear();
    for (const TRecoveryEntry &e : std::as_const(m_entries)) {
        const QString when = QLocale().toString(e.savedAt.toLocalTime(), QLocale::ShortFormat);
        auto *item = new QTreeWidgetItem(m_list, {e.caption(), e.fileName.isEmpty() ? QStringLiteral("(never saved)") : e.fileName, when});
        item->setToolTip(1, e.fileName);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void TRecoveryOffer::restore(int row)
{
    const TRecoveryEntry entry = m_entries.at(row);
    TDocumentSet *docs = m_form.documents();
    docs->blankDocument();
    TMemoSource *buffer = docs->currentBuffer();
    buffer->setFileFormat(entry.format);
    // The text in its own line ends; setText takes any and stores the
    // document's.
    buffer->setText(QString::fromUtf8(entry.text));
    buffer->setCaretPoint({0, 0});
    if (!entry.fileName.isEmpty()) {
        docs->setDocumentFile(docs->currentIndex(), entry.fileName);
        if (m_monitor)
            m_monitor->adoptStamp(buffer, entry.disk);
    }
    docs->markModified();
    docs->SaveSelectedPageToArray();
    // Kept by this program before the old copy goes, so no moment is
    // without one.
    m_keeper.writeNow(buffer);
    m_keeper.writer()->discardOrphan(entry);
    m_restoredAny = true;
    removeRow(row);
}

void TRecoveryOffer::removeRow(int row)
{
    m_entries.removeAt(row);
    refill();
    if (m_entries.isEmpty()) {
        hide();
        if (finished)
            finished(m_restoredAny);
    }
}

void TRecoveryOffer::restoreSelected()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row >= 0 && row < m_entries.size())
        restore(row);
}

void TRecoveryOffer::restoreAll()
{
    while (!m_entries.isEmpty())
        restore(0);
}

void TRecoveryOffer::discardSelected()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_entries.size())
        return;
    const TRecoveryEntry entry = m_entries.at(row);
    if (MessageService::show(this, DesktopText::discardRecovered(entry.caption()), MessageIcon::Warning, YesNo) != mbYes)
        return;
    m_keeper.writer()->discardOrphan(entry);
    removeRow(row);
}

} // namespace Quorvant
