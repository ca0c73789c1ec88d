// The HTML of the two table builders: the custom table of the table dialog
// and the empty table of the quick picker, each as the pieces handed in
// turn to ptext.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

// A cell's options. An empty colour text means no colour.
struct TCD
{
    QString RowSpan;
    QString ColSpan;
    QString Width;
    QString Height;
    QString BgColor;

    void SetVars(const QString &R, const QString &C, const QString &W, const QString &H, const QString &BGC)
    {
        RowSpan = R;
        ColSpan = C;
        Width = W;
        Height = H;
        BgColor = BGC;
    }
};

// One cell of the grid: its text and its options (empty until edited).
struct TTableCell
{
    QString text;
    TCD record;
};

// Everything the table dialog writes. Colour texts are empty while no
// colour was chosen; such a colour writes no attribute.
struct TTableSettings
{
    int rows = 1;
    int columns = 1;
    QString width;
    QString height;
    bool percent = false;
    QString cellSpacing;
    QString cellPadding;
    QString cellAlignment;
    QString borderWidth;
    bool useBackgroundColor = false;
    QString backgroundColor;
    bool useBorderColor = false;
    QString borderColor;
    bool useBackgroundImage = false;
    QString backgroundImage;
    bool useLightDarkBorder = false;
    QString lightBorderColor;
    QString darkBorderColor;
    QString caption;
    QString captionAlignment;
    // Row by row, each row `columns` cells; missing cells are empty.
    QList<QList<TTableCell>> cells;
};

inline constexpr int MaxTableRows = 200;
inline constexpr int MaxTableColumns = 200;
// Stands for "no colour" in a cell's colour text, as the empty text does.
inline constexpr char NoCellColorText[] = "ScrollBar";

// One TD element with the cell's options in this order: RowSpan, ColSpan,
// Width, Height, BGColor; empty values and the no-colour text are left out.
QString MakeTableSource(const QString &CellText, const QString &RowSpan, const QString &ColSpan,
                        const QString &CellWidth, const QString &CellHeight, const QString &BGColor);

// The custom table: the TABLE start tag, the caption, each row and cell,
// the end tag; rows indented by two spaces, cells by six. A cell whose
// RowSpan or ColSpan is a whole number above 1 takes the places of the cells
// it spans (to the right, and below in the following rows): those cells are
// not written, so every row holds as many columns as the table.
QStringList customTablePieces(const TTableSettings &settings);

// The empty table of the quick picker, without attributes or indentation
// other than the cells' seven spaces.
QStringList quickTablePieces(int rows, int columns);

} // namespace Quorvant
