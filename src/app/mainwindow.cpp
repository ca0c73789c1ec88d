#include "mainwindow.h"

#include "browserpage.h"
#include "datafolder.h"
#include "veskfilesystems.h"
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
#include <QLayout>
#include <QPointer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QSplitter>
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

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainPanel"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    // The three top bars always stack in this order.
    m_topBars = new QWidget(central);
    m_topBars->setObjectName(QStringLiteral("TopBars"));
    auto *bars = new QVBoxLayout(m_topBars);
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(0);
    m_largeButtonBar = new QToolBar(m_topBars);
    m_largeButtonBar->setObjectName(QStringLiteral("BigButtonBar"));
    m_largeButtonBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_largeButtonBar->setIconSize(QSize(32, 32));
    bars->addWidget(m_largeButtonBar);
    m_controlBar = new QWidget(m_topBars);
    m_controlBar->setObjectName(QStringLiteral("ControlBar"));
    auto *controls = new QHBoxLayout(m_controlBar);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(0);
    bars->addWidget(m_controlBar);
    m_pureTagBars = new QTabWidget(m_topBars);
    m_pureTagBars->setObjectName(QStringLiteral("PureTagBars"));
    m_pureTagBars->setDocumentMode(true);
    m_pureTagBars->setVisible(false);
    bars->addWidget(m_pureTagBars);
    column->addWidget(m_topBars);

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    m_sideSplitter = new QSplitter(Qt::Horizontal, central);
    m_sideSplitter->setObjectName(QStringLiteral("SidebarSplitter"));
    m_sidebar = new QTabWidget(m_sideSplitter);
    m_sidebar->setObjectName(QStringLiteral("Sidebar"));
    const struct { const char *name; const char *caption; } sidePages[] = {
        {"TagsPage", "Tags"}, {"ProjectsPage", "Projects"}, {"HelpPage", "Help"}, {"LocalPage", "Local"},
        {"CodeSnippetPage", "Code Snippet"}, {"HalvornNetworkPage", "Halvorn Network"},
        {"TagInspectorPage", "Tag Inspector"},
    };
    for (const auto &page : sidePages) {
        QWidget *w = qstrcmp(page.name, "HelpPage") == 0
                         ? (m_tagListPage = new TBrowserPage(TBrowserPage::Kind::TagList, QStringLiteral("WebBrowser1"), m_sidebar))
                         : new QWidget(m_sidebar);
        w->setObjectName(QLatin1String(page.name));
        m_sidebar->addTab(w, QLatin1String(page.caption));
        m_sidebar->setTabToolTip(m_sidebar->count() - 1, QLatin1String(page.caption));
    }
    // Seven captions do not fit across the narrow sidebar: down its side
    // they all show at once.
    m_sidebar->setTabPosition(QTabWidget::West);
    m_sidebar->setUsesScrollButtons(true);
    m_sideSplitter->addWidget(m_sidebar);

    m_tabholder = new QTabWidget(m_sideSplitter);
    m_tabholder->setObjectName(QStringLiteral("tabholder"));
    const char *pageNames[] = {"EditorPage", "PreviewPage", "DocumentationPage", "NetworkPage"};
    const QString captions[] = {QStringLiteral(" Editor [F10]"), QStringLiteral("Preview [F11]"),
                                QStringLiteral("Documentation"), QStringLiteral("Network Control [F9]")};
    for (int i = 0; i < 4; ++i) {
        QWidget *page;
        if (i == 1)
            page = m_preview = new TBrowserPage(TBrowserPage::Kind::Preview, QStringLiteral("WebBrowser2"), m_tabholder);
        else if (i == 2)
            page = m_documentation = new TBrowserPage(TBrowserPage::Kind::Documentation, QStringLiteral("WebBrowser3"), m_tabholder);
        else
            page = new QWidget(m_tabholder);
        page->setObjectName(QLatin1String(pageNames[i]));
        m_tabholder->addTab(page, captions[i]);
    }
    m_sideSplitter->addWidget(m_tabholder);
    m_sideSplitter->setStretchFactor(0, 0);
    m_sideSplitter->setStretchFactor(1, 1);
    m_sideSplitter->setSizes({220, 1000});
    middle->addWidget(m_sideSplitter, 1);

    m_colorBar = new QWidget(central);
    m_colorBar->setObjectName(QStringLiteral("ColorBar"));
    m_colorBar->setFixedWidth(64);
    new QVBoxLayout(m_colorBar);
    middle->addWidget(m_colorBar);
    column->addLayout(middle, 1);

    m_characterList = new QTabWidget(central);
    m_characterList->setObjectName(QStringLiteral("SpecialCharacterList"));
    m_characterList->setDocumentMode(true);
    for (const char *caption : {"Extended 1", "Extended 2"}) {
        auto *w = new QWidget(m_characterList);
        w->setObjectName(QStringLiteral("%1Page").arg(QString::fromLatin1(caption).remove(u' ')));
        m_characterList->addTab(w, QLatin1String(caption));
    }
    m_characterList->setVisible(false);
    column->addWidget(m_characterList);

    buildEditorPage(m_tabholder->widget(0));
    connectBrowserPages();

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);

    m_documents = new TDocumentSet(this, m_pageSelector, m_memo, m_panel12, m_noDocuments);
    m_documents->loadDefaultParser = [this] {
        if (m_syntaxMode)
            applySyntaxMode(*m_syntaxMode);
    };
    m_documents->defaultTemplateText = [this](CaretPoint *caret) { return defaultTemplateText(caret); };
    connect(m_documents, &TDocumentSet::fileRecorded, this, [this](const QString &path) {
        if (m_recent)
            m_recent->AddToRecentFilesList(path);
    });
    connect(m_documents, &TDocumentSet::currentDocumentChanged, this, &TForm1::updateCaretStatus);
    connect(m_documents, &TDocumentSet::currentDocumentChanged, this, &TForm1::updateBookmarkMarks);
    connect(m_documents, &TDocumentSet::loadProgress, this, [this](const QString &name, qint64 done, qint64 total) {
        constexpr qint64 MB = 1024 * 1024;
        statusBar()->showMessage(QStringLiteral("Loading %1: %2 of %3 MB (%4%)...")
                                     .arg(name)
                                     .arg((done + MB / 2) / MB)
                                     .arg((total + MB / 2) / MB)
                                     .arg(total > 0 ? done * 100 / total : 100));
    });
    m_statusFileName = new QLabel(this);
    m_statusFileName->setObjectName(QStringLiteral("StatusFileName"));
    statusBar()->addPermanentWidget(m_statusFileName);
    // Ctrl+Tab / Ctrl+PgDn and Ctrl+Shift+Tab / Ctrl+PgUp step through the
    // open documents; no menu gives these keys a meaning.
    const auto stepper = [this](const char *name, const QList<QKeySequence> &keys, int step) {
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        QWidget::addAction(a);
        connect(a, &QAction::triggered, this, [this, step] {
            const int n = m_pageSelector->count();
            if (n > 1)
                m_pageSelector->setCurrentIndex((m_pageSelector->currentIndex() + step + n) % n);
        });
    };
    stepper("NextDocument", {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    stepper("PreviousDocument",
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            -1);

    buildMenus();
    buildPopupMenus();
    loadEnvironment();

    connect(m_memo, &IEditorView::changed, this, &TForm1::updateCaretStatus);
    connect(m_memo, &IEditorView::clicked, this, &TForm1::updateCaretStatus);
    // The status shows the caret as it was before the key acts.
    connect(m_memo, &IEditorView::keyDown, this, &TForm1::updateCaretStatus);
    connect(m_memo, &IEditorView::keyUp, this, &TForm1::updateCaretStatus);
    updateCaretStatus();
}

TForm1::~TForm1()
{
    for (const QString &file : std::as_const(m_previewFiles))
        QFile::remove(file);
    m_previewFiles.clear();
    disconnect(m_memo, nullptr, this, nullptr);
    // Buffers belong to the window; the view lets go of them first.
    m_memo->setSource(nullptr);
    qDeleteAll(gMemoData);
    gMemoData.clear();
    gDocumentHolder.clear();
    // The subsystems' objects (children that are neither widgets nor the
    // window's layout) go now, in the order QObject would delete them, while
    // this is still a whole TForm1: they log to the debug window, or ask for
    // the shell, as they end. The widgets and the layout stay for QWidget.
    const QList<QPointer<QObject>> kids(children().cbegin(), children().cend());
    for (const QPointer<QObject> &child : kids) {
        if (child && !child->isWidgetType() && !qobject_cast<QLayout *>(child.data()))
            delete child.data();
    }
}

void TForm1::withBuffer(const std::function<void(ITextBuffer *)> &command)
{
    if (TMemoSource *b = m_documents->currentBuffer()) {
        command(b);
        m_memo->setFocus();
    }
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
    connect(m_lineNumbersButton, &QToolButton::clicked, this, [this](bool on) {
        ShowLineNumbers(!on);
        saveOptions2Keys();
    });
    m_hiddenCharsButton = button("SpeedButton5", QStringLiteral("\u00B6"), QStringLiteral("Show hidden characters..."), true);
    connect(m_hiddenCharsButton, &QToolButton::clicked, this, [this](bool on) { setHiddenCharacters(on); });
    m_wordWrapButton = button("SpeedButton6", QStringLiteral("\u21B5"), QStringLiteral("Enable / Disable Word Wrap..."), true);
    connect(m_wordWrapButton, &QToolButton::clicked, this, [this] { WordWrap1Click(); });
    m_gutterButton = button("SpeedButton7", QStringLiteral("\u258C"), QStringLiteral("Enable / Disable Gutter"), true);
    m_gutterButton->setChecked(true);
    connect(m_gutterButton, &QToolButton::clicked, this, [this] { toggleViewOption("ShowDocumentGutter1"); });
    QToolButton *bookmarks = button("SpeedButton8", QStringLiteral("\u2691"), QStringLiteral("Add Bookmark"), false);
    connect(bookmarks, &QToolButton::clicked, this, [this, bookmarks] {
        m_bookmarkPopup->popup(bookmarks->mapToGlobal(QPoint(0, bookmarks->height())));
    });
    m_tagCompletionButton = button("SpeedButton9", QStringLiteral("/A"), QStringLiteral("Enable / Disable Tag Completion"), true);
    m_tagCompletionButton->setChecked(true);
    connect(m_tagCompletionButton, &QToolButton::clicked, this, [this] { saveOptions2Keys(); });
    m_fullScreenButton = button("SpeedButton3", QStringLiteral("\u25A3"), QStringLiteral("Full Screen Mode..."), true);
    connect(m_fullScreenButton, &QToolButton::clicked, this, [this] { toggleFullScreen(); });
    row->addStretch(1);
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
    if (m_statusFileName) {
        const bool any = m_documents && m_documents->PagesOpen() > 0;
        const QString name = !any ? QString()
                             : gCurrentFilePath.isEmpty() ? m_pageSelector->tabText(m_pageSelector->currentIndex())
                                                          : QFileInfo(gCurrentFilePath).fileName();
        m_statusFileName->setText(name);
        m_statusFileName->setToolTip(gCurrentFilePath);
    }
}

bool TForm1::event(QEvent *event)
{
    // Leaving a widget with a status tip clears the bar: the caret comes back.
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent *>(event)->tip().isEmpty()) {
        updateCaretStatus();
        return true;
    }
    return QMainWindow::event(event);
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
    m_syntaxMode = parser;
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
    if (!(m_memo->options() & moDrawGutter)) {
        ShowGutter(true);
        saveMainFormKeys();
    }
    b->toggleBookmark(n);
    updateBookmarkMarks();
}

void TForm1::updateBookmarkMarks()
{
    const TMemoSource *b = m_documents->currentBuffer();
    for (int n = 1; n <= m_bookmarkToggles.size(); ++n)
        m_bookmarkToggles.at(n - 1)->setChecked(b && b->bookmarkLine(n) >= 0);
}

void TForm1::goToBookmark(int n)
{
    if (TMemoSource *b = m_documents->currentBuffer())
        b->goToBookmark(n);
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
void TForm1::WordWrap1Click()
{
    EnableWordWrap(!m_memo->wordWrap());
    saveOptions2Keys();
}
void TForm1::EnvironmentOptions1Click() { showEnvironmentOptions(); }

} // namespace Quorvant
