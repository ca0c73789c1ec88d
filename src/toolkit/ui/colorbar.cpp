#include "colorbar.h"

#include "mainwindow.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "setuptools.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

void setSwatch(QPushButton *b, const QColor &c)
{
    b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #555; min-height: 22px;").arg(c.name()));
}

} // namespace

TColorBar::TColorBar(QWidget *region, TForm1 *form)
    : QObject(region), m_form(form)
{
    setObjectName(QStringLiteral("ColorBarControls"));
    auto *layout = qobject_cast<QVBoxLayout *>(region->layout());
    if (!layout)
        layout = new QVBoxLayout(region);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_firstSwatch = new QPushButton(region);
    m_firstSwatch->setObjectName(QStringLiteral("FirstColorSwatch"));
    m_firstSwatch->setAccessibleName(QStringLiteral("First colour"));
    m_firstSwatch->setToolTip(QStringLiteral("First colour: click to choose"));
    m_secondSwatch = new QPushButton(region);
    m_secondSwatch->setObjectName(QStringLiteral("SecondColorSwatch"));
    m_secondSwatch->setAccessibleName(QStringLiteral("Second colour"));
    m_secondSwatch->setToolTip(QStringLiteral("Second colour: click to choose"));
    setSwatch(m_firstSwatch, m_firstColor);
    setSwatch(m_secondSwatch, m_secondColor);
    connect(m_firstSwatch, &QPushButton::clicked, this, [this] { chooseColor(&m_firstColor, m_firstSwatch); });
    connect(m_secondSwatch, &QPushButton::clicked, this, [this] { chooseColor(&m_secondColor, m_secondSwatch); });

    auto *fg = new QPushButton(QStringLiteral("FG Color"), region);
    fg->setObjectName(QStringLiteral("ToolbarButton97127"));
    fg->setToolTip(QStringLiteral("Insert the current forground color into your document"));
    auto *bg = new QPushButton(QStringLiteral("BG Color"), region);
    bg->setObjectName(QStringLiteral("ToolbarButton97128"));
    bg->setToolTip(QStringLiteral("Insert the current background color into your document"));
    m_colorTag = new QCheckBox(QStringLiteral("tag?"), region);
    m_colorTag->setObjectName(QStringLiteral("ColorTagCheckBox"));
    m_colorTag->setToolTip(QStringLiteral("Use the <font> tag..."));
    connect(fg, &QPushButton::clicked, this, [this] { insertColor(m_firstColor); });
    connect(bg, &QPushButton::clicked, this, [this] { insertColor(m_secondColor); });
    for (QWidget *w : std::initializer_list<QWidget *>{m_firstSwatch, m_secondSwatch, fg, bg, m_colorTag})
        layout->addWidget(w);
    layout->addStretch(1);
}

TColorBar *TColorBar::of(const TForm1 &form)
{
    return form.colorBar() ? form.colorBar()->findChild<TColorBar *>(QStringLiteral("ColorBarControls")) : nullptr;
}

void TColorBar::setColors(const QColor &first, const QColor &second)
{
    m_firstColor = first;
    m_secondColor = second;
    setSwatch(m_firstSwatch, first);
    setSwatch(m_secondSwatch, second);
}

void TColorBar::chooseColor(QColor *colour, QPushButton *swatch)
{
    const QColor c = QColorDialog::getColor(*colour, m_form);
    if (c.isValid()) {
        *colour = c;
        setSwatch(swatch, c);
    }
}

void TColorBar::insertColor(const QColor &colour)
{
    const bool tag = m_colorTag->isChecked();
    const MarkupStyle markup = gSetupTools ? gSetupTools->LoadWizardMarkup() : MarkupStyle::Classic;
    m_form->withBuffer([&](ITextBuffer *b) { InsertColor(b, {colour.red(), colour.green(), colour.blue()}, tag, markup); });
}

void setColorBarColors(TForm1 &form, const QColor &first, const QColor &second)
{
    if (TColorBar *bar = TColorBar::of(form))
        bar->setColors(first, second);
}

} // namespace Quorvant
