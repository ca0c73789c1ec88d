// A list whose current row is the one the user chose: getting the keyboard
// focus (as its dialog opens) does not make the first row current, as it
// does in a plain item view, so "Done" with nothing chosen does nothing.
#pragma once

#include <QTreeWidget>

namespace Quorvant {

class ChoiceList : public QTreeWidget
{
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

protected:
    void focusInEvent(QFocusEvent *event) override;
};

} // namespace Quorvant
