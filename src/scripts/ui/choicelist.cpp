#include "choicelist.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

namespace Quorvant {

void ChoiceList::focusInEvent(QFocusEvent *event)
{
    if (currentIndex().isValid() || !selectionModel()) {
        QTreeWidget::focusInEvent(event);
        return;
    }
    // The view makes its first row current on focus; that is undone before
    // anyone hears of it.
    const QSignalBlocker quiet(selectionModel());
    QTreeWidget::focusInEvent(event);
    selectionModel()->clearCurrentIndex();
}

} // namespace Quorvant
