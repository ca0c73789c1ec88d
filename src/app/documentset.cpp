#include "documentset.h"

#include "editordialogs.h"
#include "messageservice.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <Qsci/qsciprinter.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QTabBar>

namespace Quorvant {

namespace {

QList<FileFilter> openFilters()
{
    return {
        {QStringLiteral("All Files"), QStringLiteral("*.*")},
        {QStringLiteral("Web Documents (*.htm,*.shtml,*.html,*.asp)"), QStringLiteral("*.htm;*.shtml;*.html;*.asp")},
        {QStringLiteral("Text Files (*.txt,*.asc,*.text)"), QStringLiteral("*.txt;*.asc;*.text")},
        {QStringLiteral("SQL Files (*.sql)"), QStringLiteral("*.sql")},
        {QStringLiteral("Java Files (*.java)"), QStringLiteral("*.java")},
        {QStringLiteral("Cgi/Perl (*.pl,*.cgi)"), QStringLiteral("*.pl;*.cgi")},
        {QStringLiteral("PHP Files (*.php,*.php3)"), QStringLiteral("*.php;*.php3")},
        {QStringLiteral("All Supported Documents"),
         QStringLiteral("*.htm;*.shtml;*.html;*.asp;*.txt;*.asc;*.text;*.sql;*.java;*.pl;*.cgi")},
    };
}

QList<FileFilter> saveFilters()
{
    return {
        {QStringLiteral("HTM Files"), QStringLiteral("*.htm;*.html")},
        {QStringLiteral("Web Documents (*.htm,*.shtml,*.html,*.asp)"), QStringLiteral("*.htm;*.shtml;*.html;*.asp")},
        {QStringLiteral("Text Files (*.txt,*.asc,*.text)"), QStringLiteral("*.txt;*.asc;*.text")},
        {QStringLiteral("SQL Files (*.sql)"), QStringLiteral("*.sql")},
        {QStringLiteral("Java Files (*.java)"), QStringLiteral("*.java")},
        {QStringLiteral("Cgi/Perl (*.pl,*.cgi)"), QStringLiteral("*.pl;*.cgi")},
        {QStringLiteral("All Supported Documents"), QStringLiteral("*.htm;*.shtm")},
        {QStringLiteral("All Files"), QStringLiteral("*.*")},
    };
}

constexpr qint64 LongLineWarningBytes = 1024 * 1024;

QString folderOf(const QString &path)
{
    QString dir = QFileInfo(path).absolutePath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

} // namespace

TDocumentSet::TDocumentSet(QWidget *window, QTabBar *pageSelector, TDCMemo *memo, QWidget *documentToolbar,
                           QWidget *noDocumentsText)
    : QObject(window)
    , m_window(window)
    , m_tabs(pageSelector)
    , m_memo(memo)
    , m_toolbar(documentToolbar)
    , m_noDocuments(noDocumentsText)
{
    connect(m_tabs, &QTabBar::currentChanged, this, &TDocumentSet::onUserTabChange);
    showNoDocuments(true);
}

TDocumentSet::~TDocumentSet() = default;

QsciPrinter &TDocumentSet::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QsciPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

int TDocumentSet::PagesOpen() const
{
    return m_tabs->count();
}

int TDocumentSet::currentIndex() const
{
    return m_tabs->currentIndex();
}

TMemoSource *TDocumentSet::currentBuffer() const
{
    const int i = m_tabs->currentIndex();
    return (i >= 0 && i < gMemoData.size()) ? gMemoData.at(i) : nullptr;
}

void TDocumentSet::syncModified()
{
    const TMemoSource *b = currentBuffer();
    gDocumentModified = b && b->isModified();
}

void TDocumentSet::markModified()
{
    if (TMemoSource *b = currentBuffer()) {
        b->setModified(true);
        gDocumentModified = true;
    }
}

void TDocumentSet::insertAround(const QString &start, const QString &end)
{
    TMemoSource *b = currentBuffer();
    if (!b || b->isReadOnly())
        return;
    const SelectionRect sel = b->selectionRect();
    const QString selected = b->selText();
    b->beginUndoAction();
    b->setSelText(start);
    const CaretPoint innerStart = b->caretPoint();
    b->insertString(selected);
    const CaretPoint innerEnd = b->caretPoint();
    b->insertString(end);
    b->endUndoAction();
    if (sel.isEmpty())
        b->setCaretPoint(innerStart);
    else
        b->setSelection({innerStart, innerEnd});
}

void TDocumentSet::showNoDocuments(bool none)
{
    m_memo->setVisible(!none);
    m_toolbar->setVisible(!none);
    m_noDocuments->setVisible(none);
}

void TDocumentSet::selectTab(int index)
{
    m_selectingFromCode = true;
    m_tabs->setCurrentIndex(index);
    m_selectingFromCode = false;
    m_shownIndex = m_tabs->currentIndex();
}

void TDocumentSet::saveToArray(int index)
{
    if (index < 0 || index >= gDocumentHolder.size())
        return;
    TDataHolder &record = gDocumentHolder[index];
    record.FileName = gCurrentFilePath;
    record.Modified = gDocumentModified;
    record.NetworkFile = gNetworkFile;
}

void TDocumentSet::SaveSelectedPageToArray()
{
    syncModified();
    saveToArray(m_tabs->currentIndex());
}

void TDocumentSet::LoadSelectedPageFromArray()
{
    const int i = m_tabs->currentIndex();
    if (i < 0 || i >= gDocumentHolder.size())
        return;
    const TDataHolder &record = gDocumentHolder.at(i);
    gCurrentFilePath = record.FileName;
    gNetworkFile = record.NetworkFile;
    TMemoSource *buffer = i < gMemoData.size() ? gMemoData.at(i) : nullptr;
    if (!buffer)
        MessageService::information(m_window, QStringLiteral("Error: Class not created, please report this error to the Quorvant project"));
    m_memo->setSource(buffer);
    m_shownIndex = i;
    syncModified();
    Q_EMIT currentDocumentChanged();
}

void TDocumentSet::onUserTabChange(int index)
{
    if (m_selectingFromCode || index < 0)
        return;
    // PageSelectorChanging: the document being left keeps its working copy.
    saveToArray(m_shownIndex);
    // PageSelectorChange
    LoadSelectedPageFromArray();
}

void TDocumentSet::CreateNewPage()
{
    showNoDocuments(false);
    gDocumentHolder.append(TDataHolder{});
    auto *buffer = new TMemoSource(m_window);
    connect(buffer, &ITextBuffer::modificationChanged, this, [this, buffer](bool modified) {
        if (buffer == currentBuffer())
            gDocumentModified = modified;
    });
    gMemoData.append(buffer);
    Q_EMIT documentAdded(buffer);
    m_memo->setSource(buffer);
    if (loadDefaultParser)
        loadDefaultParser();
    if (m_tabs->count() > 0)
        saveToArray(m_tabs->currentIndex());
    m_selectingFromCode = true;
    const int index = m_tabs->addTab(QStringLiteral("Untitled"));
    m_selectingFromCode = false;
    gCurrentFilePath.clear();
    gNetworkFile = false;
    gDocumentModified = false;
    selectTab(index);
    saveToArray(index);
    buffer->setText(QString());
    buffer->setModified(false);
    m_memo->setFocus();
    Q_EMIT currentDocumentChanged();
}

void TDocumentSet::CloseSelectedPage()
{
    // Its buffer is being filled by a load further up the stack.
    if (m_loadingBuffers.contains(currentBuffer()))
        return;
    if (m_tabs->count() == 1) {
        m_memo->setSource(nullptr);
        qDeleteAll(gMemoData);
        gMemoData.clear();
        gDocumentHolder.clear();
        m_selectingFromCode = true;
        m_tabs->removeTab(0);
        m_selectingFromCode = false;
        m_shownIndex = -1;
        gCurrentFilePath.clear();
        gDocumentModified = false;
        gNetworkFile = false;
        showNoDocuments(true);
        Q_EMIT currentDocumentChanged();
        return;
    }
    if (m_tabs->count() == 0)
        return;
    SaveSelectedPageToArray();
    if (gDocumentHolder.isEmpty()) {
        MessageService::information(
            m_window, QStringLiteral("Big Error, gDocumentHolder array should NOT be empty. Please report this bug to the Quorvant project"));
        return;
    }
    const int i = m_tabs->currentIndex();
    const int next = qMax(0, i - 1);
    m_memo->setSource(nullptr);
    gDocumentHolder.removeAt(i);
    delete gMemoData.takeAt(i);
    m_selectingFromCode = true;
    m_tabs->removeTab(i);
    m_selectingFromCode = false;
    selectTab(next);
    LoadSelectedPageFromArray();
}

bool TDocumentSet::IsFileOpen(const QString &fileName) const
{
    for (const TDataHolder &record : gDocumentHolder) {
        if (!record.FileName.isEmpty() && record.FileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int TDocumentSet::indexOfFile(const QString &fileName) const
{
    const QFileInfo wanted(fileName);
    const QString canonical = wanted.canonicalFilePath();
    if (canonical.isEmpty())
        return -1;
    for (int i = 0; i < m_tabs->count(); ++i) {
        const QString name = fileNameAt(i);
        if (!name.isEmpty() && QFileInfo(name).canonicalFilePath() == canonical)
            return i;
    }
    return -1;
}

bool TDocumentSet::openOrShow(const QString &fileName)
{
    const int open = indexOfFile(fileName);
    if (open < 0)
        return OpenFile(fileName);
    if (open != m_tabs->currentIndex())
        m_tabs->setCurrentIndex(open);
    Q_EMIT currentDocumentChanged();
    return true;
}

bool TDocumentSet::OpenFile(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return false;
    CreateNewPage();
    gDir.MainOpenDir = folderOf(fileName);
    QString error;
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    const QString name = QFileInfo(absolute).fileName();
    TMemoSource *buffer = currentBuffer();
    // Named at once: a big file shows its name while it loads.
    m_tabs->setTabText(m_tabs->currentIndex(), name);
    const bool loaded = loadFile(buffer, fileName, &error);
    // Something run meanwhile may have shown another document.
    const int index = int(gMemoData.indexOf(buffer));
    if (index < 0)
        return false;
    if (index != m_tabs->currentIndex()) {
        SaveSelectedPageToArray();
        selectTab(index);
        LoadSelectedPageFromArray();
    }
    if (!loaded) {
        // The page was made for this file only: no empty "Untitled" stays.
        CloseSelectedPage();
        MessageService::error(m_window, error);
        return false;
    }
    gCurrentFilePath = absolute;
    m_tabs->setTabText(m_tabs->currentIndex(), name);
    m_tabs->setTabToolTip(m_tabs->currentIndex(), absolute);
    Q_EMIT fileRecorded(absolute);
    buffer->setModified(false);
    gDocumentModified = false;
    SaveSelectedPageToArray();
    Q_EMIT documentFileSynced(buffer);
    Q_EMIT currentDocumentChanged();
    // The editor lays out a whole line at a time: warn before it gets slow.
    if (buffer->longestLoadedLine() > LongLineWarningBytes) {
        MessageService::information(
            m_window, QStringLiteral("%1 has a line of %2 characters. Showing and editing a line that long is slow; "
                                     "breaking it into shorter lines makes the document quick again.")
                          .arg(name)
                          .arg(buffer->longestLoadedLine()));
    }
    return true;
}

bool TDocumentSet::loadFile(TMemoSource *buffer, const QString &fileName, QString *error)
{
    const QString name = QFileInfo(fileName).fileName();
    m_loadingBuffers.append(buffer);
    const bool loaded = buffer->loadFromFile(fileName, error, [this, name](qint64 done, qint64 total) {
        Q_EMIT loadProgress(name, done, total);
        // The window keeps answering and painting; what the user types or
        // clicks meanwhile waits until the document is in.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    m_loadingBuffers.removeOne(buffer);
    return loaded;
}

bool TDocumentSet::LoadFileAsString(const QString &fileName, QByteArray *out, QString *error)
{
    return readWholeFile(fileName, out, error);
}

bool TDocumentSet::SaveFileAsString(const QString &fileName, const QByteArray &s, QString *error)
{
    return writeFileAtomically(fileName, s, error);
}

int TDocumentSet::indexOfBuffer(const TMemoSource *buffer) const
{
    for (int i = 0; i < gMemoData.size(); ++i) {
        if (gMemoData.at(i) == buffer)
            return i;
    }
    return -1;
}

QString TDocumentSet::fileNameAt(int index) const
{
    if (index == m_tabs->currentIndex())
        return gCurrentFilePath;
    return index >= 0 && index < gDocumentHolder.size() ? gDocumentHolder.at(index).FileName : QString();
}

void TDocumentSet::setDocumentFile(int index, const QString &path)
{
    if (index < 0 || index >= gDocumentHolder.size())
        return;
    if (index == m_tabs->currentIndex())
        gCurrentFilePath = path;
    gDocumentHolder[index].FileName = path;
    m_tabs->setTabText(index, path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName());
    m_tabs->setTabToolTip(index, path);
    if (index == m_tabs->currentIndex())
        Q_EMIT currentDocumentChanged();
}

bool TDocumentSet::reloadDocument(TMemoSource *buffer, QString *error)
{
    const int index = indexOfBuffer(buffer);
    const QString path = fileNameAt(index);
    if (index < 0 || path.isEmpty())
        return false;
    if (!buffer->reloadFromFile(path, error))
        return false;
    if (buffer == currentBuffer())
        gDocumentModified = false;
    gDocumentHolder[index].Modified = false;
    Q_EMIT documentFileSynced(buffer);
    if (buffer == currentBuffer())
        Q_EMIT currentDocumentChanged();
    return true;
}

void TDocumentSet::newWebDocument()
{
    CreateNewPage();
    if (defaultTemplateText) {
        CaretPoint caret;
        const QString text = defaultTemplateText(&caret);
        if (text.isEmpty())
            return;
        TMemoSource *buffer = currentBuffer();
        buffer->setText(text);
        buffer->setCaretPoint(caret);
        buffer->setModified(false);
        gDocumentModified = false;
    }
}

void TDocumentSet::blankDocument()
{
    CreateNewPage();
}

QStringList TDocumentSet::askForFilesToOpen()
{
    return MessageService::getOpenFileNames(m_window, QStringLiteral("Open a web document..."), gDir.MainOpenDir,
                                            openFilters(), 0);
}

void TDocumentSet::open()
{
    const QStringList files = askForFilesToOpen();
    for (const QString &file : files) {
        if (!QFileInfo::exists(file)) {
            MessageService::error(m_window, QStringLiteral("The file you selected does not exist."));
            return;
        }
        openOrShow(file);
    }
}

SaveResult TDocumentSet::writeCurrent(const QString &path)
{
    QString error;
    if (!currentBuffer()->saveToFile(path, &error)) {
        gCloseCurrentDocument = false;
        MessageService::error(m_window, error);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

SaveResult TDocumentSet::save()
{
    // A document still loading is not whole yet.
    if (!currentBuffer() || isLoading())
        return SaveResult::Cancelled;
    if (gCurrentFilePath.isEmpty())
        return saveAs();
    TMemoSource *buffer = currentBuffer();
    const QString path = gCurrentFilePath;
    // A change by another program while the text is written is caught just
    // before the file is replaced, and asked about like one before.
    for (;;) {
        if (confirmOverwrite && !confirmOverwrite(buffer, path)) {
            gCloseCurrentDocument = false;
            return SaveResult::Cancelled;
        }
        if (fileStillAsConfirmed)
            buffer->setReplaceGuard([this, buffer, path] { return fileStillAsConfirmed(buffer, path); });
        QString error;
        const bool written = buffer->saveToFile(path, &error);
        buffer->setReplaceGuard({});
        if (written)
            break;
        if (!buffer->lastSaveRefusedByGuard()) {
            gCloseCurrentDocument = false;
            MessageService::error(m_window, error);
            return SaveResult::Failed;
        }
    }
    currentBuffer()->setModified(false);
    gDocumentModified = false;
    Q_EMIT documentFileSynced(currentBuffer());
    if (gCloseCurrentDocument) {
        gCloseCurrentDocument = false;
        CloseSelectedPage();
    }
    return SaveResult::Saved;
}

SaveResult TDocumentSet::saveAs()
{
    if (!currentBuffer() || isLoading())
        return SaveResult::Cancelled;
    const QString folder = gCurrentFilePath.isEmpty() ? gDir.MainOpenDir : folderOf(gCurrentFilePath);
    const QString path = MessageService::getSaveFileName(m_window, QStringLiteral("Save your document as..."), folder,
                                                         saveFilters(), QStringLiteral("htm"));
    if (path.isEmpty()) {
        gCloseCurrentDocument = false;
        return SaveResult::Cancelled;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(absolute)) {
        const MessageButton answer = MessageService::show(
            m_window, absolute + QStringLiteral(" already exists, are you sure you want to overwrite it?"),
            MessageIcon::Warning, YesNo);
        if (answer != mbYes) {
            gCloseCurrentDocument = false;
            return SaveResult::Cancelled;
        }
    }
    const SaveResult result = writeCurrent(absolute);
    if (result != SaveResult::Saved)
        return result;
    gCurrentFilePath = absolute;
    m_tabs->setTabText(m_tabs->currentIndex(), QFileInfo(absolute).fileName());
    m_tabs->setTabToolTip(m_tabs->currentIndex(), absolute);
    Q_EMIT fileRecorded(absolute);
    currentBuffer()->setModified(false);
    gDocumentModified = false;
    gDir.MainOpenDir = folderOf(absolute);
    Q_EMIT documentFileSynced(currentBuffer());
    if (gCloseCurrentDocument) {
        gCloseCurrentDocument = false;
        CloseSelectedPage();
    }
    return SaveResult::Saved;
}

void TDocumentSet::saveAll()
{
    if (PagesOpen() == 0 || isLoading())
        return;
    const int remembered = m_tabs->currentIndex();
    for (int i = 0; i < m_tabs->count(); ++i) {
        SaveSelectedPageToArray();
        selectTab(i);
        LoadSelectedPageFromArray();
        save();
    }
    SaveSelectedPageToArray();
    selectTab(remembered);
    LoadSelectedPageFromArray();
}

void TDocumentSet::close()
{
    if (!currentBuffer() || isLoading())
        return;
    syncModified();
    if (!gDocumentModified) {
        CloseSelectedPage();
        return;
    }
    const MessageButton answer = MessageService::show(
        m_window, QStringLiteral("This document has been modified do you wish to save before closing?"),
        MessageIcon::Information, YesNoCancel);
    if (answer == mbYes) {
        gCloseCurrentDocument = true;
        save();
    } else if (answer == mbNo) {
        CloseSelectedPage();
    }
}

bool TDocumentSet::closeAll()
{
    gCanCloseProgram = !isLoading();
    if (!gCanCloseProgram)
        return false;
    if (PagesOpen() == 0)
        return true;
    SaveSelectedPageToArray();
    bool noToAll = false;
    while (PagesOpen() > 0) {
        LoadSelectedPageFromArray();
        if (!gDocumentModified || noToAll) {
            CloseSelectedPage();
            continue;
        }
        const MessageButton answer = MessageService::show(
            m_window, QStringLiteral("This document has been modified do you wish to save?"),
            MessageIcon::Information, YesNoCancelNoToAll);
        switch (answer) {
        case mbYes: {
            gCloseCurrentDocument = true;
            if (save() == SaveResult::Failed) {
                gCanCloseProgram = false;
                return false;
            }
            // Saved: the document is closed. Cancelled: ask about it again.
            break;
        }
        case mbNo:
            CloseSelectedPage();
            break;
        case mbNoToAll:
            noToAll = true;
            CloseSelectedPage();
            break;
        default:
            gCanCloseProgram = false;
            return false;
        }
    }
    return true;
}

void TDocumentSet::undo()
{
    if (TMemoSource *b = currentBuffer())
        b->undo();
}

void TDocumentSet::redo()
{
    if (TMemoSource *b = currentBuffer())
        b->redo();
}

void TDocumentSet::cut()
{
    if (currentBuffer())
        m_memo->cutToClipboard();
}

void TDocumentSet::copy()
{
    if (currentBuffer())
        m_memo->copyToClipboard();
}

void TDocumentSet::paste()
{
    if (currentBuffer())
        m_memo->pasteFromClipboard();
}

void TDocumentSet::deleteSelection()
{
    if (currentBuffer())
        m_memo->setSelText(QString());
}

void TDocumentSet::selectAll()
{
    if (TMemoSource *b = currentBuffer())
        b->selectAll();
}

void TDocumentSet::quoteBlock()
{
    if (TMemoSource *b = currentBuffer())
        b->quoteBlock();
}

void TDocumentSet::find()
{
    if (TMemoSource *b = currentBuffer())
        showSearchDialog(m_window, b);
}

void TDocumentSet::findNext()
{
    if (TMemoSource *b = currentBuffer())
        Quorvant::findNext(m_window, b);
}

void TDocumentSet::replace()
{
    if (TMemoSource *b = currentBuffer())
        showReplaceDialog(m_window, b);
}

void TDocumentSet::goToLine()
{
    if (TMemoSource *b = currentBuffer())
        showGoToLineDialog(m_window, b);
}

void TDocumentSet::printerSetup()
{
    if (printerSetupDialog) {
        printerSetupDialog(printer());
        return;
    }
    QPageSetupDialog dialog(&printer(), m_window);
    dialog.exec();
}

bool TDocumentSet::printCurrent()
{
    if (m_memo->print(printer()))
        return true;
    reportFailedPrint();
    return false;
}

void TDocumentSet::reportFailedPrint()
{
    QString name = m_tabs->count() > 0 ? m_tabs->tabText(m_tabs->currentIndex()) : QString();
    MessageService::error(m_window, QStringLiteral("%1 could not be printed: the printer did not accept it.").arg(name));
}

bool TDocumentSet::defaultPrinterReady()
{
    // Tests (and anything else that sets the hook) decide where the pages go.
    return printDialog ? printDialog(printer()) : true;
}

void TDocumentSet::printSelectedFile()
{
    if (!currentBuffer())
        return;
    bool accepted;
    if (printDialog) {
        accepted = printDialog(printer());
    } else {
        QPrintDialog dialog(&printer(), m_window);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted)
        printCurrent();
}

void TDocumentSet::printSelectedBlock()
{
    if (!currentBuffer())
        return;
    const MessageButton answer = MessageService::show(
        m_window, QStringLiteral("Are you sure you want to print the selected block on the default printer?"),
        MessageIcon::Information, YesNo);
    if (answer != mbYes || !defaultPrinterReady())
        return;
    if (!TDCMemo::printText(currentBuffer()->selText(), printer()))
        MessageService::error(m_window, QStringLiteral("The selected block could not be printed: the printer did not accept it."));
}

void TDocumentSet::printAllOpenFiles()
{
    if (PagesOpen() == 0)
        return;
    if (MessageService::show(m_window, QStringLiteral("Are you sure you want to print EVERY open document?"),
                             MessageIcon::Information, YesNo) != mbYes)
        return;
    if (PagesOpen() > 5
        && MessageService::show(m_window,
                                QStringLiteral("You have %1 pages open are you really SURE you want to print every open document?")
                                    .arg(PagesOpen()),
                                MessageIcon::Information, YesNo) != mbYes)
        return;
    if (!defaultPrinterReady())
        return;
    const int remembered = m_tabs->currentIndex();
    for (int i = 0; i < m_tabs->count(); ++i) {
        SaveSelectedPageToArray();
        selectTab(i);
        LoadSelectedPageFromArray();
        // A printer that refuses one document refuses the rest: say so once.
        if (!printCurrent())
            break;
    }
    SaveSelectedPageToArray();
    selectTab(remembered);
    LoadSelectedPageFromArray();
}

} // namespace Quorvant
