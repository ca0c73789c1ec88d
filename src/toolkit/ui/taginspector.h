// The Tag Inspector: a two-column grid of the attributes of the tag at the
// caret, with a cell editor per attribute style (free text, a choice box, a
// file chooser, a colour chooser). Every change rebuilds the tag in the
// document.
#pragma once

#include "tagdatabase.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

namespace Quorvant {

class TTagInspector : public QWidget
{
    Q_OBJECT
public:
    TTagInspector(QWidget *page, const TTagDatabase *database);

    // The document the grid works on (the current one).
    std::function<ITextBuffer *()> currentBuffer;
    // Replaces the colour dialog in tests; an invalid colour is a cancel.
    static std::function<QColor()> colorChooserForTests;

    QTableWidget *MainGrid() const { return m_grid; }
    QComboBox *ComboBox() const { return m_combo; }
    QToolButton *FileButton() const { return m_button; }
    const QString &TagBeingExecuted() const { return m_tagBeingExecuted; }

    // Reads the tag at the caret into the grid (key release, click).
    void RunTagInspector();
    // Fills the grid from a tag text.
    void RunTag(const QString &LineText);
    void ClearStringList();
    // Hides the choice box and the button.
    void TurnAllControlsOff();
    // Opens the editor of a value cell as its row's style asks.
    void openCellEditor(int row, int column);
    void FileButtonClick();
    void ColorButtonClick();
    // Rebuilds the tag the grid shows from the grid; false when nothing
    // changed. When the caret is no longer in that tag, or the tag no longer
    // reads as it did, the grid is read again instead (after the event).
    bool WriteNewTag();

private:
    void setValueCell(const QString &text);
    void itemChanged(QTableWidgetItem *item);
    QString rowStyle(int row) const;
    bool stillShowsCaretTag(ITextBuffer *buffer) const;
    void forgetShownTag();

    const TTagDatabase *m_database;
    QTableWidget *m_grid;
    QComboBox *m_combo;
    QToolButton *m_button;
    QString m_tagBeingExecuted;
    QString m_currentMainTag;
    QStringList m_styles;
    bool m_colorButton = false;
    bool m_filling = false;
    // Where the shown tag stands and what it said when it was read.
    QPointer<ITextBuffer> m_shownBuffer;
    int m_shownLine = -1;
    int m_shownStart = -1;
    QString m_shownText;
};

} // namespace Quorvant

namespace Quorvant {
// Closes the Tag Inspector's cell editors of this main window, if it has
// one: for the window's own events that move the grid away under them
// (full-screen mode, for one).
void turnAllControlsOff(QWidget *mainWindow);
} // namespace Quorvant
