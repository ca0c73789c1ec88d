#include "tmnutables.h"

#include "colorswatch.h"
#include "html5markup.h"
#include "mainwindow.h"
#include "wizardsupport.h"

#include "messageservice.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "wizardhtml.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

// The grid shows a cell's first line; the cell text box holds all of it.
QString gridText(const QString &text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end) + QStringLiteral("...");
}

// A check box that opens the colour chooser of its swatch when checked; the
// swatch shows only while it holds a colour and the box is checked.
void bindColourCheck(QCheckBox *check, TColorSwatch *swatch)
{
    swatch->setVisible(false);
    QObject::connect(check, &QCheckBox::toggled, swatch, [check, swatch](bool on) {
        if (on)
            swatch->choose();
        swatch->setVisible(check->isChecked() && swatch->hasColor());
    });
}

} // namespace

Tmnutables::Tmnutables(TForm1 &form, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("mnutables"));
    setWindowTitle(QLatin1String(TableDialogCaption));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    fitToScreen(this);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    tabs->addTab(buildGeneralPage(), QStringLiteral("General"));
    tabs->addTab(buildExtendedPage(), QStringLiteral("Extended"));

    QHBoxLayout *buttons = doneCancelRow(this, form, [this] { Image4Click(); }, QLatin1String(TableHelpTopic));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    m_cells = {{TTableCell{}}};
    resizeGrid();
    m_grid->setCurrentCell(0, 0);
    m_rows->setFocus();
}

QWidget *Tmnutables::buildGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("GeneralPage"));

    m_rows = new QSpinBox(page);
    m_rows->setObjectName(QStringLiteral("RowsEdit"));
    m_rows->setRange(1, MaxTableRows);
    m_columns = new QSpinBox(page);
    m_columns->setObjectName(QStringLiteral("ColumnsEdit"));
    m_columns->setRange(1, MaxTableColumns);
    // A count left empty or unreadable counts as 1.
    for (QSpinBox *count : {m_rows, m_columns})
        count->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(m_rows, &QSpinBox::valueChanged, this, &Tmnutables::resizeGrid);
    connect(m_columns, &QSpinBox::valueChanged, this, &Tmnutables::resizeGrid);
    m_tableWidth = named(new QLineEdit(page), "TableWidthEdit");
    m_tableHeight = named(new QLineEdit(page), "TableHeightEdit");
    m_percent = new QCheckBox(QStringLiteral("%"), page);
    m_percent->setObjectName(QStringLiteral("PercentCheck"));
    m_cellSpacing = named(new QLineEdit(page), "CellSpacingEdit");
    m_cellPadding = named(new QLineEdit(page), "CellPaddingEdit");

    auto *size = new QFormLayout;
    size->addRow(QStringLiteral("Rows:"), m_rows);
    size->addRow(QStringLiteral("Columns:"), m_columns);
    auto *width = new QHBoxLayout;
    width->addWidget(m_tableWidth);
    width->addWidget(m_percent);
    size->addRow(fieldLabel(QStringLiteral("Table Width:"), m_tableWidth), width);
    size->addRow(QStringLiteral("Table Height:"), m_tableHeight);
    size->addRow(QStringLiteral("Cell Spacing:"), m_cellSpacing);
    size->addRow(QStringLiteral("Cell Padding:"), m_cellPadding);

    m_grid = new QTableWidget(page);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setDefaultSectionSize(64);
    m_grid->setMinimumSize(300, 150);
    m_grid->setAccessibleName(QStringLiteral("Table cells"));
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int column) { StringGrid1Click(column, row); });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column >= 0 && (row != m_row || column != m_column))
            StringGrid1Click(column, row);
    });

    m_cellText = new QPlainTextEdit(page);
    m_cellText->setObjectName(QStringLiteral("CellTextMemo"));
    m_cellText->setMaximumHeight(80);
    m_cellText->setTabChangesFocus(true);
    connect(m_cellText, &QPlainTextEdit::textChanged, this, &Tmnutables::cellTextEdited);

    m_position = new QLabel(QStringLiteral("1,1"), page);
    m_position->setObjectName(QStringLiteral("CellPositionLabel"));
    m_rowSpan = named(new QLineEdit(page), "RowSpanEdit");
    m_colSpan = named(new QLineEdit(page), "ColSpanEdit");
    m_cellWidth = named(new QLineEdit(page), "CellWidthEdit");
    m_cellHeight = named(new QLineEdit(page), "CellHeightEdit");
    for (QLineEdit *edit : {m_rowSpan, m_colSpan, m_cellWidth, m_cellHeight})
        connect(edit, &QLineEdit::textEdited, this, &Tmnutables::SaveObjects);
    m_cellColor = new TColorSwatch(page);
    m_cellColor->setObjectName(QStringLiteral("CellBgColor"));
    connect(m_cellColor, &TColorSwatch::colorChosen, this, &Tmnutables::SaveObjects);

    auto *options = new QGroupBox(page);
    options->setObjectName(QStringLiteral("CellOptionsBox"));
    auto *optionsLayout = new QFormLayout(options);
    optionsLayout->addRow(QStringLiteral("Cell Options:"), m_position);
    optionsLayout->addRow(QStringLiteral("RowSpan:"), m_rowSpan);
    optionsLayout->addRow(QStringLiteral("ColSpan:"), m_colSpan);
    optionsLayout->addRow(QStringLiteral("Cell Width:"), m_cellWidth);
    optionsLayout->addRow(QStringLiteral("Cell Height:"), m_cellHeight);
    optionsLayout->addRow(QStringLiteral("BgColor"), m_cellColor);

    auto *top = new QHBoxLayout;
    top->addLayout(size);
    top->addWidget(options);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(fieldLabel(QStringLiteral("Cell Text:"), m_cellText));
    layout->addWidget(m_cellText);
    return page;
}

QWidget *Tmnutables::buildExtendedPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("ExtendedPage"));

    m_caption = named(new QLineEdit(page), "CaptionEdit");
    m_captionAlignment = editableChoice(page, "CaptionAlignmentBox",
                                        {QStringLiteral("BOTTOM"), QStringLiteral("CENTER"), QStringLiteral("LEFT"),
                                         QStringLiteral("RIGHT"), QStringLiteral("TOP")});
    m_cellAlignment = editableChoice(page, "CellAlignmentBox",
                                     {QStringLiteral("LEFT"), QStringLiteral("CENTER"), QStringLiteral("RIGHT")});
    QStringList borders;
    for (int n = 1; n <= 10; ++n)
        borders.append(QString::number(n));
    m_borderWidth = editableChoice(page, "BorderWidthBox", borders);

    auto *general = new QFormLayout;
    general->addRow(QStringLiteral("Table Caption:"), m_caption);
    general->addRow(QStringLiteral("Caption Alignment:"), m_captionAlignment);
    general->addRow(QStringLiteral("Cell Alignment:"), m_cellAlignment);
    general->addRow(QStringLiteral("Border Width"), m_borderWidth);

    auto *properties = new QGroupBox(QStringLiteral("Optional Table Properties:"), page);
    m_useBackgroundColor = new QCheckBox(QStringLiteral("Background Color"), properties);
    m_useBackgroundColor->setObjectName(QStringLiteral("BackgroundColorCheck"));
    m_backgroundColor = new TColorSwatch(properties);
    m_backgroundColor->setObjectName(QStringLiteral("BackgroundColorSwatch"));
    bindColourCheck(m_useBackgroundColor, m_backgroundColor);
    connect(m_backgroundColor, &TColorSwatch::colorChosen, this,
            [this] { m_backgroundColor->setVisible(m_useBackgroundColor->isChecked()); });
    m_useBackgroundImage = new QCheckBox(QStringLiteral("Background Image"), properties);
    m_useBackgroundImage->setObjectName(QStringLiteral("BackgroundImageCheck"));
    m_backgroundImage = named(new QLineEdit(properties), "BackgroundImageEdit");
    m_browseImage = new QToolButton(properties);
    m_browseImage->setObjectName(QStringLiteral("BackgroundImageBrowse"));
    m_browseImage->setText(QStringLiteral("..."));
    m_backgroundImage->setVisible(false);
    m_browseImage->setVisible(false);
    connect(m_useBackgroundImage, &QCheckBox::toggled, this, [this](bool on) {
        m_backgroundImage->setVisible(on);
        m_browseImage->setVisible(on);
        if (on)
            chooseBackgroundImage();
    });
    connect(m_browseImage, &QToolButton::clicked, this, &Tmnutables::chooseBackgroundImage);
    auto *propertiesLayout = new QGridLayout(properties);
    propertiesLayout->addWidget(m_useBackgroundColor, 0, 0);
    propertiesLayout->addWidget(m_backgroundColor, 0, 1);
    propertiesLayout->addWidget(m_useBackgroundImage, 1, 0);
    propertiesLayout->addWidget(m_backgroundImage, 1, 1);
    propertiesLayout->addWidget(m_browseImage, 1, 2);
    propertiesLayout->setColumnStretch(1, 1);

    auto *border = new QGroupBox(QStringLiteral("Optional Table Border Settings:"), page);
    m_useBorderColor = new QCheckBox(QStringLiteral("Table Border Color"), border);
    m_useBorderColor->setObjectName(QStringLiteral("BorderColorCheck"));
    m_borderColor = new TColorSwatch(border);
    m_borderColor->setObjectName(QStringLiteral("BorderColorSwatch"));
    bindColourCheck(m_useBorderColor, m_borderColor);
    connect(m_borderColor, &TColorSwatch::colorChosen, this,
            [this] { m_borderColor->setVisible(m_useBorderColor->isChecked()); });
    m_useLightDark = new QCheckBox(QStringLiteral("Background Color"), border);
    m_useLightDark->setObjectName(QStringLiteral("LightDarkBorderCheck"));
    m_lightLabel = new QLabel(QStringLiteral("Light Border Color:"), border);
    m_darkLabel = new QLabel(QStringLiteral("Dark Border Color:"), border);
    m_lightColor = new TColorSwatch(border);
    m_lightColor->setObjectName(QStringLiteral("LightBorderSwatch"));
    m_darkColor = new TColorSwatch(border);
    m_darkColor->setObjectName(QStringLiteral("DarkBorderSwatch"));
    for (QWidget *w : std::initializer_list<QWidget *>{m_lightLabel, m_darkLabel, m_lightColor, m_darkColor})
        w->setVisible(false);
    connect(m_useLightDark, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget *w : std::initializer_list<QWidget *>{m_lightLabel, m_darkLabel, m_lightColor, m_darkColor})
            w->setVisible(on);
    });
    auto *borderLayout = new QGridLayout(border);
    borderLayout->addWidget(m_useBorderColor, 0, 0);
    borderLayout->addWidget(m_borderColor, 0, 1);
    borderLayout->addWidget(m_useLightDark, 1, 0);
    borderLayout->addWidget(m_lightLabel, 2, 0);
    borderLayout->addWidget(m_lightColor, 2, 1);
    borderLayout->addWidget(m_darkLabel, 3, 0);
    borderLayout->addWidget(m_darkColor, 3, 1);
    borderLayout->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(general);
    layout->addWidget(properties);
    layout->addWidget(border);
    layout->addStretch(1);
    return page;
}

TTableCell &Tmnutables::cellAt(int column, int row)
{
    return m_cells[row][column];
}

void Tmnutables::resizeGrid()
{
    const int rows = m_rows->value();
    const int columns = m_columns->value();
    m_cells.resize(rows);
    for (QList<TTableCell> &row : m_cells)
        row.resize(columns);
    const int oldRows = m_grid->rowCount();
    const int oldColumns = m_grid->columnCount();
    m_grid->setRowCount(rows);
    m_grid->setColumnCount(columns);
    // New cells get items; the remaining cells keep theirs.
    for (int r = 0; r < rows; ++r) {
        for (int c = (r < oldRows ? oldColumns : 0); c < columns; ++c)
            m_grid->setItem(r, c, new QTableWidgetItem);
    }
    if (m_row >= rows || m_column >= columns)
        StringGrid1Click(qMin(m_column, columns - 1), qMin(m_row, rows - 1));
}

void Tmnutables::StringGrid1Click(int column, int row)
{
    if (row < 0 || column < 0 || row >= m_cells.size() || column >= m_cells.at(row).size())
        return;
    m_column = column;
    m_row = row;
    if (m_grid->currentRow() != row || m_grid->currentColumn() != column)
        m_grid->setCurrentCell(row, column);
    m_position->setText(QStringLiteral("%1,%2").arg(column).arg(row));
    const TTableCell &cell = cellAt(column, row);
    LoadObjects(column, row);
    m_loading = true;
    m_cellText->setPlainText(cell.text);
    m_loading = false;
    m_cellText->setFocus();
}

void Tmnutables::LoadObjects(int column, int row)
{
    const TTableCell &cell = cellAt(column, row);
    m_rowSpan->setText(cell.record.RowSpan);
    m_colSpan->setText(cell.record.ColSpan);
    m_cellWidth->setText(cell.record.Width);
    m_cellHeight->setText(cell.record.Height);
    bool ok = false;
    const RgbColor c = WebColorToDelphiColor(cell.record.BgColor, &ok);
    if (ok)
        m_cellColor->setColor(QColor(c.red, c.green, c.blue));
    else
        m_cellColor->clearColor();
}

void Tmnutables::SaveObjects()
{
    cellAt(m_column, m_row).record.SetVars(m_rowSpan->text(), m_colSpan->text(), m_cellWidth->text(), m_cellHeight->text(),
                        m_cellColor->htmlColor());
}

void Tmnutables::cellTextEdited()
{
    if (m_loading)
        return;
    const QString text = crLfText(m_cellText);
    cellAt(m_column, m_row).text = text;
    if (QTableWidgetItem *item = m_grid->item(m_row, m_column))
        item->setText(gridText(text));
}

void Tmnutables::chooseBackgroundImage()
{
    const QList<FileFilter> filters = {
        {QStringLiteral("All Image Files"), QStringLiteral("*.GIF;*.BMP;*.PNG;*.JPG")},
        {QStringLiteral("Gif Files"), QStringLiteral("*.GIF")},
        {QStringLiteral("BMP Files"), QStringLiteral("*.BMP")},
        {QStringLiteral("PNG Files"), QStringLiteral("*.PNG")},
        {QStringLiteral("Jped Files"), QStringLiteral("*.JPG")},
    };
    chooseFileInto(m_backgroundImage, this, QStringLiteral("Background Image"), gDir.HighResImages, filters);
}

TTableSettings Tmnutables::settings() const
{
    TTableSettings s;
    s.rows = m_rows->value();
    s.columns = m_columns->value();
    s.width = m_tableWidth->text();
    s.height = m_tableHeight->text();
    s.percent = m_percent->isChecked();
    s.cellSpacing = m_cellSpacing->text();
    s.cellPadding = m_cellPadding->text();
    s.cellAlignment = m_cellAlignment->currentText();
    s.borderWidth = m_borderWidth->currentText();
    s.useBackgroundColor = m_useBackgroundColor->isChecked();
    s.backgroundColor = m_backgroundColor->htmlColor();
    s.useBorderColor = m_useBorderColor->isChecked();
    s.borderColor = m_borderColor->htmlColor();
    s.useBackgroundImage = m_useBackgroundImage->isChecked();
    s.backgroundImage = m_backgroundImage->text();
    s.useLightDarkBorder = m_useLightDark->isChecked();
    s.lightBorderColor = m_lightColor->htmlColor();
    s.darkBorderColor = m_darkColor->htmlColor();
    s.caption = m_caption->text();
    s.captionAlignment = m_captionAlignment->currentText();
    s.cells = m_cells;
    return s;
}

void Tmnutables::Image4Click()
{
    const QStringList pieces = wizardMarkup() == MarkupStyle::Html5 ? html5CustomTablePieces(settings()) : customTablePieces(settings());
    m_form.withBuffer([&pieces](ITextBuffer *buffer) { insertPieces(buffer, pieces); });
    accept();
}

} // namespace Quorvant
