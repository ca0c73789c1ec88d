// The view state of the main window: bars, editor options, full-screen mode
// and the preview, kept in agreement with their controls and stored as they
// change.
#include "mainwindow.h"

#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "messageservice.h"
#include "setuptools.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace Quorvant {

namespace {

constexpr auto kNoBrowsersText = "No browsers yet: add them under Options > General Preferences > Browser Options";

// The seven stored bars, in the order of the stored keys.
constexpr const char *MainFormViews[] = {"PureTagBars1", "BigButtonBar1", "ControlBar1", "Sidebar1",
                                         "ColorBar1", "ShowDocumentGutter1", "SpecialCharactersList1"};

} // namespace

QAction *TForm1::viewAction(const char *name) const
{
    return action(QLatin1String(name));
}

void TForm1::focusNextPane(bool forward)
{
    const QList<QWidget *> panes = {m_tabholder, m_sidebar, m_pureTagBars, m_colorBar, m_characterList};
    // The first control of a pane that Tab would reach, in its focus order.
    auto firstControl = [](QWidget *pane) -> QWidget * {
        if (!pane || !pane->isVisible())
            return nullptr;
        for (QWidget *w = pane->nextInFocusChain(); w && w != pane; w = w->nextInFocusChain()) {
            if (pane->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                return w;
        }
        return nullptr;
    };
    QWidget *focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (panes[i] && focus && panes[i]->isAncestorOf(focus))
            at = i;
    }
    for (qsizetype step = 1; step <= panes.size(); ++step) {
        const qsizetype next = ((at < 0 ? (forward ? -1 : 0) : at) + (forward ? step : -step) + panes.size()) % panes.size();
        if (QWidget *target = firstControl(panes[next])) {
            // The document itself, not the page's tab, is where the middle pane starts.
            if (next == 0 && m_tabholder->currentIndex() == 0 && DCMemo1())
                target = DCMemo1()->widget();
            target->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

QWidget *TForm1::regionFor(const char *name) const
{
    const QString n = QLatin1String(name);
    if (n == QLatin1String("PureTagBars1"))
        return m_pureTagBars;
    if (n == QLatin1String("BigButtonBar1"))
        return m_largeButtonBar;
    if (n == QLatin1String("ControlBar1"))
        return m_controlBar;
    if (n == QLatin1String("Sidebar1"))
        return m_sidebar;
    if (n == QLatin1String("ColorBar1"))
        return m_colorBar;
    if (n == QLatin1String("SpecialCharactersList1"))
        return m_characterList;
    return nullptr;
}

void TForm1::saveMainFormKeys()
{
    if (!gSetupTools || m_applyingView)
        return;
    bool v[7];
    for (int i = 0; i < 7; ++i)
        v[i] = viewAction(MainFormViews[i])->isChecked();
    gSetupTools->SaveMainFormViewState(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
}

void TForm1::saveOptions2Keys()
{
    if (!gSetupTools || m_applyingView)
        return;
    gSetupTools->SaveFormViewStates2(m_lineNumbersButton->isChecked(), m_wordWrapButton->isChecked(),
                                     m_tagCompletionButton->isChecked(), m_tagCaseMenu->isChecked());
}

void TForm1::ShowLineNumbers(bool Status)
{
    m_lineNumbersButton->setChecked(!Status);
    Status ? m_memo->excludeOptions(moLineNumbers) : m_memo->includeOptions(moLineNumbers);
}

void TForm1::EnableWordWrap(bool Status)
{
    m_wordWrapButton->setChecked(Status);
    m_wordWrapMenu->setChecked(Status);
    m_wordWrapPopup->setChecked(Status);
    m_memo->setWordWrap(Status);
}

void TForm1::EnableTagCompletion(bool Status)
{
    m_tagCompletionButton->setChecked(Status);
}

bool TForm1::tagCompletionEnabled() const
{
    return m_tagCompletionButton->isChecked();
}

void TForm1::InsertInLowerCase(bool Status)
{
    m_tagCaseMenu->setChecked(Status);
    Quorvant::InsertInLowerCase(Status);
}

void TForm1::ShowGutter(bool Status)
{
    m_gutterButton->setChecked(Status);
    m_gutterMenu->setChecked(Status);
    Status ? m_memo->includeOptions(moDrawGutter) : m_memo->excludeOptions(moDrawGutter);
}

void TForm1::ShowSpecialChars(bool Status)
{
    viewAction("SpecialCharactersList1")->setChecked(Status);
    m_characterList->setVisible(Status);
}

void TForm1::ShowColorBar(bool Status)
{
    viewAction("ColorBar1")->setChecked(Status);
    m_colorBar->setVisible(Status);
}

void TForm1::ShowSideBar(bool Status)
{
    viewAction("Sidebar1")->setChecked(Status);
    m_sidebar->setVisible(Status);
}

void TForm1::ShowBigBar(bool Status)
{
    viewAction("BigButtonBar1")->setChecked(Status);
    m_largeButtonBar->setVisible(Status);
}

void TForm1::ShowControlBar(bool Status)
{
    viewAction("ControlBar1")->setChecked(Status);
    m_controlBar->setVisible(Status);
}

void TForm1::ShowPureTagBars(bool Status)
{
    viewAction("PureTagBars1")->setChecked(Status);
    m_pureTagBars->setVisible(Status);
}

void TForm1::LoadAllViewSettings()
{
    bool pureTags = false, largeButton = true, controlBar = true, sideBar = true, colorBar = true, gutter = true,
         characterList = false;
    if (gSetupTools)
        gSetupTools->LoadMainFormViewState(pureTags, largeButton, controlBar, sideBar, colorBar, gutter, characterList);
    ShowPureTagBars(pureTags);
    ShowControlBar(controlBar);
    ShowBigBar(largeButton);
    ShowSideBar(sideBar);
    ShowColorBar(colorBar);
    ShowGutter(gutter);
    ShowSpecialChars(characterList);
}

void TForm1::LoadAllSecondaryOptions()
{
    bool lineNumbers = false, wordWrap = false, tagCompletion = true, lowerCase = true;
    if (gSetupTools)
        gSetupTools->LoadFormViewStates2(lineNumbers, wordWrap, tagCompletion, lowerCase);
    ShowLineNumbers(!lineNumbers);
    EnableWordWrap(wordWrap);
    EnableTagCompletion(tagCompletion);
    InsertInLowerCase(lowerCase);
}

void TForm1::toggleViewOption(const char *name)
{
    // Inverts what is shown now (a checkable item has already flipped its mark).
    if (qstrcmp(name, "ShowDocumentGutter1") == 0) {
        ShowGutter(!(m_memo->options() & moDrawGutter));
    } else {
        QWidget *region = regionFor(name);
        const bool show = region->isHidden();
        viewAction(name)->setChecked(show);
        region->setVisible(show);
    }
    saveMainFormKeys();
}

bool TForm1::isFullScreenMode() const
{
    return m_fullScreenMenu->isChecked();
}

void TForm1::toggleFullScreen()
{
    if (!isFullScreenMode()) {
        saveMainFormKeys();
        m_applyingView = true;
        ShowPureTagBars(false);
        ShowControlBar(false);
        ShowBigBar(false);
        ShowSideBar(false);
        ShowColorBar(false);
        ShowGutter(false);
        ShowSpecialChars(false);
        m_applyingView = false;
        m_fullScreenMenu->setChecked(true);
        m_fullScreenButton->setChecked(true);
        m_preview->fullScreenButton()->setChecked(true);
    } else {
        m_fullScreenButton->setChecked(false);
        m_preview->fullScreenButton()->setChecked(false);
        m_applyingView = true;
        LoadAllViewSettings();
        m_applyingView = false;
        m_fullScreenMenu->setChecked(false);
    }
}

QString TForm1::previewFileName() const
{
    const bool named = !gCurrentFilePath.isEmpty();
    const QString folder = named ? QFileInfo(gCurrentFilePath).absolutePath() : DataFolder::path();
    const bool ownName = named && QFileInfo(gCurrentFilePath).fileName().compare(QLatin1String("PREVIEW.HTM"), Qt::CaseInsensitive) == 0;
    const QString usual = DataFolder::resolve(folder, ownName ? QStringLiteral("Prev.Htm") : QStringLiteral("Preview.Htm"));
    const QList<QString> ours = m_previewFiles.values();
    auto free = [&](const QString &path) {
        const QFileInfo info(path);
        return ours.contains(info.absoluteFilePath()) || (!info.exists() && !info.isSymLink());
    };
    if (free(usual))
        return QFileInfo(usual).absoluteFilePath();
    // Someone else's file has the usual name: a name not taken yet beside it.
    const QFileInfo info(usual);
    for (int n = 1;; ++n) {
        const QString candidate = info.absoluteDir().filePath(
            QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
        if (free(candidate))
            return candidate;
    }
}

void TForm1::forgetPreviewOf(QObject *document)
{
    const QString file = m_previewFiles.take(document);
    if (!file.isEmpty() && !m_previewFiles.values().contains(file))
        QFile::remove(file);
}

QString TForm1::writePreviewFile(TMemoSource *buffer, QString *error)
{
    const QString file = previewFileName();
    const QString before = m_previewFiles.value(buffer);
    if (!buffer->saveToFile(file, error))
        return {};
    if (before != file) {
        // The document was saved elsewhere since: its old preview goes.
        if (!before.isEmpty())
            forgetPreviewOf(buffer);
        else
            connect(buffer, &QObject::destroyed, this, [this, buffer] { forgetPreviewOf(buffer); });
        m_previewFiles.insert(buffer, file);
    }
    return file;
}

bool TForm1::refreshPreview(bool fromF11, QString *quietError)
{
    TMemoSource *buffer = m_documents->currentBuffer();
    if (!buffer)
        return false;
    QString error;
    const QString file = writePreviewFile(buffer, &error);
    if (file.isEmpty()) {
        if (quietError) {
            *quietError = error;
            return false;
        }
        if (fromF11 && gCurrentFilePath.isEmpty()) {
            MessageService::error(this, QStringLiteral("Error Saving Preview File, Please try again."));
            m_preview->navigate(QUrl::fromLocalFile(previewFileName()));
        } else {
            MessageService::error(this, error);
        }
        return false;
    }
    if (quietError)
        m_preview->showAgainKeepingScroll(QUrl::fromLocalFile(file));
    else
        m_preview->navigate(QUrl::fromLocalFile(file));
    return true;
}

void TForm1::previewInBrowser(const QString &browserName)
{
    if (!gSetupTools || browserName.isEmpty())
        return;
    QString file = previewFileName();
    if (TMemoSource *buffer = m_documents->currentBuffer()) {
        // Written again as the browser is chosen, so it gets the file it is
        // named and the text as it is, however the item was reached.
        QString error;
        file = writePreviewFile(buffer, &error);
        if (file.isEmpty()) {
            MessageService::error(this, error);
            return;
        }
    }
    gSetupTools->MenuItemClick(browserName, file);
}

void TForm1::rebuildPreviewInBrowser(const QList<TBrowserEntry> &browsers)
{
    m_previewInBrowser->clear();
    for (const TBrowserEntry &entry : browsers) {
        QAction *a = m_previewInBrowser->addAction(entry.Name);
        const QString name = entry.Name;
        connect(a, &QAction::triggered, this, [this, name] { previewInBrowser(name); });
    }
    // An empty menu never opens: it says where browsers are added instead.
    if (browsers.isEmpty()) {
        QAction *none = m_previewInBrowser->addAction(QLatin1String(kNoBrowsersText));
        none->setObjectName(QStringLiteral("NoBrowsers1"));
        none->setEnabled(false);
    }
}

void TForm1::connectBrowserPages()
{
    // The special character list closes from its own "X" button too.
    auto *close = new QToolButton(m_characterList);
    close->setObjectName(QStringLiteral("SpecialCharactersCloseButton"));
    close->setText(QStringLiteral("X"));
    close->setToolTip(QStringLiteral("Hide the special character list"));
    close->setAutoRaise(true);
    m_characterList->setCornerWidget(close, Qt::TopRightCorner);
    connect(close, &QToolButton::clicked, this, [this] { toggleViewOption("SpecialCharactersList1"); });

    connect(m_preview, &TBrowserPage::fullScreenClicked, this, &TForm1::toggleFullScreen);
    connect(m_documentation, &TBrowserPage::fullScreenClicked, this, &TForm1::toggleFullScreen);
    // Links followed in the sidebar's tag list open on the Documentation page.
    connect(m_tagListPage, &TBrowserPage::redirected, this, [this](const QUrl &url) {
        m_documentation->navigate(url);
        m_tabholder->setCurrentIndex(2);
    });
    connect(m_tabholder, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0 && m_documents->PagesOpen() > 0)
            m_memo->setFocus();
        else if (index == 1 && !m_switchingToPreviewByKey)
            refreshPreview();
    });
    connect(m_sidebar, &QTabWidget::currentChanged, this, [this] {
        const QString tagList = DataFolder::file(QStringLiteral("Help/TagList.Htm"));
        if (QFileInfo::exists(tagList)) {
            m_tagListPage->setHomePage(QUrl::fromLocalFile(tagList));
            m_tagListPage->navigate(QUrl::fromLocalFile(tagList));
        }
    });
}

void TForm1::previewByKey()
{
    if (m_tabholder->currentIndex() == 1)
        return;
    m_switchingToPreviewByKey = true;
    m_tabholder->setCurrentIndex(1);
    m_switchingToPreviewByKey = false;
    refreshPreview(true);
}

} // namespace Quorvant
