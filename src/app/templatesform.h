// The "Active Templates" window: a list of the templates, one double click
// opens a new document from the chosen one.
#pragma once

#include <QWidget>

class QListWidget;

namespace Quorvant {

class TForm1;

class TTemplatesForm : public QWidget
{
    Q_OBJECT
public:
    explicit TTemplatesForm(TForm1 *form);

    QListWidget *ListView1() const { return m_list; }
    // Opens the selected template as a new document and closes the window.
    void openSelected();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TForm1 *m_form;
    QListWidget *m_list;
};

} // namespace Quorvant
