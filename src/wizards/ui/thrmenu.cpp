#include "thrmenu.h"

#include "colorswatch.h"
#include "html5markup.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "wizardsupport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace Quorvant {

THRMenu::THRMenu(TForm1 &form)
    : TSmallWizardDialog(form, "HRMenu", QStringLiteral("Insert Horizontal Rule"))
{
    const QString def = QString::fromLatin1(RuleDefault);
    auto *fields = new QFormLayout;
    body()->addLayout(fields);
    m_alignment = editableChoice(this, "AlignmentBox", {QStringLiteral("LEFT"), QStringLiteral("CENTER"), QStringLiteral("RIGHT")}, def);
    fields->addRow(QStringLiteral("Alignment:"), m_alignment);

    QStringList percents{def};
    for (int p = 10; p <= 100; p += 10)
        percents << QStringLiteral("%1%").arg(p);
    m_percentWidth = editableChoice(this, "PercentWidthBox", percents, def);
    m_pixelWidth = new QLineEdit(this);
    m_pixelWidth->setObjectName(QStringLiteral("PixelWidthEdit"));
    m_pixelWidth->hide();
    m_percent = new QRadioButton(QStringLiteral("Percent (%)"), this);
    m_percent->setObjectName(QStringLiteral("PercentRadio"));
    m_percent->setChecked(true);
    m_pixels = new QRadioButton(QStringLiteral("Pixels (xx)"), this);
    m_pixels->setObjectName(QStringLiteral("PixelsRadio"));
    auto *widthRow = new QHBoxLayout;
    widthRow->addWidget(m_percentWidth, 1);
    widthRow->addWidget(m_pixelWidth, 1);
    widthRow->addWidget(m_percent);
    widthRow->addWidget(m_pixels);
    fields->addRow(QStringLiteral("Width:"), widthRow);
    connect(m_pixels, &QRadioButton::toggled, this, &THRMenu::updateWidthField);

    QStringList thicknesses{def};
    for (int t = 1; t <= 10; ++t)
        thicknesses << QString::number(t);
    m_thickness = editableChoice(this, "ThicknessBox", thicknesses, def);
    connect(m_thickness, &QComboBox::currentTextChanged, this, &THRMenu::updatePreview);
    fields->addRow(QStringLiteral("Thickness:"), m_thickness);
    m_shading = new QComboBox(this);
    m_shading->setObjectName(QStringLiteral("ShadingBox"));
    m_shading->addItems({QStringLiteral("3D"), QStringLiteral("None")});
    connect(m_shading, &QComboBox::currentIndexChanged, this, &THRMenu::updatePreview);
    fields->addRow(QStringLiteral("Shading:"), m_shading);
    m_color = new TColorSwatch(this);
    m_color->setObjectName(QStringLiteral("RuleColorBox"));
    m_color->setToolTip(QStringLiteral("Font Color"));
    connect(m_color, &TColorSwatch::colorChosen, this, &THRMenu::updatePreview);
    fields->addRow(QStringLiteral("Color (IE Only):"), m_color);

    auto *previewBox = new QGroupBox(QStringLiteral("Horizontal Rule Preview"), this);
    auto *previewLayout = new QVBoxLayout(previewBox);
    m_preview = new QFrame(previewBox);
    m_preview->setObjectName(QStringLiteral("RulePreview"));
    m_preview->setFrameShape(QFrame::HLine);
    previewLayout->addWidget(m_preview);
    body()->addWidget(previewBox);

    addButtons();
    updatePreview();
}

void THRMenu::updateWidthField()
{
    m_percentWidth->setVisible(!m_pixels->isChecked());
    m_pixelWidth->setVisible(m_pixels->isChecked());
}

RuleChoices THRMenu::choices() const
{
    RuleChoices c;
    c.alignment = m_alignment->currentText();
    c.widthInPixels = m_pixels->isChecked();
    c.percentWidth = m_percentWidth->currentText();
    c.pixelWidth = m_pixelWidth->text();
    c.thickness = m_thickness->currentText();
    c.shaded = m_shading->currentIndex() != 1;
    c.color = m_color->htmlColor();
    return c;
}

void THRMenu::writeTo(ITextBuffer *buffer)
{
    ptext(buffer, wizardMarkup() == MarkupStyle::Html5 ? html5RuleMarkup(choices()) : ruleMarkup(choices()), QString());
}

void THRMenu::updatePreview()
{
    const QString thickness = m_thickness->currentText();
    int width = 1;
    if (!thickness.isEmpty() && IsOnlyNumbers(thickness))
        width = qBound(1, thickness.toInt(), 100);
    m_preview->setLineWidth(width);
    m_preview->setMinimumHeight(width + 4);
    m_preview->setFrameShadow(m_shading->currentIndex() == 1 ? QFrame::Plain : QFrame::Raised);
    QPalette palette = m_preview->palette();
    if (m_color->hasColor()) {
        palette.setColor(QPalette::WindowText, m_color->color());
        palette.setColor(QPalette::Light, m_color->color().lighter());
        palette.setColor(QPalette::Dark, m_color->color().darker());
    }
    m_preview->setPalette(palette);
}

} // namespace Quorvant
