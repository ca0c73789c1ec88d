// The tag editor ("Edit Tag..."): the six fields of one tag of a list, filled
// from and written back to gEditTagData. "Done" hands the fields to the
// owner, which saves them and decides whether the dialog closes.
#pragma once

#include "taglibrary.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Quorvant {

class TMnuEditTag : public QDialog
{
    Q_OBJECT
public:
    explicit TMnuEditTag(QWidget *parent = nullptr);

    // Fills the fields from data; Editing is kept for "Done".
    void setData(const TEditTagData &data);
    // The fields as they stand now, with the Editing flag given to setData.
    TEditTagData data() const;

    // Called by "Done" with the fields; returns whether the dialog closes.
    std::function<bool(const TEditTagData &)> onDone;

    QLineEdit *titleEdit() const { return m_title; }
    QLineEdit *startEdit() const { return m_start; }
    QLineEdit *endEdit() const { return m_end; }
    QLineEdit *extendedEdit() const { return m_extended; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QComboBox *categoryBox() const { return m_category; }
    QPushButton *doneButton() const { return m_done; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    void doneClicked();

    bool m_editing = false;
    QLineEdit *m_title;
    QLineEdit *m_start;
    QLineEdit *m_end;
    QLineEdit *m_extended;
    QLineEdit *m_description;
    QComboBox *m_category;
    QPushButton *m_done;
    QPushButton *m_cancel;
};

} // namespace Quorvant
