// The sidebar's "Tags" page: the user's tag lists above ("Tag List"), the
// tags of the chosen list below, and the pop-up menu that places, adds,
// edits and deletes tags. The lists are always reloaded from the files.
#pragma once

#include "debugout.h"
#include "taglibrary.h"

#include <QTreeWidget>
#include <QWidget>

class QAction;
class QMenu;

namespace Quorvant {

class TMnuEditTag;

// The tag list: its rows can be dragged onto the editor, carrying the
// row's start and end texts.
class TTagListView : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TTagListView(QWidget *parent = nullptr);

    // Column indexes of a tag row.
    enum Column { TagName, Description, Category, StartOfTag, EndOfTag, ExtendedTag, ColumnCount };

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
};

class TTagLibraryPage : public QWidget
{
    Q_OBJECT
public:
    explicit TTagLibraryPage(QWidget *parent = nullptr);

    QTreeWidget *ListView3() const { return m_lists; }  // "Tag List"
    QTreeWidget *ListView1() const { return m_tags; }   // the tags of the chosen list
    QMenu *popupMenu() const { return m_popup; }

    void setDebugger(DebugOut debugger) { m_debugger = std::move(debugger); }

    // Fills "Tag List" from the "Tags" folder of dataFolder.
    void LoadTagLists(const QString &dataFolder);
    // Fills the tag list from a list file; leaves it as it is when the file
    // cannot be read.
    void loadtags(const QString &filename);

    // The chosen list's file (empty when none) and the selected tag's index
    // among the tags (-1 when none).
    QString selectedListPath() const;
    int selectedTagIndex() const;
    // The selected tag as its row shows it; false when no tag is selected.
    bool selectedTag(TTagRow *row) const;

    // The pop-up menu's commands.
    void AddTag1Click();
    void Edittag1Click();
    void DeleteTag1Click();
    // "Done" of the tag editor: saves data, shows the outcome and reloads the
    // list. Returns whether the dialog closes.
    bool saveFromEditor(const TEditTagData &data);

    static QIcon tagIcon();

Q_SIGNALS:
    // Double-click, "Insert current tag" (start and end as the row shows them).
    void placeSelectedTag(const QString &startText, const QString &endText);
    // "Insert current tag (extended mode)".
    void placeExtendedTag(const QString &extendedText);

private:
    void ListView3Change();
    void showTagEditor();
    void showOutcome(const TTagCommandOutcome &outcome);
    void requestPlaceSelected();
    void requestPlaceExtended();

    QTreeWidget *m_lists;
    TTagListView *m_tags;
    QMenu *m_popup;
    DebugOut m_debugger;
};

} // namespace Quorvant
