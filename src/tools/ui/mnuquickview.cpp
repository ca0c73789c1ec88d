#include "mnuquickview.h"

#include "messageservice.h"
#include "tidypagecodec.h"
#include "tooltexts.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    // No wrapping: a whole tidied page is laid out at once.
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
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

void TMnuQuickView::ViewFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_memo->setPlainText(decodeDataFile(file.readAll()));
}

void TMnuQuickView::LoadClipBoard()
{
    m_memo->setPlainText(QApplication::clipboard()->text());
}

void TMnuQuickView::ShowTidyMenus()
{
    m_memo->setPlainText(m_page);
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
