// The set of open documents: one tab of PageSelector and one buffer per
// document, shown one at a time in the editor view, and every command that
// creates, opens, saves, switches, closes, edits or prints them.
#pragma once

#include "appglobals.h"
#include "editortypes.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QPrinter;
class QsciPrinter;
class QTabBar;
class QWidget;

namespace Quorvant {

class TDCMemo;
class TMemoSource;

enum class SaveResult { Saved, Cancelled, Failed };

class TDocumentSet : public QObject
{
    Q_OBJECT
public:
    TDocumentSet(QWidget *window, QTabBar *pageSelector, TDCMemo *memo, QWidget *documentToolbar,
                 QWidget *noDocumentsText);
    ~TDocumentSet() override;

    // Routines other parts of the program call.
    void CreateNewPage();
    void CloseSelectedPage();
    void SaveSelectedPageToArray();
    void LoadSelectedPageFromArray();
    int PagesOpen() const;
    bool IsFileOpen(const QString &fileName) const;
    // Opens the file as a new document; nothing when no such file exists.
    // Returns true when the file was loaded. A file bigger than one piece
    // loads in pieces, the event loop running between them (without user
    // input) and loadProgress telling how far it is.
    bool OpenFile(const QString &fileName);
    // A file is being loaded: closing and saving wait until it is in.
    bool isLoading() const { return !m_loadingBuffers.isEmpty(); }
    // Loads a file into one of the documents' buffers (OpenFile, a reload):
    // in pieces when it is big, the event loop running between them without
    // user input, loadProgress telling how far it is, and the document kept
    // from closing or saving meanwhile.
    [[nodiscard]] bool loadFile(TMemoSource *buffer, const QString &fileName, QString *error);
    // The open document of this file (the same file reached through links or
    // another spelling of its path counts too), or -1.
    int indexOfFile(const QString &fileName) const;
    // Every way the user opens a file goes through here (the open dialog,
    // another start, the command line, the recent files, a drop): shows the
    // file's document when it is open already, otherwise opens it, so one
    // file never has two documents. True when it is shown.
    bool openOrShow(const QString &fileName);
    [[nodiscard]] static bool LoadFileAsString(const QString &fileName, QByteArray *out, QString *error = nullptr);
    [[nodiscard]] static bool SaveFileAsString(const QString &fileName, const QByteArray &s, QString *error = nullptr);

    TMemoSource *currentBuffer() const;
    int currentIndex() const;
    // Marks the current document changed (for insertions that bypass typing).
    void markModified();
    // Puts start before and end after the selection and selects the text
    // between them again, or inserts both at the caret and leaves the caret
    // between them; one undo step.
    void insertAround(const QString &start, const QString &end);

    // File commands.
    void newWebDocument();
    void blankDocument();
    void open();
    // The open dialog; the chosen files, none when cancelled.
    QStringList askForFilesToOpen();
    SaveResult save();
    SaveResult saveAs();
    void saveAll();
    void close();
    // Returns gCanCloseProgram.
    bool closeAll();

    // Edit and search commands; with no document open they do nothing.
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void quoteBlock();
    void find();
    void findNext();
    void replace();
    void goToLine();

    // Printing.
    void printerSetup();
    void printSelectedFile();
    void printSelectedBlock();
    void printAllOpenFiles();
    QsciPrinter &printer();

    // Hooks filled by other parts of the program (and by tests).
    std::function<void()> loadDefaultParser;          // applies the stored syntax mode to every buffer
    std::function<QString(CaretPoint *caret)> defaultTemplateText;  // the template "Default": text and caret
    // false when the user cancels. Without a hook "Print Selected File" shows
    // the print dialog and the other prints go to the default printer; with
    // one, every print asks the hook first.
    std::function<bool(QPrinter &)> printDialog;
    std::function<void(QPrinter &)> printerSetupDialog;
    // Asked before Save writes over the current document's own file; false
    // cancels the save (the document stays modified).
    std::function<bool(TMemoSource *buffer, const QString &path)> confirmOverwrite;
    // Asked, without any question, once Save has written the new text and
    // just before it replaces the file: false when the file changed since
    // confirmOverwrite looked. Save then asks confirmOverwrite again.
    std::function<bool(TMemoSource *buffer, const QString &path)> fileStillAsConfirmed;

    // Reads the document's file again, keeping its caret and scroll
    // position; the document is then unmodified.
    [[nodiscard]] bool reloadDocument(TMemoSource *buffer, QString *error);
    // The open document of this buffer, or -1.
    int indexOfBuffer(const TMemoSource *buffer) const;
    // The recorded file name of open document index (the working copy for
    // the current one).
    QString fileNameAt(int index) const;
    // Names document index after path (caption, tooltip, record).
    void setDocumentFile(int index, const QString &path);

Q_SIGNALS:
    // A file was opened or saved under a name: for the recent files list.
    void fileRecorded(const QString &path);
    // Another document is current, or none.
    void currentDocumentChanged();
    // How far the load of a big file is, in bytes.
    void loadProgress(const QString &fileName, qint64 done, qint64 total);
    // A document was created (its buffer is new).
    void documentAdded(TMemoSource *buffer);
    // A document was loaded from or saved to its own file: the buffer's
    // lastFileIo() says which file and what it held.
    void documentFileSynced(TMemoSource *buffer);

private:
    void selectTab(int index);
    void saveToArray(int index);
    void onUserTabChange(int index);
    void showNoDocuments(bool none);
    SaveResult writeCurrent(const QString &path);
    bool printCurrent();  // false (and said) when the printer refused
    void reportFailedPrint();
    bool defaultPrinterReady();
    void syncModified();

    QWidget *m_window;
    QTabBar *m_tabs;
    TDCMemo *m_memo;
    QWidget *m_toolbar;
    QWidget *m_noDocuments;
    int m_shownIndex = -1;
    QList<TMemoSource *> m_loadingBuffers;
    bool m_selectingFromCode = false;
    std::unique_ptr<QsciPrinter> m_printer;
};

} // namespace Quorvant
