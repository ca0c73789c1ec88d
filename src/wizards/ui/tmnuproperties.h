// "Modify Document Properties": the page title, background image and the
// five page colours (optionally from a saved colour theme), written back as
// the TITLE element and the BODY start tag.
#pragma once

#include "documentproperties.h"
#include "smallwizarddialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace Quorvant {

class TColorSwatch;

class TMnuProperties : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuProperties(TForm1 &form);

    PageProperties properties() const;

    // The message texts of the colour themes.
    static const QString NoThemeNameMessage;
    static const QString ThemeSavedMessage;
    static const QString ThemeSeparatorMessage;
    static const QString ThemeSaveFailedMessage;
    static const QString NoThemeChosenMessage;
    static const QString ThemeRemovedMessage;
    static const QString ThemeDeleteFailedMessage;

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    enum ColorField { BgColor, TextColor, LinkColor, VLinkColor, ALinkColor, ColorFieldCount };

    void fill(const PageProperties &p);
    void loadThemeList();
    void themeChosen(int index);
    void saveTheme();
    void deleteTheme();
    void browseBackground();
    void updateColourPreview();
    void updateBackgroundPreview();
    QString themesFile() const;

    QLineEdit *m_title = nullptr;
    QLineEdit *m_background = nullptr;
    QLineEdit *m_colors[ColorFieldCount] = {};
    TColorSwatch *m_swatches[ColorFieldCount] = {};
    QComboBox *m_themes = nullptr;
    QCheckBox *m_underline = nullptr;
    QCheckBox *m_noScroll = nullptr;
    QCheckBox *m_watermark = nullptr;
    QFrame *m_preview = nullptr;
    QLabel *m_sampleLabels[4] = {};
    QLabel *m_backgroundPreview = nullptr;
};

} // namespace Quorvant
