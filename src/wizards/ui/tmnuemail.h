// The e-mail link dialog: a mailto: link with subject and message.
#pragma once

#include "linkwizard.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace Quorvant {

class TForm1;

inline constexpr char EmailDialogCaption[] = "Insert an E-Mail Link:";

class TMnuEmail : public QDialog
{
    Q_OBJECT
public:
    explicit TMnuEmail(TForm1 &form, QWidget *parent = nullptr);

    TEmailLinkSettings settings() const;
    // "Done": asks about an address without "@", then writes and closes;
    // on No the dialog stays and nothing is written.
    void doneClick();

private:
    TForm1 &m_form;
    QPlainTextEdit *m_linkText = nullptr;
    QLineEdit *m_subject = nullptr;
    QLineEdit *m_address = nullptr;
    QPlainTextEdit *m_message = nullptr;
};

} // namespace Quorvant
