// The frame of the formatting, page, media and target dialogs: a modal
// dialog of the main window with "Done", "Cancel" and, for some, a help
// button. Done hands the dialog's text to the current document and closes.
#pragma once

#include <QDialog>

class QBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace Quorvant {

class ITextBuffer;
class TForm1;

class TSmallWizardDialog : public QDialog
{
    Q_OBJECT
public:
    TSmallWizardDialog(TForm1 &form, const char *objectName, const QString &caption);

    // Writes into the current document (if there is one) and closes.
    void writeAndClose();

    // Opens a fresh dialog of type D, window-modal over the main window,
    // when a document is open; the dialog deletes itself when closed.
    template<class D>
    static D *openFor(TForm1 &form);

protected:
    virtual void writeTo(ITextBuffer *buffer) = 0;

    TForm1 &form() const { return m_form; }
    QVBoxLayout *body() const { return m_body; }
    // Done and Cancel; with a topic also a help button of that caption.
    void addButtons(const QString &helpTopic = {}, const QString &helpCaption = {});
    // A text field with a browse button beside it, in one row.
    static QBoxLayout *withButton(QLineEdit *field, QPushButton *button);
    // The folder a file chooser starts in when none is remembered.
    static QString defaultFolder();

private:
    TForm1 &m_form;
    QVBoxLayout *m_body = nullptr;
};

bool hasCurrentDocument(TForm1 &form);

template<class D>
D *TSmallWizardDialog::openFor(TForm1 &form)
{
    if (!hasCurrentDocument(form))
        return nullptr;
    auto *dialog = new D(form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace Quorvant
