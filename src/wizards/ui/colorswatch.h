// A colour box of the wizards: shows the chosen colour and opens the colour
// chooser when clicked. Until a colour is chosen it has none and writes no
// attribute (it then shows the button face, as an empty box does).
#pragma once

#include "pathsandcolours.h"

#include <QColor>
#include <QToolButton>

#include <functional>
#include <optional>

namespace Quorvant {

class TColorSwatch : public QToolButton
{
    Q_OBJECT
public:
    explicit TColorSwatch(QWidget *parent = nullptr);

    bool hasColor() const { return m_color.has_value(); }
    QColor color() const { return m_color.value_or(QColor()); }
    void setColor(const QColor &color);
    void clearColor();
    // The colour's HTML text ("Red", "#1A2B3C"), empty while there is none.
    QString htmlColor() const;

    // Opens the chooser; true when a colour was chosen.
    bool choose();

    // Tests answer the chooser: an empty result is a cancelled chooser.
    using Chooser = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;
    static void setChooserForTests(Chooser chooser);

signals:
    void colorChosen(const QColor &color);

private:
    void paintSwatch();

    std::optional<QColor> m_color;
};

} // namespace Quorvant
