#include "treminderswindow.h"

#include "skippedlinesreport.h"
#include "treminders.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

TRemindersWindow::TRemindersWindow(const QStringList &reminders, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("RemindersWindow"));
    setWindowTitle(QStringLiteral("Reminders!"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *column = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Urgent Reminders"), this);
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    heading->setFont(big);
    column->addWidget(heading);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("RemindersList"));
    m_list->setHeaderLabels({QStringLiteral("Reminders")});
    m_list->setRootIsDecorated(false);
    for (const QString &line : reminders)
        m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{line}));
    column->addWidget(m_list);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(close, 0, Qt::AlignRight);
    resize(520, 260);
}

TRemindersWindow *ShowAllReminders(const QString &dataFolder, const DebugOut &debug, QStatusBar *statusBar)
{
    QStringList lines;
    SkippedLines skipped;
    if (!TReminders(dataFolder, debug).readReminders(&lines, &skipped))
        return nullptr;
    reportSkippedLines(skipped, debug, statusBar);
    auto *w = new TRemindersWindow(lines);
    w->show();
    w->raise();
    return w;
}

} // namespace Quorvant
