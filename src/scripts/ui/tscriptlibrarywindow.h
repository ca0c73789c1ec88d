// The "Insert Javascript" and "Insert DHTML" windows: the templates of one
// folder with a preview and a description; "Done" hands the chosen file to
// the script inserter.
#pragma once

#include "tscriptlibrary.h"

#include <QList>
#include <functional>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quorvant {

class ITextBuffer;
class TScriptPreview;

class TScriptLibraryWindow : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { JavaScript, DHTML };
    // Lives inside host, a top-level window; insertTarget gives the current
    // document (nullptr when none is open).
    TScriptLibraryWindow(Kind kind, const QString &folder, std::function<ITextBuffer *()> insertTarget,
                         QWidget *host);

    // Fills the list from the folder and shows the window modally.
    void showLibrary();
    void ListAllScripts();

    QTreeWidget *list() const { return m_list; }
    TScriptPreview *preview() const { return m_preview; }
    QPlainTextEdit *descriptionBox() const { return m_description; }
    QPushButton *doneButton() const { return m_done; }
    QWidget *host() const { return m_host; }
    // Inserts the selected template and closes; false (window stays) when
    // its file is gone.
    bool done();

Q_SIGNALS:
    // After a template went into the document.
    void inserted();

private:
    void selectionChanged();
    void itemDoubleClicked(QTreeWidgetItem *item);
    const TScriptEntry *selectedEntry() const;

    Kind m_kind;
    QString m_folder;
    std::function<ITextBuffer *()> m_target;
    QWidget *m_host;
    QList<TScriptEntry> m_entries;
    QTreeWidget *m_list;
    TScriptPreview *m_preview;
    QPlainTextEdit *m_description;
    QPushButton *m_done;
    bool m_placed = false;
};

} // namespace Quorvant
