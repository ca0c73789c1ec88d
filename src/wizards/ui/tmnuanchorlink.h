// The link dialog: a standard link or a link drawn as a form button.
#pragma once

#include "linkwizard.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QMenu;

namespace Quorvant {

class TForm1;

inline constexpr char LinkDialogCaption[] = "Anchor / Link Menu";
inline constexpr char LinkHelpTopic[] = "UrlMenu.Htm";

class TMnuAnchorLink : public QDialog
{
    Q_OBJECT
public:
    explicit TMnuAnchorLink(TForm1 &form, QWidget *parent = nullptr);

    TLinkSettings settings() const;
    QMenu *serviceMenu() const { return m_services; }
    // "Done": writes the link and closes.
    void doneClick();

private:
    void appearanceChanged();
    void browseUrl();

    TForm1 &m_form;
    QLineEdit *m_url = nullptr;
    QComboBox *m_target = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_statusBar = nullptr;
    QComboBox *m_appearance = nullptr;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_accessKey = nullptr;
    QMenu *m_services = nullptr;
};

} // namespace Quorvant
