// The colour bar's controls: two colour swatches, the buttons that insert
// them into the document and the "tag?" choice. Built into the main
// window's colour bar region.
#pragma once

#include <QColor>
#include <QObject>

class QCheckBox;
class QPushButton;
class QWidget;

namespace Quorvant {

class TForm1;

class TColorBar : public QObject
{
    Q_OBJECT
public:
    TColorBar(QWidget *region, TForm1 *form);

    // The colour bar of this main window, if its controls are built.
    static TColorBar *of(const TForm1 &form);

    void setColors(const QColor &first, const QColor &second);

private:
    void chooseColor(QColor *colour, QPushButton *swatch);
    void insertColor(const QColor &colour);

    TForm1 *m_form;
    QColor m_firstColor = Qt::black;
    QColor m_secondColor = Qt::white;
    QPushButton *m_firstSwatch = nullptr;
    QPushButton *m_secondSwatch = nullptr;
    QCheckBox *m_colorTag = nullptr;
};

// The colour bar's two colours (the picker's first and second).
void setColorBarColors(TForm1 &form, const QColor &first, const QColor &second);

} // namespace Quorvant
