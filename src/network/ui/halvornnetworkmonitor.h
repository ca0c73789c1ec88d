// The login dialog: signs in with an existing account or creates one.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace Quorvant::Network {

class THalvornNetwork;

class THalvornNetworkMonitor : public QDialog
{
    Q_OBJECT
public:
    THalvornNetworkMonitor(THalvornNetwork &network, bool autoConnectDefault, QWidget *parent = nullptr);

    void Connect();
    void Join();

    QLineEdit *UserNameEdit = nullptr;
    QLineEdit *PasswordEdit = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QLabel *HalvornConnectLabel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The fields take the stored account when both its name and password
    // are known.
    void fillStoredAccount();
    void setStatus(const QString &text);
    void addressServerError();
    // The address lookup then `then` on success; errors are reported here.
    void fetchAddress(const std::function<void()> &then);

    THalvornNetwork &mNetwork;
    bool mBusy = false;
};

} // namespace Quorvant::Network
