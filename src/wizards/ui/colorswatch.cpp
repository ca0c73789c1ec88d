#include "colorswatch.h"

#include <QColorDialog>
#include <QPalette>

namespace Quorvant {

namespace {

TColorSwatch::Chooser &testChooser()
{
    static TColorSwatch::Chooser chooser;
    return chooser;
}

} // namespace

TColorSwatch::TColorSwatch(QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(false);
    setMinimumSize(32, 20);
    connect(this, &QToolButton::clicked, this, [this] { choose(); });
    paintSwatch();
}

void TColorSwatch::setColor(const QColor &color)
{
    m_color = color;
    paintSwatch();
}

void TColorSwatch::clearColor()
{
    m_color.reset();
    paintSwatch();
}

QString TColorSwatch::htmlColor() const
{
    if (!m_color)
        return {};
    return gcolor(RgbColor{m_color->red(), m_color->green(), m_color->blue()});
}

bool TColorSwatch::choose()
{
    const QColor initial = m_color.value_or(Qt::white);
    std::optional<QColor> picked;
    if (testChooser()) {
        picked = testChooser()(window(), initial);
    } else {
        const QColor c = QColorDialog::getColor(initial, window());
        if (c.isValid())
            picked = c;
    }
    if (!picked || !picked->isValid())
        return false;
    setColor(*picked);
    emit colorChosen(*picked);
    return true;
}

void TColorSwatch::setChooserForTests(Chooser chooser)
{
    testChooser() = std::move(chooser);
}

void TColorSwatch::paintSwatch()
{
    const QColor fill = m_color.value_or(palette().color(QPalette::Button));
    setStyleSheet(QStringLiteral("QToolButton { background-color: %1; border: 1px solid palette(dark); }")
                      .arg(fill.name()));
    setToolTip(m_color ? htmlColor() : QStringLiteral("No colour chosen"));
}

} // namespace Quorvant
