#include "tloadfromweb.h"

#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tmemosource.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TLoadFromWeb::TLoadFromWeb(TForm1 &form, const QString &replyFile, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_form(form)
    , m_fetch(new TWebFetch(replyFile, this))
{
    setObjectName(QStringLiteral("LoadFromWeb"));
    setWindowTitle(QStringLiteral("Quorvant: Load file from web..."));
    auto *column = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Load File From Web..."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    column->addWidget(heading);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("AddressEdit"));
    auto *addressLabel = new QLabel(QStringLiteral("Please type the address of the file you would like to load from the web:"), this);
    addressLabel->setBuddy(m_address);
    column->addWidget(addressLabel);
    column->addWidget(m_address);
    column->addWidget(new QLabel(QStringLiteral("(e.g. http://www.example.com/index.html)"), this));
    auto *form2 = new QFormLayout;
    m_port = new QLineEdit(QString::number(TWebFetch::DefaultPortField), this);
    m_port->setObjectName(QStringLiteral("PortEdit"));
    m_port->setMaximumWidth(90);
    form2->addRow(QStringLiteral("Port to use (if unsure leave at 8080):"), m_port);
    m_status = new QLabel(TWebFetch::statusText(TWebFetch::Status::Idle), this);
    m_status->setObjectName(QStringLiteral("StatLabel"));
    form2->addRow(QStringLiteral("Network Status:"), m_status);
    column->addLayout(form2);
    auto *buttons = new QDialogButtonBox(this);
    m_done = buttons->addButton(QStringLiteral("Done"), QDialogButtonBox::AcceptRole);
    m_done->setObjectName(QStringLiteral("DoneButton"));
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_done, &QPushButton::clicked, this, &TLoadFromWeb::pressDone);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(buttons);
    connect(m_fetch, &TWebFetch::statusChanged, this, &TLoadFromWeb::onStatus);
    // Closing the dialog ends its request; no late event reaches it.
    connect(this, &QDialog::finished, m_fetch, &TWebFetch::abort);
}

void TLoadFromWeb::pressDone()
{
    if (m_fetch->running())
        return;
    if (m_fetch->start(m_address->text(), m_port->text())) {
        m_done->setEnabled(false);
        return;
    }
    m_status->setText(TWebFetch::statusText(TWebFetch::Status::InvalidHost));
    MessageService::information(this, QStringLiteral("The page you requested could not be retrieved."));
}

void TLoadFromWeb::onStatus(TWebFetch::Status status)
{
    m_status->setText(TWebFetch::statusText(status));
    switch (status) {
    case TWebFetch::Status::InvalidHost:
    case TWebFetch::Status::ConnectionFailed:
    case TWebFetch::Status::GeneralFailure:
        MessageService::information(this, QStringLiteral("The page you requested could not be retrieved."));
        break;
    case TWebFetch::Status::Success:
        m_form.documents()->CreateNewPage();
        if (TMemoSource *buffer = m_form.documents()->currentBuffer()) {
            buffer->setText(m_fetch->text());
            buffer->setCaretPoint({0, 0});
            m_form.documents()->markModified();
        }
        break;
    case TWebFetch::Status::Disconnected:
        close();
        break;
    default:
        break;
    }
}

} // namespace Quorvant
