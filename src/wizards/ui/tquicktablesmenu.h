// The quick table picker: a borderless pop-up with a 5 by 5 grid of
// squares; pointing at one previews the size, clicking it writes an empty
// table of that many columns and rows. The main window is disabled while
// the picker is up and enabled again however the picker goes.
#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QToolButton;

namespace Quorvant {

class TForm1;

class Tquicktablesmenu : public QFrame
{
    Q_OBJECT
public:
    static constexpr int Size = 5;

    // Disables the main window and shows the picker at the mouse pointer.
    static Tquicktablesmenu *open(TForm1 &form);
    ~Tquicktablesmenu() override;

    // Writes an empty table into the current document.
    void createtable(int rows, int columns);
    // Pointing at the square in column c, row r (both from 1), or at the
    // picker's background.
    void pointAt(int column, int row);
    void pointAtBackground();
    QToolButton *square(int column, int row) const;
    QLabel *sizeLabel() const { return m_sizeLabel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    explicit Tquicktablesmenu(TForm1 &form);
    void choose(int column, int row);
    void enableMainWindow();

    QPointer<TForm1> m_form;
    QLabel *m_sizeLabel = nullptr;
    QList<QToolButton *> m_squares;  // row by row
};

} // namespace Quorvant
