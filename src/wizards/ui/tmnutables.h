// The custom table dialog: the table's size and attributes, a grid of cells
// with each cell's text and options; "Done" writes the whole table.
#pragma once

#include "tablebuilder.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace Quorvant {

class TColorSwatch;
class TForm1;

inline constexpr char TableDialogCaption[] = "Insert A Custom Table.";
inline constexpr char TableHelpTopic[] = "TablesMenu.Htm";

class Tmnutables : public QDialog
{
    Q_OBJECT
public:
    explicit Tmnutables(TForm1 &form, QWidget *parent = nullptr);

    // What "Done" would write now.
    TTableSettings settings() const;
    // "Done": writes the table into the current document and closes.
    void Image4Click();
    // Selects the cell as a click on it does.
    void StringGrid1Click(int column, int row);

private:
    void resizeGrid();
    void LoadObjects(int column, int row);
    void SaveObjects();
    void cellTextEdited();
    void chooseBackgroundImage();
    TTableCell &cellAt(int column, int row);
    QWidget *buildGeneralPage();
    QWidget *buildExtendedPage();

    TForm1 &m_form;
    // Row by row; always as large as the grid.
    QList<QList<TTableCell>> m_cells;
    int m_column = 0;
    int m_row = 0;
    bool m_loading = false;

    QSpinBox *m_rows = nullptr;
    QSpinBox *m_columns = nullptr;
    QLineEdit *m_tableWidth = nullptr;
    QLineEdit *m_tableHeight = nullptr;
    QCheckBox *m_percent = nullptr;
    QLineEdit *m_cellSpacing = nullptr;
    QLineEdit *m_cellPadding = nullptr;
    QTableWidget *m_grid = nullptr;
    QPlainTextEdit *m_cellText = nullptr;
    QLabel *m_position = nullptr;
    QLineEdit *m_rowSpan = nullptr;
    QLineEdit *m_colSpan = nullptr;
    QLineEdit *m_cellWidth = nullptr;
    QLineEdit *m_cellHeight = nullptr;
    TColorSwatch *m_cellColor = nullptr;
    QLineEdit *m_caption = nullptr;
    QComboBox *m_captionAlignment = nullptr;
    QComboBox *m_cellAlignment = nullptr;
    QComboBox *m_borderWidth = nullptr;
    QCheckBox *m_useBackgroundColor = nullptr;
    TColorSwatch *m_backgroundColor = nullptr;
    QCheckBox *m_useBackgroundImage = nullptr;
    QLineEdit *m_backgroundImage = nullptr;
    QToolButton *m_browseImage = nullptr;
    QCheckBox *m_useBorderColor = nullptr;
    TColorSwatch *m_borderColor = nullptr;
    QCheckBox *m_useLightDark = nullptr;
    QLabel *m_lightLabel = nullptr;
    QLabel *m_darkLabel = nullptr;
    TColorSwatch *m_lightColor = nullptr;
    TColorSwatch *m_darkColor = nullptr;
};

} // namespace Quorvant
