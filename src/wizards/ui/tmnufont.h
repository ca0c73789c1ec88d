// "Quorvant: Font Menu": a FONT element with up to three faces, size and
// colour, with position and style elements inside it.
#pragma once

#include "formattingmarkup.h"
#include "smallwizarddialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace Quorvant {

class TColorSwatch;

class Tmnufont : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit Tmnufont(TForm1 &form);

    FontChoices choices() const;

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    void updatePreview();

    QListWidget *m_fontList = nullptr;
    QLineEdit *m_faces[3] = {};
    QComboBox *m_position = nullptr;
    QComboBox *m_size = nullptr;
    TColorSwatch *m_color = nullptr;
    QCheckBox *m_styles[FontStyleCount] = {};
    QLabel *m_preview = nullptr;
};

} // namespace Quorvant
