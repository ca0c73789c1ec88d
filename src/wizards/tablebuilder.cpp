#include "tablebuilder.h"

#include "wizardhtml.h"

namespace Quorvant {

namespace {

QString colourAttribute(bool checked, const char *name, const QString &colour)
{
    return checked ? optionalAttribute(QLatin1String(name), colour) : QString();
}

// How many rows or columns a span text reaches over: a whole number above 1,
// else 1 (empty or unreadable texts span nothing), at most `room`.
int spanCount(const QString &text, int room)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n > 1 ? qMin(n, room) : 1;
}

} // namespace

QString MakeTableSource(const QString &CellText, const QString &RowSpan, const QString &ColSpan,
                        const QString &CellWidth, const QString &CellHeight, const QString &BGColor)
{
    QString cell = QStringLiteral("<TD");
    cell += optionalAttribute(QStringLiteral("RowSpan"), RowSpan);
    cell += optionalAttribute(QStringLiteral("ColSpan"), ColSpan);
    cell += optionalAttribute(QStringLiteral("Width"), CellWidth);
    cell += optionalAttribute(QStringLiteral("Height"), CellHeight);
    if (BGColor != QLatin1String(NoCellColorText))
        cell += optionalAttribute(QStringLiteral("BGColor"), BGColor);
    cell += QLatin1Char('>');
    cell += CellText;
    cell += QStringLiteral("</TD>");
    return cell;
}

QStringList customTablePieces(const TTableSettings &s)
{
    const QString percent = s.percent ? QStringLiteral("%") : QString();
    QString table = QStringLiteral("<TABLE");
    if (!s.width.isEmpty())
        table += htmlAttribute(QStringLiteral("WIDTH"), s.width + percent);
    if (!s.height.isEmpty())
        table += htmlAttribute(QStringLiteral("HEIGHT"), s.height + percent);
    table += optionalAttribute(QStringLiteral("CELLSPACING"), s.cellSpacing);
    table += optionalAttribute(QStringLiteral("CELLPADDING"), s.cellPadding);
    table += optionalAttribute(QStringLiteral("ALIGN"), s.cellAlignment);
    table += optionalAttribute(QStringLiteral("BORDER"), s.borderWidth);
    table += colourAttribute(s.useBackgroundColor, "BGCOLOR", s.backgroundColor);
    table += colourAttribute(s.useBorderColor, "BORDERCOLOR", s.borderColor);
    if (s.useBackgroundImage)
        table += htmlAttribute(QStringLiteral("BACKGROUND"), s.backgroundImage);
    table += colourAttribute(s.useLightDarkBorder, "BORDERCOLORLIGHT", s.lightBorderColor);
    table += colourAttribute(s.useLightDarkBorder, "BORDERCOLORDARK", s.darkBorderColor);
    table += QLatin1Char('>');

    QStringList pieces;
    const int rows = qBound(0, s.rows, MaxTableRows);
    const int columns = qBound(0, s.columns, MaxTableColumns);
    pieces.reserve(3 + rows * (columns + 2));
    pieces.append(table);

    if (!s.caption.isEmpty() || !s.captionAlignment.isEmpty()) {
        pieces.append(CrLf + QStringLiteral("  <CAPTION") + optionalAttribute(QStringLiteral("ALIGN"), s.captionAlignment)
                      + QLatin1Char('>') + s.caption + QStringLiteral("</CAPTION>"));
    }

    const TTableCell emptyCell;
    const QString rowStart = CrLf + QStringLiteral("  <TR>");
    const QString rowEnd = CrLf + QStringLiteral("  </TR>");
    const QString cellIndent = CrLf + QStringLiteral("      ");
    // The grid places taken by a cell that spans rows or columns: those
    // cells are not written, as a browser already puts the spanning cell there.
    QList<bool> covered(qsizetype(rows) * columns, false);
    for (int r = 0; r < rows; ++r) {
        pieces.append(rowStart);
        const QList<TTableCell> *row = r < s.cells.size() ? &s.cells.at(r) : nullptr;
        for (int c = 0; c < columns; ++c) {
            if (covered.at(qsizetype(r) * columns + c))
                continue;
            const TTableCell &cell = row && c < row->size() ? row->at(c) : emptyCell;
            const TCD &o = cell.record;
            pieces.append(cellIndent + MakeTableSource(cell.text, o.RowSpan, o.ColSpan, o.Width, o.Height, o.BgColor));
            const int spannedRows = spanCount(o.RowSpan, rows - r);
            const int spannedColumns = spanCount(o.ColSpan, columns - c);
            for (int dr = 0; dr < spannedRows; ++dr) {
                for (int dc = 0; dc < spannedColumns; ++dc)
                    covered[qsizetype(r + dr) * columns + c + dc] = true;
            }
        }
        pieces.append(rowEnd);
    }
    pieces.append(CrLf + QStringLiteral("</TABLE>"));
    return pieces;
}

QStringList quickTablePieces(int rows, int columns)
{
    QStringList pieces;
    pieces.append(QStringLiteral("<TABLE>"));
    for (int r = 0; r < rows; ++r) {
        pieces.append(CrLf + QStringLiteral("<TR>"));
        for (int c = 0; c < columns; ++c)
            pieces.append(CrLf + QStringLiteral("       <TD></TD>"));
        pieces.append(CrLf + QStringLiteral("</TR>"));
    }
    pieces.append(CrLf + QStringLiteral("</TABLE>"));
    return pieces;
}

} // namespace Quorvant
