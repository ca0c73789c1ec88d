// "Add an ASP variable..." and "Add an SSI variable...": a server variable
// chosen from its data file is inserted as a reference to it.
#pragma once

#include "tservervariables.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QTreeWidget;

namespace Quorvant {

class TMnuServerVariables : public QDialog
{
    Q_OBJECT
public:
    // write receives the text of the chosen variable.
    TMnuServerVariables(ServerVariableKind kind, const QString &dataFolder, std::function<void(const QString &)> write,
                        QWidget *parent = nullptr);

    // Fills the list from the file.
    void LoadASPSSIList(const QString &FileName);
    // Fills the list (saying so when the data file is missing) and shows
    // the dialog modally.
    void showList();

    QTreeWidget *list() const { return m_list; }
    QPlainTextEdit *descriptionBox() const { return m_description; }
    void pressDone();

private:
    ServerVariableKind m_kind;
    QString m_file;
    std::function<void(const QString &)> m_write;
    QTreeWidget *m_list;
    QPlainTextEdit *m_description;
};

} // namespace Quorvant
