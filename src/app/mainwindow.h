// The main editor window: menus, the central page control with the editor
// page (document toolbar, editor, document tabs) and the status bar.
#pragma once

#include "commandregistry.h"
#include "debugout.h"
#include "editortypes.h"
#include "setuptools.h"

#include <memory>
#include <optional>

#include <QColor>
#include <QHash>
#include <QMainWindow>

#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;
class QTabWidget;
class QSplitter;
class QToolBar;
class QToolButton;

namespace Quorvant {

class ITextBuffer;
class TApplicationShell;
class TBrowserPage;
class TDCMemo;
class TRecentFiles;
class TDocumentSet;
class TMemoSource;

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    TDocumentSet *documents() const { return m_documents; }
    TDCMemo *DCMemo1() const { return m_memo; }
    QTabBar *PageSelector() const { return m_pageSelector; }
    QTabWidget *tabholder() const { return m_tabholder; }
    QWidget *Panel12() const { return m_panel12; }
    QStatusBar *StatusBar1() const;
    QLabel *noDocumentsLabel() const { return m_noDocuments; }
    // The action, menu or button with this object name, or nullptr.
    QAction *action(const QString &objectName) const;
    QMenu *menu(const QString &objectName) const;

    // The regions of the window that other parts of the program fill.
    QToolBar *largeButtonBar() const { return m_largeButtonBar; }
    QWidget *controlBar() const { return m_controlBar; }
    QTabWidget *pureTagBars() const { return m_pureTagBars; }
    QTabWidget *sidebar() const { return m_sidebar; }
    QWidget *colorBar() const { return m_colorBar; }
    QTabWidget *characterList() const { return m_characterList; }
    QMenu *editorMenu() const { return m_editorMenu; }
    QMenu *pluginsMenu() const { return m_pluginsMenu; }
    // Commands other parts offer by id (catalogue buttons, program-wide keys).
    TCommandRegistry &commands() { return m_commands; }
    // Runs a command on the current document, if there is one, and gives
    // the editor the focus again.
    void withBuffer(const std::function<void(ITextBuffer *)> &command);
    // The debug window's output, or nothing before the shell is attached.
    DebugOut debugTarget() const;

    // Program-wide view state that the document toolbar and menus share.
    void setHiddenCharacters(bool on);
    void toggleBookmark(int n);
    // The "Toggle Bookmark N" marks: set for each bookmark the current document has.
    void updateBookmarkMarks();
    // Gives every open document this syntax mode.
    void applySyntaxMode(SyntaxParser parser);
    // A syntax mode menu item: stores the mode and applies it.
    void chooseSyntaxMode(SyntaxParser parser);
    // Applies the stored syntax mode (HTML when none was ever chosen).
    void LoadDefaultParser();

    // Start-up and shutdown.
    void setShell(TApplicationShell *shell);
    void FormShow();
    void FormClose();
    void freeLongLivedObjects();
    const TSystemSettings &systemSettings() const { return m_systemSettings; }

    // Recent files, templates, help.
    void bindRecentFiles(TRecentFiles *recent);
    void loadTemplateIntoEditor(const QString &name);
    QString defaultTemplateText(CaretPoint *caret) const;
    void ShowHelpFile(const QString &topic);
    TBrowserPage *documentationPage() const { return m_documentation; }
    TBrowserPage *previewPage() const { return m_preview; }
    TBrowserPage *tagListPage() const { return m_tagListPage; }

    // The preview: writes the current document to its preview file and
    // shows it (fromF11: the F11 key's wording of a failed write).
    // A preview file is never a file the window did not write: when a file
    // of the usual name is someone else's, a free name beside it is used.
    QString previewFileName() const;
    // With quietError, a failed write is told there instead of in a box.
    bool refreshPreview(bool fromF11 = false, QString *quietError = nullptr);
    // F11: to the preview page and refresh it, unless it is showing already.
    void previewByKey();
    void rebuildPreviewInBrowser(const QList<TBrowserEntry> &browsers);
    // A browser of File > "Preview in Browser..." chosen: writes the preview
    // file and starts that browser on it (a failed write is told instead).
    void previewInBrowser(const QString &browserName);

    // View state, each applying a control state and the window state together.
    void ShowLineNumbers(bool Status);  // true hides them
    void EnableWordWrap(bool Status);
    void EnableTagCompletion(bool Status);
    void InsertInLowerCase(bool Status);
    void ShowGutter(bool Status);
    void ShowSpecialChars(bool Status);
    void ShowColorBar(bool Status);
    void ShowSideBar(bool Status);
    void ShowBigBar(bool Status);
    void ShowControlBar(bool Status);
    void ShowPureTagBars(bool Status);
    void LoadAllViewSettings();
    void LoadAllSecondaryOptions();
    void toggleFullScreen();
    bool isFullScreenMode() const;
    // Moves the keyboard focus to the next (or previous) shown pane: the
    // page in the middle, the sidebar, the tag bars, the colour bar, the
    // special characters; F6 and Shift+F6.
    void focusNextPane(bool forward);
    void focusNextPaneForward() { focusNextPane(true); }
    void focusNextPaneBackward() { focusNextPane(false); }
    void toggleViewOption(const char *viewActionName);
    bool tagCompletionEnabled() const;
    // The syntax mode applied last; none until one is (the stored number may
    // name none), the buffers then colouring as HTML, their default.
    std::optional<SyntaxParser> appliedSyntaxMode() const { return m_syntaxMode; }
    SyntaxParser syntaxParser() const { return m_syntaxMode.value_or(SyntaxParser::HTML); }
    void goToBookmark(int n);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildEditorPage(QWidget *page);
    void buildMenus();
    void buildDocumentToolbar();
    void buildPopupMenus();
    QAction *addAction(QMenu *menu, const char *objectName, const QString &caption, const QKeySequence &shortcut,
                       void (TForm1::*slot)());
    void updateCaretStatus();
    void showEnvironmentOptions();
    void loadEnvironment();
    void showEditorMenu(const QPoint &pos);
    void showTabMenu(const QPoint &pos);

    // Command handlers.
    void NewWebDocument1Click();
    void BlankDocument1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void SaveAll1Click();
    void Close1Click();
    void CloseAll1Click();
    void Exit1Click();
    void PrinterSetup1Click();
    void PrintAll1Click();
    void PrintSelectedBlock1Click();
    void PrintAllOpenFiles1Click();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Delete1Click();
    void SelectAll1Click();
    void QuoteBlock1Click();
    void Find1Click();
    void FindNext1Click();
    void Replace1Click();
    void GotoLineNumber1Click();
    void WordWrap1Click();
    void EnvironmentOptions1Click();
    void FromTemplate1Click();
    void SaveAsTemplate1Click();
    void ReOpenTaskManager1Click();
    void InternalDebugger1Click();
    void EditorPreferences1Click();
    void ResetEditorSettingsToDefault1Click();

    QWidget *m_topBars = nullptr;
    QToolBar *m_largeButtonBar = nullptr;
    QWidget *m_controlBar = nullptr;
    QTabWidget *m_pureTagBars = nullptr;
    QSplitter *m_sideSplitter = nullptr;
    QTabWidget *m_sidebar = nullptr;
    QWidget *m_colorBar = nullptr;
    QTabWidget *m_characterList = nullptr;
    QTabWidget *m_tabholder = nullptr;
    QTabBar *m_pageSelector = nullptr;
    QWidget *m_panel12 = nullptr;
    QLabel *m_noDocuments = nullptr;
    // The current document's file name, kept at the status bar's right.
    QLabel *m_statusFileName = nullptr;
    TDCMemo *m_memo = nullptr;
    TDocumentSet *m_documents = nullptr;
    QMenu *m_editorMenu = nullptr;
    QMenu *m_reopenMenu = nullptr;
    QMenu *m_pluginsMenu = nullptr;
    QMenu *m_tabMenu = nullptr;
    QMenu *m_bookmarkPopup = nullptr;
    QToolButton *m_lineNumbersButton = nullptr;
    QToolButton *m_hiddenCharsButton = nullptr;
    QToolButton *m_wordWrapButton = nullptr;
    QToolButton *m_gutterButton = nullptr;
    QAction *m_wordWrapMenu = nullptr;
    QAction *m_wordWrapPopup = nullptr;
    QAction *m_hiddenCharsPopup = nullptr;
    QList<QAction *> m_bookmarkToggles;
    std::optional<SyntaxParser> m_syntaxMode;
    TApplicationShell *m_shell = nullptr;
    TRecentFiles *m_recent = nullptr;
    TBrowserPage *m_documentation = nullptr;
    TBrowserPage *m_preview = nullptr;
    TBrowserPage *m_tagListPage = nullptr;
    QMenu *m_previewInBrowser = nullptr;
    // Preview files written by this window, by the document they show; they
    // go when their document closes and when the window goes.
    QHash<QObject *, QString> m_previewFiles;
    void forgetPreviewOf(QObject *document);
    // Writes the document to its preview file, which is this window's from
    // then on; the file, or empty (and *error) when it could not be written.
    QString writePreviewFile(TMemoSource *buffer, QString *error);
    QAction *m_gutterMenu = nullptr;
    QAction *m_fullScreenMenu = nullptr;
    QAction *m_tagCaseMenu = nullptr;
    QToolButton *m_fullScreenButton = nullptr;
    QToolButton *m_tagCompletionButton = nullptr;
    QList<QAction *> m_parserActions;
    bool m_applyingView = false;
    bool m_switchingToPreviewByKey = false;
    void connectBrowserPages();
    void saveMainFormKeys();
    void saveOptions2Keys();
    QAction *viewAction(const char *name) const;
    QWidget *regionFor(const char *viewActionName) const;
    std::unique_ptr<TSetupTools> m_setupTools;
    TSystemSettings m_systemSettings;
    TCommandRegistry m_commands;
};

} // namespace Quorvant
