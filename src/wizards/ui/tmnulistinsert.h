// "Insert Lists": bulleted, numbered or definition lists, or bare items,
// from typed lines.
#pragma once

#include "formattingmarkup.h"
#include "smallwizarddialog.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace Quorvant {

class TMnuListInsert : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuListInsert(TForm1 &form);

    QString listText() const;

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    void styleChanged();

    QButtonGroup *m_style = nullptr;
    QGroupBox *m_bulletBox = nullptr;
    QButtonGroup *m_bulletStyle = nullptr;
    QGroupBox *m_numberBox = nullptr;
    QButtonGroup *m_numberStyle = nullptr;
    QLineEdit *m_header = nullptr;
    QPlainTextEdit *m_items = nullptr;
};

} // namespace Quorvant
