// The main window's part in start-up and shutdown, templates, recent files
// and help.
#include "mainwindow.h"

#include "applicationshell.h"
#include "browserpage.h"
#include "datafolder.h"
#include "debugmenu.h"
#include "documentset.h"
#include "messageservice.h"
#include "optionsmenu.h"
#include "setuptools.h"
#include "startwindowtexts.h"
#include "taskmanager.h"
#include "tdcmemo.h"
#include "templates.h"
#include "templatesform.h"
#include "tmemosource.h"
#include "veskfilesystems.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QUrl>

namespace Quorvant {

using namespace StartWindowText;

void TForm1::setShell(TApplicationShell *shell)
{
    m_shell = shell;
}

DebugOut TForm1::debugTarget() const
{
    return (m_shell && m_shell->DebugMenu()) ? m_shell->DebugMenu()->target() : DebugOut();
}

void TForm1::FormShow()
{
    m_setupTools = std::make_unique<TSetupTools>(debugTarget(), this);
    gSetupTools = m_setupTools.get();
    TSystemSettings system;
    gSetupTools->LoadSystemSettings(&system);
    m_systemSettings = system;
    rebuildPreviewInBrowser(system.Browsers);
    if (m_shell)
        if (auto *options = qobject_cast<TOptionsMenu *>(m_shell->OptionsMenuIfBuilt()))
            options->fillSystemSettings(system);
    LoadAllViewSettings();
    LoadAllSecondaryOptions();

    const QString openDir = gSetupTools->LoadOpenDir();
    gDir.MainOpenDir = openDir;

    const QString welcome = DataFolder::file(QStringLiteral("Help/HTMLDocs/WelcomePage.Htm"));
    if (QFileInfo::exists(welcome))
        m_documentation->navigate(QUrl::fromLocalFile(welcome));

    // The document table starts empty; the initial buffer is coloured as HTML.
    gCloseCurrentDocument = false;
    LoadDefaultParser();
}

void TForm1::LoadDefaultParser()
{
    if (!gSetupTools)
        return;
    const int stored = gSetupTools->LoadParserNumber();
    if (stored == -1) {
        chooseSyntaxMode(SyntaxParser::HTML);
        return;
    }
    if (stored >= 0 && stored < SyntaxParserCount)
        chooseSyntaxMode(SyntaxParser(stored));
    debugOut(debugTarget(), QStringLiteral("Loaded Default Parser: %1").arg(stored));
}

void TForm1::chooseSyntaxMode(SyntaxParser parser)
{
    if (gSetupTools)
        gSetupTools->SaveParserNumber(int(parser));
    applySyntaxMode(parser);
}

void TForm1::freeLongLivedObjects()
{
    if (gSetupTools == m_setupTools.get())
        gSetupTools = nullptr;
    m_setupTools.reset();
}

void TForm1::FormClose()
{
    if (gSetupTools)
        gSetupTools->SaveOpenDir(gDir.MainOpenDir);
    gClosingNow = true;
    if (m_shell && m_shell->TaskManager())
        m_shell->TaskManager()->close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_documents->closeAll()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising the main window minimises the whole program.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != this && w->isVisible() && w->isWindow() && !w->isMinimized())
                w->showMinimized();
        }
    }
}

void TForm1::bindRecentFiles(TRecentFiles *recent)
{
    m_recent = recent;
    m_reopenMenu->setToolTipsVisible(true);
    auto rebuild = [this] {
        m_reopenMenu->clear();
        if (!m_recent)
            return;
        for (const QString &path : m_recent->shownEntries()) {
            QAction *a = m_reopenMenu->addAction(TRecentFiles::menuCaption(path));
            a->setData(path);
            a->setToolTip(path);
            connect(a, &QAction::triggered, this, [this, path] {
                if (TRecentFiles::MenuItemClick(path) == TRecentFileCheck::NotFound)
                    MessageService::show(this, MsgFileNotFound(path), MessageIcon::Information);
                else
                    m_documents->openOrShow(path);
            });
        }
    };
    connect(recent, &TRecentFiles::changed, this, rebuild);
    connect(recent, &QObject::destroyed, this, [this] {
        m_recent = nullptr;
        m_reopenMenu->clear();
    });
    rebuild();
}

void TForm1::loadTemplateIntoEditor(const QString &name)
{
    TTemplates templates(DataFolder::path(), debugTarget());
    if (templates.LoadTemplate(m_memo, name) == TLoadTemplateResult::CouldNotOpen)
        MessageService::error(this, MsgUnableToLoadTemplate);
}

QString TForm1::defaultTemplateText(CaretPoint *caret) const
{
    TTemplates templates(DataFolder::path(), debugTarget());
    TTemplateContent content;
    if (templates.loadDefaultTemplate(&content) != TLoadTemplateResult::Loaded)
        return {};
    *caret = content.Caret;
    return content.Text;
}

void TForm1::ShowHelpFile(const QString &topic)
{
    QString page = topic.compare(QLatin1String("MAIN"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("Help/index.htm")
                       : QStringLiteral("Help/") + topic;
    // The dialogs name their topic page alone; the topic pages live in HTMLDocs.
    if (!QFileInfo::exists(DataFolder::file(page))
        && QFileInfo::exists(DataFolder::file(QStringLiteral("Help/HTMLDocs/") + topic)))
        page = QStringLiteral("Help/HTMLDocs/") + topic;
    m_documentation->navigate(QUrl::fromLocalFile(DataFolder::file(page)));
    m_tabholder->setCurrentIndex(2);
}

void TForm1::FromTemplate1Click()
{
    auto *form = new TTemplatesForm(this);
    form->show();
}

void TForm1::SaveAsTemplate1Click()
{
    TMemoSource *buffer = m_documents->currentBuffer();
    if (!buffer)
        return;
    QString name;
    if (!MessageService::getText(this, SaveAsTemplateTitle, SaveAsTemplatePrompt, &name))
        name.clear();
    TTemplates templates(DataFolder::path(), debugTarget());
    switch (templates.SaveAsTemplate(name, buffer->text(), buffer->caretPoint())) {
    case TSaveTemplateResult::EmptyName:
        MessageService::error(this, MsgTemplateNameEmpty);
        break;
    case TSaveTemplateResult::NameInUse:
        MessageService::information(this, MsgTemplateNameInUse(name));
        break;
    case TSaveTemplateResult::CouldNotSave:
        MessageService::error(this, MsgCouldNotSaveTemplate);
        break;
    case TSaveTemplateResult::Saved:
        MessageService::information(this, MsgTemplateSaved);
        break;
    case TSaveTemplateResult::NoView:
        break;
    }
}

void TForm1::ReOpenTaskManager1Click()
{
    if (m_shell)
        m_shell->showTaskManager();
}

void TForm1::EditorPreferences1Click()
{
    if (m_shell && m_shell->OptionsMenu()) {
        m_shell->OptionsMenu()->show();
        m_shell->OptionsMenu()->raise();
        m_shell->OptionsMenu()->activateWindow();
    }
}

void TForm1::ResetEditorSettingsToDefault1Click()
{
    const MessageButton answer = MessageService::show(
        this, QStringLiteral("Are you sure you want to reset all of the settings of Quorvant to their defaults on install?."),
        MessageIcon::Information, YesNo);
    if (answer != mbYes)
        return;
    const QString file = DataFolder::file(QStringLiteral("Main.Ini"));
    if (QFile::remove(file))
        MessageService::information(this, QStringLiteral("Please reload Quorvant for the changes to take effect."));
    else
        MessageService::information(this, QStringLiteral("Error!, Unable to reset to editor defaults."));
}

void TForm1::InternalDebugger1Click()
{
    if (m_shell && m_shell->DebugMenu()) {
        m_shell->DebugMenu()->show();
        m_shell->DebugMenu()->raise();
        m_shell->DebugMenu()->activateWindow();
    }
}

} // namespace Quorvant
