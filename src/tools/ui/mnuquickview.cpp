#include "mnuquickview.h"

#include "messageservice.h"
#include "tooltexts.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <Qsci/qsciscintilla.h>

namespace Quorvant {

TMnuQuickView::TMnuQuickView(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MnuQuickView"));
    setWindowTitle(QLatin1String(QuickViewCaption));
    resize(640, 440);
    auto *column = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Information:"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    column->addWidget(heading);
    m_memo = new QsciScintilla(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setUtf8(true);
    m_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_memo->setMarginWidth(1, 0);
    m_memo->setReadOnly(true);
    m_memo->setAccessibleName(heading->text());
    // The editor component keeps Escape for itself; here it closes the window.
    m_memo->installEventFilter(this);
    column->addWidget(m_memo, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("DoneButton"));
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(m_done);
    column->addLayout(row);
}

bool TMnuQuickView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress)
            reject();
        event->accept();
        return event->type() == QEvent::KeyPress;
    }
    return QDialog::eventFilter(watched, event);
}

QString TMnuQuickView::text() const
{
    return m_memo->text();
}

void TMnuQuickView::setText(const QString &text)
{
    m_memo->setReadOnly(false);
    m_memo->setText(text);
    m_memo->setReadOnly(true);
}

void TMnuQuickView::LoadClipBoard()
{
    setText(QApplication::clipboard()->text());
}

void TMnuQuickView::ShowTidyMenus()
{
    setText(m_page);
    const bool keep = MessageService::show(this, QLatin1String(MsgKeepTidyChanges), MessageIcon::Information, YesNo) == mbYes;
    Q_EMIT tidyAnswered(keep);
}

void TMnuQuickView::done(int result)
{
    if (Tidy && !m_asked) {
        m_asked = true;
        ShowTidyMenus();
    }
    QDialog::done(result);
}

} // namespace Quorvant
