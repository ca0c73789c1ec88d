// "Load File From Web...": an address and a port, the fetch's status line,
// and a new untitled document holding the page on success.
#pragma once

#include "twebfetch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Quorvant {

class TForm1;

class TLoadFromWeb : public QDialog
{
    Q_OBJECT
public:
    TLoadFromWeb(TForm1 &form, const QString &replyFile, QWidget *parent = nullptr);

    QLineEdit *addressEdit() const { return m_address; }
    QLineEdit *portEdit() const { return m_port; }
    QLabel *statusLabel() const { return m_status; }
    TWebFetch *fetch() const { return m_fetch; }
    void pressDone();

private:
    void onStatus(TWebFetch::Status status);

    TForm1 &m_form;
    TWebFetch *m_fetch;
    QLineEdit *m_address;
    QLineEdit *m_port;
    QLabel *m_status;
    QPushButton *m_done;
};

} // namespace Quorvant
