#include "taginspector.h"

#include "appglobals.h"
#include "messageservice.h"
#include "pathsandcolours.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {
constexpr int DefaultRowHeight = 20;
}

std::function<QColor()> TTagInspector::colorChooserForTests;

TTagInspector::TTagInspector(QWidget *page, const TTagDatabase *database)
    : QWidget(page), m_database(database)
{
    setObjectName(QStringLiteral("TagInspector"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("MainGrid"));
    m_grid->setAccessibleName(QStringLiteral("Tag attributes"));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    m_grid->horizontalHeader()->setDefaultSectionSize(qMax(20, page->width() / 2 - 4));
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    QPalette pal = m_grid->palette();
    // A fixed grey ground gets a fixed dark text: readable under a dark theme too.
    pal.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    pal.setColor(QPalette::Text, Qt::black);
    m_grid->setPalette(pal);
    layout->addWidget(m_grid);

    // The cell editors float over the grid's cells.
    m_combo = new QComboBox(m_grid->viewport());
    m_combo->setObjectName(QStringLiteral("ComboBox"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->hide();
    m_button = new QToolButton(m_grid->viewport());
    m_button->setObjectName(QStringLiteral("FileButton"));
    m_button->setText(QStringLiteral("..."));
    m_button->hide();

    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { openCellEditor(row, column); });
    connect(m_grid, &QTableWidget::itemChanged, this, &TTagInspector::itemChanged);
    connect(m_combo, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!m_filling)
            setValueCell(text);
    });
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (m_colorButton)
            ColorButtonClick();
        else
            FileButtonClick();
    });
    ClearStringList();
}

void TTagInspector::RunTagInspector()
{
    ITextBuffer *buffer = currentBuffer ? currentBuffer() : nullptr;
    if (!buffer || !m_database || !m_database->isActive()) {
        ClearStringList();
        return;
    }
    const CaretPoint caret = buffer->caretPoint();
    const QString line = buffer->line(caret.y);
    if (line.isEmpty() || caret.x > line.size()) {
        ClearStringList();
        return;
    }
    const TCaretTag tag = CaretTag(line, caret.x);
    if (!tag.Inside) {
        ClearStringList();
        return;
    }
    RunTag(tag.TagText);
    if (!m_tagBeingExecuted.isEmpty()) {
        m_shownBuffer = buffer;
        m_shownLine = caret.y;
        m_shownStart = tag.Start;
        m_shownText = tag.TagText;
    }
}

void TTagInspector::forgetShownTag()
{
    m_shownBuffer = nullptr;
    m_shownLine = -1;
    m_shownStart = -1;
    m_shownText.clear();
}

bool TTagInspector::stillShowsCaretTag(ITextBuffer *buffer) const
{
    if (!buffer || buffer != m_shownBuffer || m_shownLine < 0)
        return false;
    const CaretPoint caret = buffer->caretPoint();
    if (caret.y != m_shownLine)
        return false;
    const TCaretTag tag = CaretTag(buffer->line(caret.y), caret.x);
    return tag.Inside && tag.Start == m_shownStart && tag.TagText == m_shownText;
}

void TTagInspector::RunTag(const QString &LineText)
{
    const QString name = TTagDatabase::FindMainTag(LineText);
    if (name.isEmpty())
        return;
    forgetShownTag();
    m_tagBeingExecuted = name;
    m_currentMainTag = name;
    m_styles.clear();
    const QList<TGridRow> rows = m_database->GridRowsFor(LineText, &m_styles);

    TurnAllControlsOff();
    m_filling = true;
    m_grid->clearContents();
    m_grid->setColumnCount(2);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    m_grid->setRowCount(qMax(1, int(rows.size())));
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        auto *nameItem = new QTableWidgetItem(r < rows.size() ? rows.at(r).first : QString());
        nameItem->setFlags(nameItem->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(r, 0, nameItem);
        auto *valueItem = new QTableWidgetItem(r < rows.size() ? rows.at(r).second : QString());
        if (r >= rows.size())
            valueItem->setFlags(valueItem->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(r, 1, valueItem);
    }
    // The attribute names are short: show them whole, the values take the rest.
    m_grid->resizeColumnToContents(0);
    m_grid->setCurrentCell(0, 0);
    m_filling = false;
}

void TTagInspector::ClearStringList()
{
    m_tagBeingExecuted.clear();
    forgetShownTag();
    m_styles.clear();
    TurnAllControlsOff();
    m_filling = true;
    m_grid->clearContents();
    m_grid->setColumnCount(2);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    m_grid->setRowCount(1);
    for (int c = 0; c < 2; ++c) {
        auto *item = new QTableWidgetItem;
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(0, c, item);
    }
    m_filling = false;
}

void TTagInspector::TurnAllControlsOff()
{
    m_combo->hide();
    m_button->hide();
}

QString TTagInspector::rowStyle(int row) const
{
    return row >= 0 && row < m_styles.size() ? m_styles.at(row) : QStringLiteral("String");
}

void TTagInspector::openCellEditor(int row, int column)
{
    TurnAllControlsOff();
    if (column != 1 || row < 0 || m_tagBeingExecuted.isEmpty() || row >= m_styles.size())
        return;
    const QTableWidgetItem *nameItem = m_grid->item(row, 0);
    const QTableWidgetItem *valueItem = m_grid->item(row, 1);
    if (!nameItem || !valueItem)
        return;
    const QRect cell = m_grid->visualRect(m_grid->model()->index(row, 1));
    const QString style = rowStyle(row);
    if (style.compare(QLatin1String("ComboBox"), Qt::CaseInsensitive) == 0) {
        m_filling = true;
        m_combo->clear();
        m_combo->addItems(m_database->LoadComboBoxData(m_currentMainTag, nameItem->text()));
        m_combo->setEditText(valueItem->text());
        m_filling = false;
        m_combo->setGeometry(cell);
        m_combo->show();
        m_combo->raise();
    } else if (style.compare(QLatin1String("FileSelect"), Qt::CaseInsensitive) == 0
               || style.compare(QLatin1String("ColorSelect"), Qt::CaseInsensitive) == 0) {
        m_colorButton = style.compare(QLatin1String("ColorSelect"), Qt::CaseInsensitive) == 0;
        m_button->setGeometry(cell.right() + 1 - 18, cell.top() + 1, 17, DefaultRowHeight - 2);
        m_button->show();
        m_button->raise();
    }
}

void TTagInspector::setValueCell(const QString &text)
{
    QTableWidgetItem *item = m_grid->item(m_grid->currentRow(), 1);
    if (item && item->text() != text)
        item->setText(text);  // itemChanged writes the tag
}

void TTagInspector::itemChanged(QTableWidgetItem *item)
{
    if (!m_filling && item && item->column() == 1)
        WriteNewTag();
}

void TTagInspector::FileButtonClick()
{
    const QStringList files = MessageService::getOpenFileNames(
        window(), QStringLiteral("Open"), QString(),
        {{QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")},
         {QStringLiteral("Image Files (*.JPG,*.GIF,*.BMP)"), QStringLiteral("*.JPG;*.GIF;*.BMP")},
         {QStringLiteral("Text Files (*.TXT)"), QStringLiteral("*.TXT")}});
    if (!files.isEmpty())
        setValueCell(convertfilename(files.first(), gCurrentFilePath));
}

void TTagInspector::ColorButtonClick()
{
    const QColor c = colorChooserForTests ? colorChooserForTests() : QColorDialog::getColor(Qt::black, window());
    if (c.isValid())
        setValueCell(gcolor({c.red(), c.green(), c.blue()}));
}

bool TTagInspector::WriteNewTag()
{
    if (m_tagBeingExecuted.isEmpty() || !currentBuffer)
        return false;
    ITextBuffer *buffer = currentBuffer();
    // Undo, Find Next or a menu command may have moved the caret or changed
    // the tag since the grid read it: never write old values into another
    // tag, show what is at the caret now. Later, as this runs inside the
    // grid's own change report.
    if (!stillShowsCaretTag(buffer)) {
        forgetShownTag();
        QMetaObject::invokeMethod(this, &TTagInspector::RunTagInspector, Qt::QueuedConnection);
        return false;
    }
    QList<TGridRow> rows;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        const QTableWidgetItem *n = m_grid->item(r, 0);
        const QTableWidgetItem *v = m_grid->item(r, 1);
        rows.append({n ? n->text() : QString(), v ? v->text() : QString()});
    }
    if (!TTagDatabase::WriteNewTag(buffer, m_tagBeingExecuted, rows))
        return false;
    const TCaretTag written = CaretTag(buffer->line(m_shownLine), buffer->caretPoint().x);
    m_shownStart = written.Start;
    m_shownText = written.TagText;
    return true;
}

} // namespace Quorvant

namespace Quorvant {
void turnAllControlsOff(QWidget *mainWindow)
{
    if (!mainWindow)
        return;
    if (auto *inspector = mainWindow->findChild<TTagInspector *>(QStringLiteral("TagInspector")))
        inspector->TurnAllControlsOff();
}
} // namespace Quorvant
