// The Tag Insight list: a small frameless list beside the caret that offers
// the tag names (outside a tag) or the attributes of the tag at the caret.
// It lives inside the main window rather than as a window of its own, so it
// can be placed at the caret on every platform and never takes activation.
#pragma once

#include "tagdatabase.h"

#include <QFrame>

#include <functional>

class QListWidget;
class QListWidgetItem;

namespace Quorvant {

class ScintillaWidget;

class TTagInsight : public QFrame
{
    Q_OBJECT
public:
    // parent: the window the list floats in; editor: where the caret is.
    TTagInsight(QWidget *parent, ScintillaWidget *editor, const TTagDatabase *database);

    // The document the list works on (the current one).
    std::function<ITextBuffer *()> currentBuffer;

    QListWidget *InsightView() const { return m_view; }
    bool isShown() const { return isVisible(); }

    // Ctrl+Space: fills and shows the list for the caret; nothing when the
    // list is shown already or there is nothing to offer.
    void ViewTagInsight();
    // B true: focus into the list, first entry selected. B false: hide the
    // list and give the focus back to the editor. False when hidden.
    bool InsightViewSetFocus(bool B);
    // Inserts the entry into the document and hides the list.
    void choose(const QString &entry);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeBesideCaret();

    ScintillaWidget *m_editor;
    const TTagDatabase *m_database;
    QListWidget *m_view;
    TInsightList m_list;
};

} // namespace Quorvant
