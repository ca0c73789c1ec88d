// "Define a Java Script...": wraps typed code in a SCRIPT element with a
// language, a source file and a type.
#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QsciScintilla;

namespace Quorvant {

class TMnuDefineJS : public QDialog
{
    Q_OBJECT
public:
    // write receives the element's text; currentFilePath makes the SRC link
    // relative to the document.
    TMnuDefineJS(std::function<void(const QString &)> write, QString currentFilePath, QWidget *parent = nullptr);

    QComboBox *languageBox() const { return m_language; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *srcEdit() const { return m_src; }
    QsciScintilla *codeEditor() const { return m_code; }
    void browse();
    void pressDone();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_write;
    QString m_currentFilePath;
    QComboBox *m_language;
    QComboBox *m_type;
    QLineEdit *m_src;
    QsciScintilla *m_code;
};

} // namespace Quorvant
