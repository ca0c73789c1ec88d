// The headings picker: a borderless pop-up at the mouse pointer with a
// button for each heading level. The main window is disabled while it is
// up and enabled again however it goes (a choice, its close button,
// Escape, a click elsewhere, the window manager, its deletion).
#pragma once

#include <QPointer>
#include <QWidget>

namespace Quorvant {

class TForm1;

class Theadingsmenu : public QWidget
{
    Q_OBJECT
public:
    explicit Theadingsmenu(TForm1 &form);
    ~Theadingsmenu() override;

    // Shows a fresh picker at the mouse pointer.
    static Theadingsmenu *popUp(TForm1 &form);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void choose(int level);
    void enableMainWindow();

    QPointer<TForm1> m_form;
};

} // namespace Quorvant
