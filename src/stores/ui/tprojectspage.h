// The "Projects" page of the sidebar: the open local project as a list of
// files with their to-do states, and the commands that change it.
#pragma once

#include "tlocalprojects.h"

#include <QWidget>

class QAction;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace Quorvant {

class TForm1;
struct TNewProjectValues;

class TProjectsPage : public QWidget
{
    Q_OBJECT
public:
    TProjectsPage(TForm1 &form, const QString &dataFolder, QWidget *parent = nullptr);

    TLocalProjects &store() { return m_store; }
    QLineEdit *projectField() const { return m_field; }
    QTreeWidget *list() const { return m_list; }
    QMenu *contextMenu() const { return m_menu; }

    void createProject();  // shows the dialog
    bool finishCreate(const TNewProjectValues &values);
    void openProject();
    void closeProject();
    void addCurrentFile();
    void setTodo(const QString &status);
    void customTodo();
    void openSelectedFile();
    void removeSelectedFile();

private:
    QList<TProjectRow> rows() const;
    void showRows(const QList<TProjectRow> &rows);
    void save();
    void updateButtons();

    TForm1 &m_form;
    TLocalProjects m_store;
    QLineEdit *m_field;
    QTreeWidget *m_list;
    QMenu *m_menu;
    QList<QAction *> m_projectActions;
};

} // namespace Quorvant
