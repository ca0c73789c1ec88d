// The sidebar's "Local" page: a folder tree over the chosen folder's files,
// whose pop-up menu inserts the selected file as an image, an embedded file,
// a Flash movie or a Shockwave movie. A double-clicked folder is shown, a
// double-clicked file is opened, or shown when it is open already. Its
// folder is kept as the main folder ("DIRECTORIES"/"MAIN").
#pragma once

#include "linkwizard.h"

#include <QWidget>

class QFileSystemModel;
class QMenu;
class QTreeView;

namespace Quorvant {

class TForm1;

class TLocalFilesPage : public QWidget
{
    Q_OBJECT
public:
    // Fills the page (the sidebar's "Local" page) it is given.
    TLocalFilesPage(TForm1 &form, QWidget *page);

    void showFolder(const QString &folder);
    QString folder() const;
    // The selected file's full path, empty when none is selected.
    QString selectedFile() const;
    void selectFile(const QString &path);
    QMenu *popupMenu() const { return m_popup; }
    // What a pop-up item does: nothing when no file is selected.
    void insertSelected(LocalInsertKind kind);

protected:
    void showEvent(QShowEvent *event) override;

private:
    TForm1 &m_form;
    bool m_shownOnce = false;
    QFileSystemModel *m_folderModel = nullptr;
    QFileSystemModel *m_fileModel = nullptr;
    QTreeView *m_tree = nullptr;
    QTreeView *m_list = nullptr;
    QMenu *m_popup = nullptr;
};

} // namespace Quorvant
