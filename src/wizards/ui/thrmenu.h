// "Insert Horizontal Rule": an HR tag with alignment, width, thickness,
// shading and colour, and a bar that previews them.
#pragma once

#include "formattingmarkup.h"
#include "smallwizarddialog.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QRadioButton;

namespace Quorvant {

class TColorSwatch;

class THRMenu : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit THRMenu(TForm1 &form);

    RuleChoices choices() const;

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    void updateWidthField();
    void updatePreview();

    QComboBox *m_alignment = nullptr;
    QRadioButton *m_percent = nullptr;
    QRadioButton *m_pixels = nullptr;
    QComboBox *m_percentWidth = nullptr;
    QLineEdit *m_pixelWidth = nullptr;
    QComboBox *m_thickness = nullptr;
    QComboBox *m_shading = nullptr;
    TColorSwatch *m_color = nullptr;
    QFrame *m_preview = nullptr;
};

} // namespace Quorvant
