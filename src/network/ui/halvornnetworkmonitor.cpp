#include "halvornnetworkmonitor.h"

#include "addresslookup.h"
#include "halvornnetwork.h"
#include "messageservice.h"
#include "namecheck.h"
#include "networkglobals.h"
#include "settingsglobals.h"
#include "setuptools.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace Quorvant::Network {

THalvornNetworkMonitor::THalvornNetworkMonitor(THalvornNetwork &network, bool autoConnectDefault, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , mNetwork(network)
{
    setObjectName(QStringLiteral("THalvornNetworkMonitor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Halvorn :  Login Information"));
    auto *column = new QVBoxLayout(this);
    auto *box = new QGroupBox(QStringLiteral("Connection Details"), this);
    auto *grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("Enter your details"), box), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Please enter your login name: "), box), 1, 0);
    UserNameEdit = new QLineEdit(box);
    UserNameEdit->setObjectName(QStringLiteral("UserNameEdit"));
    UserNameEdit->setMaxLength(32);
    grid->addWidget(UserNameEdit, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Please enter your password:"), box), 2, 0);
    PasswordEdit = new QLineEdit(box);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setMaxLength(32);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    grid->addWidget(PasswordEdit, 2, 1);
    CheckBox1 = new QCheckBox(QStringLiteral("Connect To Network On Quorvant Start Using This Account..."), box);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(autoConnectDefault);
    grid->addWidget(CheckBox1, 3, 0, 1, 2);
    column->addWidget(box);
    HalvornConnectLabel = new QLabel(QStringLiteral("Not Connected..."), this);
    HalvornConnectLabel->setObjectName(QStringLiteral("HalvornConnectLabel"));
    column->addWidget(HalvornConnectLabel);
    auto *join = new QLabel(QStringLiteral("<a href=\"join\">Join the Halvorn Network FREE! Click Here!</a>"), this);
    join->setObjectName(QStringLiteral("JoinLink"));
    join->setTextFormat(Qt::RichText);
    column->addWidget(join);
    auto *buttons = new QHBoxLayout;
    auto *connectButton = new QPushButton(QStringLiteral("Connect"), this);
    connectButton->setObjectName(QStringLiteral("ConnectButton"));
    connectButton->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch();
    buttons->addWidget(connectButton);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(connectButton, &QPushButton::clicked, this, &THalvornNetworkMonitor::Connect);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(join, &QLabel::linkActivated, this, [this] { Join(); });
}

void THalvornNetworkMonitor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The stored account (the settings), not the session's copy.
    fillStoredAccount();
    if (Quorvant::gUserName.isEmpty() || !Quorvant::gPassword.isEmpty() || !Quorvant::gSetupTools)
        return;
    // The password is in the secret store: the fields are filled once it
    // answers, unless the user has typed in them meanwhile.
    Quorvant::gSetupTools->LoadHalvornPassword(
        [dialog = QPointer<THalvornNetworkMonitor>(this)](const QString &, const QString &note) {
            if (!dialog)
                return;
            dialog->mNetwork.passwordNote(note);
            if (dialog->UserNameEdit->text().isEmpty() && dialog->PasswordEdit->text().isEmpty())
                dialog->fillStoredAccount();
        });
}

void THalvornNetworkMonitor::fillStoredAccount()
{
    if (Quorvant::gUserName.isEmpty() || Quorvant::gPassword.isEmpty())
        return;
    UserNameEdit->setText(Quorvant::gUserName);
    PasswordEdit->setText(Quorvant::gPassword);
    CheckBox1->setChecked(mNetwork.autoConnectSetting());
}

void THalvornNetworkMonitor::setStatus(const QString &text)
{
    HalvornConnectLabel->setText(text);
}

void THalvornNetworkMonitor::addressServerError()
{
    MessageService::error(this, THalvornNetwork::addressServerErrorText());
}

void THalvornNetworkMonitor::fetchAddress(const std::function<void()> &then)
{
    mBusy = true;
    TAddressLookup *lookup = mNetwork.lookup();
    lookup->disconnect(this);
    connect(lookup, &TAddressLookup::connectedToService, this,
            [this] { setStatus(QStringLiteral("Connected To Address Service...")); });
    connect(lookup, &TAddressLookup::progress, this, [this](qint64 received, qint64 total) {
        setStatus(QString::number(received) + QStringLiteral(" bytes out of ") + QString::number(total)
                  + QStringLiteral(" transferred"));
    });
    connect(lookup, &TAddressLookup::finished, this, [this, lookup, then](bool ok, bool) {
        lookup->disconnect(this);
        mBusy = false;
        setStatus(QStringLiteral("Finished Retrieving Address..."));
        if (!ok) {
            if (const auto refused = lookup->refusedCertificate()) {
                mNetwork.settleCertificate(*refused, [this, then] { fetchAddress(then); });
                return;
            }
            addressServerError();
            return;
        }
        then();
    });
    lookup->fetch(Quorvant::gLookupAddress, mNetwork.addressFile());
}

void THalvornNetworkMonitor::Connect()
{
    if (mBusy)
        return;
    if (!acceptName(this, UserNameEdit->text(), NameKind::User))
        return;
    gAutoConnect = false;
    setStatus(QStringLiteral("Connecting..."));
    // The address as it is requested.
    const QUrl service = TAddressLookup::serviceUrl(Quorvant::gLookupAddress);
    setStatus(QStringLiteral("Retrieving Network Location from: ")
              + (service.isValid() ? service.toString() : Quorvant::gLookupAddress));
    fetchAddress([this] {
        const QString name = UserNameEdit->text();
        const QString password = PasswordEdit->text();
        if (name != Quorvant::gUserName || password != Quorvant::gPassword) {
            if (MessageService::show(this, QStringLiteral("Would you like to make these your default settings?"),
                                     MessageIcon::Information, YesNo)
                == mbYes)
                mNetwork.saveAccount(name, password, CheckBox1->isChecked());
        }
        gUserName = name;
        gPassword = password;
        gCreatingNewAccount = false;
        mNetwork.openConnection();
        setStatus(QStringLiteral("Connecting To Existing Account..."));
        close();
    });
}

void THalvornNetworkMonitor::Join()
{
    if (mBusy)
        return;
    if (gMyClient) {
        MessageService::information(this, QStringLiteral("You cannot create another account on the network while "
                                                         "you are logged onto it."));
        return;
    }
    if (MessageService::show(this,
                             QStringLiteral("To join the Halvorn Network, simply enter a username and password in "
                                            "the boxes on this form and press this button. Do you want to use the "
                                            "username and password you have in there now?"),
                             MessageIcon::Information, YesNo)
        != mbYes)
        return;
    if (UserNameEdit->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("You have to enter a username in the username field to "
                                                         "continue. It can not be blank."));
        return;
    }
    if (!acceptName(this, UserNameEdit->text(), NameKind::User))
        return;
    if (PasswordEdit->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("You have to enter a password in the password field to "
                                                         "continue. It can not be blank."));
        return;
    }
    QString again;
    MessageService::getText(this, QStringLiteral("Password Test"),
                            QStringLiteral("Could you please re-type your password to continue: "), &again);
    // Exactly: a password differing in letter case is a different password.
    if (again != PasswordEdit->text()) {
        MessageService::information(this, QStringLiteral("Your passwords do not match!, your passwords must match "
                                                         "to continue."));
        return;
    }
    fetchAddress([this] {
        gUserName = UserNameEdit->text();
        gPassword = PasswordEdit->text();
        mNetwork.openConnection();
        gCreatingNewAccount = true;
        setStatus(QStringLiteral("Attempting User Creation."));
        mNetwork.saveAccount(gUserName, gPassword, CheckBox1->isChecked());
        close();
    });
}

} // namespace Quorvant::Network
