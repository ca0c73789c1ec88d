// "Create Code Snippet...": the name and the two parts of a new snippet, or
// of the one handed over in gCodeSnippetsData.
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace Quorvant {

class TMnuCodeSnippet : public QDialog
{
    Q_OBJECT
public:
    // save stores the snippet; false keeps the dialog open.
    using Save = std::function<bool(const QString &name, const QString &part1, const QString &part2)>;
    explicit TMnuCodeSnippet(Save save, QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QPlainTextEdit *part1Edit() const { return m_part1; }
    QPlainTextEdit *part2Edit() const { return m_part2; }
    // Replaces a part's text with a chosen file's.
    void importInto(QPlainTextEdit *part);
    void pressDone();

private:
    Save m_save;
    QLineEdit *m_name;
    QPlainTextEdit *m_part1;
    QPlainTextEdit *m_part2;
};

} // namespace Quorvant
