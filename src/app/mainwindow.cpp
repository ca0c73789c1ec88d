#include "mainwindow.h"

#include "datafolder.h"
#include "documentset.h"
#include "editorenvironment.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "syntaxparsers.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quorvant {

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvant : Enterprise Edition"));
    resize(1200, 800);

    m_tabholder = new QTabWidget(this);
    m_tabholder->setObjectName(QStringLiteral("tabholder"));
    const char *pageNames[] = {"EditorPage", "PreviewPage", "DocumentationPage", "NetworkPage"};
    const QString captions[] = {QStringLiteral(" Editor [F10]"), QStringLiteral("Preview [F11]"),
                                QStringLiteral("Documentation"), QStringLiteral("Network Control [F9]")};
    for (int i = 0; i < 4; ++i) {
        auto *page = new QWidget(m_tabholder);
        page->setObjectName(QLatin1String(pageNames[i]));
        m_tabholder->addTab(page, captions[i]);
    }
    setCentralWidget(m_tabholder);
    buildEditorPage(m_tabholder->widget(0));

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);

    m_documents = new TDocumentSet(this, m_pageSelector, m_memo, m_panel12, m_noDocuments);
    m_documents->loadDefaultParser = [this] { applySyntaxMode(m_syntaxParser); };
    connect(m_documents, &TDocumentSet::currentDocumentChanged, this, &TForm1::updateCaretStatus);

    buildMenus();
    buildPopupMenus();
    loadEnvironment();

    connect(m_memo, &IEditorView::changed, this, &TForm1::updateCaretStatus);
    connect(m_memo, &IEditorView::clicked, this, &TForm1::updateCaretStatus);
    // The status shows the caret as it was before the key acts.
    connect(m_memo, &IEditorView::keyDown, this, &TForm1::updateCaretStatus);
    connect(m_memo, &IEditorView::keyUp, this, &TForm1::updateCaretStatus);
    connect(m_memo, &IEditorView::tagDropped, this, [this](const QString &start, const QString &end) {
        const QString na = QStringLiteral("N/A");
        if (start == na) {
            m_memo->setFocus();
            m_documents->insertAround(end, QString());
        } else if (end == na) {
            m_memo->setFocus();
            m_documents->insertAround(start, QString());
        } else {
            m_documents->insertAround(start, end);
        }
    });
    connect(m_memo, &IEditorView::snippetDropped, this, [this](const QString &snippet) {
        const DropTexts parts = splitSnippetForDrop(snippet);
        if (m_tabholder->currentIndex() == 0)
            m_memo->setFocus();
        m_documents->insertAround(parts.startText, parts.endText);
    });
    updateCaretStatus();
}

TForm1::~TForm1()
{
    // Buffers belong to the window; the view lets go of them first.
    m_memo->setSource(nullptr);
    qDeleteAll(gMemoData);
    gMemoData.clear();
    gDocumentHolder.clear();
}

QStatusBar *TForm1::StatusBar1() const
{
    return statusBar();
}

void TForm1::buildEditorPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_panel12 = new QWidget(page);
    m_panel12->setObjectName(QStringLiteral("Panel12"));
    layout->addWidget(m_panel12);

    m_memo = new TDCMemo(page);
    m_memo->setObjectName(QStringLiteral("DCMemo1View"));
    layout->addWidget(m_memo->widget(), 1);

    m_noDocuments = new QLabel(QStringLiteral("You currently have no documents open. Press Ctrl+N to open more."), page);
    m_noDocuments->setObjectName(QStringLiteral("NoDocumentsLabel"));
    m_noDocuments->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_noDocuments, 1);

    m_pageSelector = new QTabBar(page);
    m_pageSelector->setObjectName(QStringLiteral("PageSelector"));
    m_pageSelector->setShape(QTabBar::RoundedSouth);
    m_pageSelector->setExpanding(false);
    m_pageSelector->setDocumentMode(true);
    m_pageSelector->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pageSelector, &QWidget::customContextMenuRequested, this, &TForm1::showTabMenu);
    layout->addWidget(m_pageSelector);

    buildDocumentToolbar();
}

void TForm1::buildDocumentToolbar()
{
    auto *row = new QHBoxLayout(m_panel12);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    auto button = [this, row](const char *name, const QString &text, const QString &hint, bool checkable) {
        auto *b = new QToolButton(m_panel12);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setCheckable(checkable);
        b->setAutoRaise(true);
        b->setMinimumWidth(26);
        row->addWidget(b);
        return b;
    };
    QToolButton *close = button("SpeedButton1", QStringLiteral("\u2715"), QStringLiteral("Close the current document"), false);
    connect(close, &QToolButton::clicked, this, &TForm1::Close1Click);
    m_lineNumbersButton = button("SpeedButton2", QStringLiteral("#"), QStringLiteral("Show / Hide line numbers..."), true);
    connect(m_lineNumbersButton, &QToolButton::clicked, this, [this](bool on) { setLineNumbers(on); });
    m_hiddenCharsButton = button("SpeedButton5", QStringLiteral("\u00B6"), QStringLiteral("Show hidden characters..."), true);
    connect(m_hiddenCharsButton, &QToolButton::clicked, this, [this](bool on) { setHiddenCharacters(on); });
    m_wordWrapButton = button("SpeedButton6", QStringLiteral("\u21B5"), QStringLiteral("Enable / Disable Word Wrap..."), true);
    connect(m_wordWrapButton, &QToolButton::clicked, this, [this] { WordWrap1Click(); });
    m_gutterButton = button("SpeedButton7", QStringLiteral("\u258C"), QStringLiteral("Enable / Disable Gutter"), true);
    m_gutterButton->setChecked(true);
    connect(m_gutterButton, &QToolButton::clicked, this, [this](bool on) { setGutter(on); });
    QToolButton *bookmarks = button("SpeedButton8", QStringLiteral("\u2691"), QStringLiteral("Add Bookmark"), false);
    connect(bookmarks, &QToolButton::clicked, this, [this, bookmarks] {
        m_bookmarkPopup->popup(bookmarks->mapToGlobal(QPoint(0, bookmarks->height())));
    });
    QToolButton *completion = button("SpeedButton9", QStringLiteral("/A"), QStringLiteral("Enable / Disable Tag Completion"), true);
    Q_UNUSED(completion);
    row->addStretch(1);
}

QAction *TForm1::addAction(QMenu *menu, const char *objectName, const QString &caption, const QKeySequence &shortcut,
                           void (TForm1::*slot)())
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QLatin1String(objectName));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, slot);
    menu->addAction(a);
    return a;
}

QAction *TForm1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TForm1::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *newDoc = addAction(file, "NewWebDocument1", QStringLiteral("&New Web Document"),
                                QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::NewWebDocument1Click);
    QMenu *newMenu = file->addMenu(QStringLiteral("New..."));
    newMenu->setObjectName(QStringLiteral("New1"));
    addAction(newMenu, "DefaultTemplate1", QStringLiteral("Default Template"), {}, &TForm1::NewWebDocument1Click);
    addAction(newMenu, "BlankDocument1", QStringLiteral("Blank Document"), {}, &TForm1::BlankDocument1Click);
    QAction *open = addAction(file, "Open1", QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::Open1Click);
    QAction *save = addAction(file, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::Save1Click);
    addAction(file, "SaveAs1", QStringLiteral("Save as..."), {}, &TForm1::SaveAs1Click);
    addAction(file, "SaveAll1", QStringLiteral("Save All..."), {}, &TForm1::SaveAll1Click);
    file->addSeparator();
    addAction(file, "Close1", QStringLiteral("&Close"), {}, &TForm1::Close1Click);
    addAction(file, "CloseAll1", QStringLiteral("Close All..."), {}, &TForm1::CloseAll1Click);
    file->addSeparator();
    QMenu *print = file->addMenu(QStringLiteral("Print..."));
    print->setObjectName(QStringLiteral("Print1"));
    addAction(print, "PrintAll1", QStringLiteral("Print Selected File"), {}, &TForm1::PrintAll1Click);
    addAction(print, "PrintSelectedBlock1", QStringLiteral("Print Selected Block"), {}, &TForm1::PrintSelectedBlock1Click);
    addAction(print, "PrintAllOpenFiles1", QStringLiteral("Print All Open Files"), {}, &TForm1::PrintAllOpenFiles1Click);
    addAction(file, "PrinterSetup1", QStringLiteral("Printer Setup"), {}, &TForm1::PrinterSetup1Click);
    file->addSeparator();
    addAction(file, "Exit1", QStringLiteral("E&xit"), {}, &TForm1::Exit1Click);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    QAction *undo = addAction(edit, "Undo1", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm1::Undo1Click);
    QAction *redo = addAction(edit, "Redo1", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                              &TForm1::Redo1Click);
    edit->addSeparator();
    QAction *cut = addAction(edit, "Cut1", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), &TForm1::Cut1Click);
    QAction *copy = addAction(edit, "Copy1", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &TForm1::Copy1Click);
    QAction *paste = addAction(edit, "Paste1", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &TForm1::Paste1Click);
    addAction(edit, "Delete1", QStringLiteral("Delete"), {}, &TForm1::Delete1Click);
    edit->addSeparator();
    addAction(edit, "SelectAll1", QStringLiteral("Select All..."), QKeySequence(Qt::CTRL | Qt::Key_A), &TForm1::SelectAll1Click);
    addAction(edit, "QuoteBlock1", QStringLiteral("Quote Block"), {}, &TForm1::QuoteBlock1Click);
    edit->addSeparator();
    m_wordWrapMenu = addAction(edit, "WordWrap1", QStringLiteral("Word Wrap"), {}, &TForm1::WordWrap1Click);
    m_wordWrapMenu->setCheckable(true);

    QMenu *search = menuBar()->addMenu(QStringLiteral("&Search"));
    search->setObjectName(QStringLiteral("Search1"));
    QAction *find = addAction(search, "Find1", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F), &TForm1::Find1Click);
    addAction(search, "FindNext1", QStringLiteral("Find Next..."), QKeySequence(Qt::Key_F3), &TForm1::FindNext1Click);
    addAction(search, "Replace1", QStringLiteral("Replace"), QKeySequence(Qt::CTRL | Qt::Key_H), &TForm1::Replace1Click);
    addAction(search, "GotoLineNumber1", QStringLiteral("Goto Line Number"), QKeySequence(Qt::CTRL | Qt::Key_G),
              &TForm1::GotoLineNumber1Click);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QMenu *parser = options->addMenu(QStringLiteral("Parser"));
    parser->setObjectName(QStringLiteral("Parser1"));
    auto *parserGroup = new QActionGroup(this);
    for (const SyntaxModeInfo &mode : syntaxModes()) {
        QAction *a = parser->addAction(QLatin1String(mode.menuCaption));
        a->setObjectName(QString::fromLatin1(mode.handler).chopped(5));  // "HTML3Click" -> "HTML3"
        a->setCheckable(true);
        a->setChecked(mode.parser == m_syntaxParser);
        parserGroup->addAction(a);
        const SyntaxParser p = mode.parser;
        connect(a, &QAction::triggered, this, [this, p] { applySyntaxMode(p); });
    }
    addAction(options, "EnvironmentOptions1", QStringLiteral("Environment Options"), {}, &TForm1::EnvironmentOptions1Click);

    QToolBar *bar = addToolBar(QStringLiteral("Standard"));
    bar->setObjectName(QStringLiteral("StandardToolbar"));
    bar->setIconSize(QSize(16, 16));
    const struct { QAction *action; QStyle::StandardPixmap icon; const char *hint; } buttons[] = {
        {newDoc, QStyle::SP_FileIcon, "New"},
        {open, QStyle::SP_DialogOpenButton, "Open"},
        {save, QStyle::SP_DialogSaveButton, "Save"},
        {cut, QStyle::SP_DialogDiscardButton, "Cut"},
        {copy, QStyle::SP_FileDialogDetailedView, "Copy"},
        {paste, QStyle::SP_DialogApplyButton, "Paste"},
        {undo, QStyle::SP_ArrowBack, "Undo"},
        {redo, QStyle::SP_ArrowForward, "Redo"},
        {find, QStyle::SP_FileDialogContentsView, "Find"},
    };
    for (const auto &b : buttons) {
        b.action->setIcon(style()->standardIcon(b.icon));
        b.action->setToolTip(QLatin1String(b.hint));
        bar->addAction(b.action);
    }
}

void TForm1::buildPopupMenus()
{
    auto plain = [this](QMenu *menu, const QString &caption, auto handler) {
        QAction *a = menu->addAction(caption);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    m_bookmarkPopup = new QMenu(this);
    m_bookmarkPopup->setObjectName(QStringLiteral("BookMarkPopup"));
    QMenu *toggle = m_bookmarkPopup->addMenu(QStringLiteral("Toggle Bookmark"));
    QMenu *go = m_bookmarkPopup->addMenu(QStringLiteral("Goto Bookmark"));
    for (int n = 1; n <= 9; ++n) {
        QAction *t = plain(toggle, QStringLiteral("Toggle Bookmark %1").arg(n), [this, n] { toggleBookmark(n); });
        t->setObjectName(n == 1 ? QStringLiteral("BookMarkM1") : QStringLiteral("BookmarkM%1").arg(n));
        t->setCheckable(true);
        m_bookmarkToggles.append(t);
        plain(go, QStringLiteral("Goto Bookmark %1").arg(n), [this, n] { goToBookmark(n); });
    }

    m_editorMenu = new QMenu(this);
    m_editorMenu->setObjectName(QStringLiteral("EditorPopup"));
    plain(m_editorMenu, QStringLiteral("Cut"), &TForm1::Cut1Click);
    plain(m_editorMenu, QStringLiteral("Copy"), &TForm1::Copy1Click);
    plain(m_editorMenu, QStringLiteral("Paste"), &TForm1::Paste1Click);
    m_editorMenu->addSeparator();
    plain(m_editorMenu, QStringLiteral("Select All"), &TForm1::SelectAll1Click);
    m_editorMenu->addSeparator();
    m_wordWrapPopup = plain(m_editorMenu, QStringLiteral("Word Wrap"), &TForm1::WordWrap1Click);
    m_wordWrapPopup->setObjectName(QStringLiteral("WordWrap2"));
    m_wordWrapPopup->setCheckable(true);
    m_hiddenCharsPopup = plain(m_editorMenu, QStringLiteral("Show all characters..."),
                               [this] { setHiddenCharacters(!m_hiddenCharsPopup->isChecked()); });
    m_hiddenCharsPopup->setObjectName(QStringLiteral("Showallcharacters1"));
    QMenu *toggle2 = m_editorMenu->addMenu(QStringLiteral("Toggle Bookmark"));
    QMenu *go2 = m_editorMenu->addMenu(QStringLiteral("Goto Bookmark"));
    for (int n = 1; n <= 9; ++n) {
        plain(toggle2, QStringLiteral("Bookmark %1").arg(n), [this, n] { toggleBookmark(n); });
        plain(go2, QStringLiteral("Bookmark %1").arg(n), [this, n] { goToBookmark(n); });
    }
    m_editorMenu->addSeparator();
    plain(m_editorMenu, QStringLiteral("Close page"), &TForm1::Close1Click);
    connect(m_memo->widget(), &QWidget::customContextMenuRequested, this, &TForm1::showEditorMenu);

    m_tabMenu = new QMenu(this);
    m_tabMenu->setObjectName(QStringLiteral("TabPopup"));
    plain(m_tabMenu, QStringLiteral("New"), &TForm1::NewWebDocument1Click);
    plain(m_tabMenu, QStringLiteral("Open..."), &TForm1::Open1Click);
    plain(m_tabMenu, QStringLiteral("Save"), &TForm1::Save1Click);
    plain(m_tabMenu, QStringLiteral("Save as"), &TForm1::SaveAs1Click);
    plain(m_tabMenu, QStringLiteral("Save all..."), &TForm1::SaveAll1Click);
    plain(m_tabMenu, QStringLiteral("Close file"), &TForm1::Close1Click);
}

void TForm1::showEditorMenu(const QPoint &pos)
{
    m_editorMenu->popup(m_memo->widget()->mapToGlobal(pos));
}

void TForm1::showTabMenu(const QPoint &pos)
{
    m_tabMenu->popup(m_pageSelector->mapToGlobal(pos));
}

void TForm1::updateCaretStatus()
{
    statusBar()->showMessage(caretStatusText(m_memo->caretPoint()));
}

void TForm1::loadEnvironment()
{
    EditorEnvironment env;
    if (!DataFolder::path().isEmpty())
        env.load(DataFolder::file(QLatin1String(EditorIniFileName)));
    m_memo->applyEnvironment(env);
}

void TForm1::showEnvironmentOptions()
{
    EnvironmentOptionsDialog dialog(this);
    dialog.setValue(m_memo->environment());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const EditorEnvironment env = dialog.value();
    m_memo->applyEnvironment(env);
    const QString path = DataFolder::file(QLatin1String(EditorIniFileName));
    if (!env.save(path))
        MessageService::error(this, QStringLiteral("Unable to write to %1").arg(path));
}

void TForm1::applySyntaxMode(SyntaxParser parser)
{
    m_syntaxParser = parser;
    const SyntaxModeInfo &mode = syntaxMode(parser);
    for (TMemoSource *buffer : std::as_const(gMemoData)) {
        buffer->setSyntaxParser(mode.parser);
        buffer->setTemplatesType(QLatin1String(mode.templatesType));
        buffer->setUseGlobalOptions(mode.useGlobalOptions);
    }
    const QString name = QString::fromLatin1(mode.handler).chopped(5);
    if (QAction *a = action(name))
        a->setChecked(true);
}

void TForm1::setLineNumbers(bool on)
{
    m_lineNumbersButton->setChecked(on);
    on ? m_memo->includeOptions(moLineNumbers) : m_memo->excludeOptions(moLineNumbers);
}

void TForm1::setWordWrap(bool on)
{
    m_wordWrapButton->setChecked(on);
    m_wordWrapMenu->setChecked(on);
    m_wordWrapPopup->setChecked(on);
    m_memo->setWordWrap(on);
}

void TForm1::setGutter(bool on)
{
    m_gutterButton->setChecked(on);
    on ? m_memo->includeOptions(moDrawGutter) : m_memo->excludeOptions(moDrawGutter);
}

void TForm1::setHiddenCharacters(bool on)
{
    m_hiddenCharsButton->setChecked(on);
    m_hiddenCharsPopup->setChecked(on);
    on ? m_memo->includeOptions(moDrawSpecialSymbols) : m_memo->excludeOptions(moDrawSpecialSymbols);
}

void TForm1::toggleBookmark(int n)
{
    TMemoSource *b = m_documents->currentBuffer();
    if (!b)
        return;
    if (!(m_memo->options() & moDrawGutter))
        setGutter(true);
    QAction *check = m_bookmarkToggles.value(n - 1);
    check->setChecked(!check->isChecked());
    b->toggleBookmark(n);
}

void TForm1::goToBookmark(int n)
{
    if (TMemoSource *b = m_documents->currentBuffer())
        b->goToBookmark(n);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_documents->closeAll()) {
        event->ignore();
        return;
    }
    gClosingNow = true;
    event->accept();
}

void TForm1::NewWebDocument1Click() { m_documents->newWebDocument(); }
void TForm1::BlankDocument1Click() { m_documents->blankDocument(); }
void TForm1::Open1Click() { m_documents->open(); }
void TForm1::Save1Click() { m_documents->save(); }
void TForm1::SaveAs1Click() { m_documents->saveAs(); }
void TForm1::SaveAll1Click() { m_documents->saveAll(); }
void TForm1::Close1Click() { m_documents->close(); }
void TForm1::CloseAll1Click() { m_documents->closeAll(); }
void TForm1::Exit1Click() { close(); }
void TForm1::PrinterSetup1Click() { m_documents->printerSetup(); }
void TForm1::PrintAll1Click() { m_documents->printSelectedFile(); }
void TForm1::PrintSelectedBlock1Click() { m_documents->printSelectedBlock(); }
void TForm1::PrintAllOpenFiles1Click() { m_documents->printAllOpenFiles(); }
void TForm1::Undo1Click() { m_documents->undo(); }
void TForm1::Redo1Click() { m_documents->redo(); }
void TForm1::Cut1Click() { m_documents->cut(); }
void TForm1::Copy1Click() { m_documents->copy(); }
void TForm1::Paste1Click() { m_documents->paste(); }
void TForm1::Delete1Click() { m_documents->deleteSelection(); }
void TForm1::SelectAll1Click() { m_documents->selectAll(); }
void TForm1::QuoteBlock1Click() { m_documents->quoteBlock(); }
void TForm1::Find1Click() { m_documents->find(); }
void TForm1::FindNext1Click() { m_documents->findNext(); }
void TForm1::Replace1Click() { m_documents->replace(); }
void TForm1::GotoLineNumber1Click() { m_documents->goToLine(); }
void TForm1::WordWrap1Click() { setWordWrap(!m_memo->wordWrap()); }
void TForm1::EnvironmentOptions1Click() { showEnvironmentOptions(); }

} // namespace Quorvant
