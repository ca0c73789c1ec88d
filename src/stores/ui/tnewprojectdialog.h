// "Create a new project file...": the four header values of a new project.
#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace Quorvant {

struct TNewProjectValues
{
    QString ProjectName;
    QString WebsiteType;
    QString Language;
    QString Notes;
};

class TNewProjectDialog : public QDialog
{
    Q_OBJECT
public:
    // done is called with the values on "Done" once a name is given; the
    // dialog closes when it returns true.
    TNewProjectDialog(std::function<bool(const TNewProjectValues &)> done, QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QComboBox *typeBox() const { return m_type; }
    QComboBox *languageBox() const { return m_language; }
    QPlainTextEdit *notesEdit() const { return m_notes; }
    void pressDone();

private:
    std::function<bool(const TNewProjectValues &)> m_done;
    QLineEdit *m_name;
    QComboBox *m_type;
    QComboBox *m_language;
    QPlainTextEdit *m_notes;
};

} // namespace Quorvant
