#include "tidycommands.h"

#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "mnuhtmltidy.h"
#include "mnuquickview.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "tidyconfig.h"
#include "tidymarks.h"
#include "tmemosource.h"
#include "tooltexts.h"

#include <Qsci/qsciscintillabase.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStatusBar>

namespace Quorvant {

TTidyCommands::TTidyCommands(TForm1 &form, const QString &tidyFolder, DebugOut debug)
    : QObject(&form)
    , m_form(form)
    , m_folder(tidyFolder)
    , m_debug(std::move(debug))
    , m_run(new TTidyRun(m_folder, this))
    , m_marks(new TTidyMarks(form.DCMemo1(), this))
{
    setObjectName(QStringLiteral("TidyCommands"));
    connect(m_run, &TTidyRun::finished, this, &TTidyCommands::onFinished);
    connect(form.documents(), &TDocumentSet::currentDocumentChanged, m_marks, &TTidyMarks::updateMargin);
}

TTidyCommands::~TTidyCommands() = default;

TMnuHTMLTidy *TTidyCommands::showSettings()
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return m_dialog;
    }
    auto *dialog = new TMnuHTMLTidy(m_folder, m_debug, &m_form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &TMnuHTMLTidy::runRequested, this, [this, dialog] {
        if (runTool(TidyCommand::FixAndFormat, dialog))
            dialog->accept();
    });
    m_dialog = dialog;
    dialog->open();
    return dialog;
}

bool TTidyCommands::ensureConfig()
{
    if (QFile::exists(m_folder.configPath()))
        return true;
    // A quick command before the settings were ever saved: start from the defaults.
    QStringList lines;
    if (!m_folder.readSettingsLines(&lines))
        lines.clear();
    const TTidyConfig config = TTidyConfig::fromLines(lines);
    QString error;
    if (!m_folder.ensureExists() || !config.save(m_folder.configPath(), &error)) {
        MessageService::error(&m_form, QStringLiteral("Error! Could not write %1 %2").arg(m_folder.configPath(), error));
        return false;
    }
    return true;
}

bool TTidyCommands::runTool(TidyCommand command, TMnuHTMLTidy *dialog)
{
    if (m_run->isRunning())
        return false;
    const QString tool = m_folder.toolPath();
    if (tool.isEmpty()) {
        MessageService::information(dialog ? static_cast<QWidget *>(dialog) : &m_form,
                                    QLatin1String(MsgTidyNotFound) + QDir::toNativeSeparators(m_folder.path())
                                        + QLatin1String(MsgTidyNotFoundPath));
        return false;
    }
    TMemoSource *buffer = m_form.documents()->currentBuffer();
    if (!buffer)
        return false;
    QWidget *parent = dialog ? static_cast<QWidget *>(dialog) : &m_form;
    if (dialog) {
        QString error;
        if (!dialog->WriteConfigFile(&error)) {
            MessageService::error(parent, QStringLiteral("Error! Could not write %1").arg(error));
            return false;
        }
    } else if (!ensureConfig()) {
        return false;
    }
    // The margin keeps its width until the new marks come: no relayout now.
    m_marks->clear(buffer, false);
    // The editor's own UTF-8 bytes: a big page is not copied into a QString first.
    const auto *bytes = reinterpret_cast<const char *>(buffer->sendToDocument(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    const qsizetype length = qsizetype(buffer->sendToDocument(QsciScintillaBase::SCI_GETLENGTH));
    QString error;
    if (!m_run->startUtf8(command, tool, QByteArrayView(bytes, length), &error, buffer->fileFormat().encoding)) {
        m_marks->updateMargin();
        MessageService::error(parent, QLatin1String(MsgTidyFailed) + error);
        return false;
    }
    m_target = buffer;
    m_targetEdited = false;
    // Changes made before the command are reported now, not counted as made during the run.
    m_form.DCMemo1()->widget()->flushChanges();
    m_editWatch = connect(buffer, &ITextBuffer::textChanged, this, [this] { m_targetEdited = true; });
    setRunning(true);
    return true;
}

void TTidyCommands::setRunning(bool running)
{
    for (const QPointer<QAction> &a : std::as_const(m_runActions))
        if (a)
            a->setEnabled(!running);
    if (running)
        m_form.StatusBar1()->showMessage(QStringLiteral("HTML Tidy is working on the page..."));
    else
        m_form.StatusBar1()->clearMessage();
}

void TTidyCommands::onFinished(const TTidyOutcome &outcome)
{
    setRunning(false);
    TMemoSource *buffer = m_target.data();
    m_target.clear();
    disconnect(m_editWatch);
    // The margin was left as it was while the tool ran.
    if (outcome.status != TTidyOutcome::Status::Finished || !buffer)
        m_marks->updateMargin();
    switch (outcome.status) {
    case TTidyOutcome::Status::TimedOut:
        MessageService::information(&m_form, QLatin1String(MsgTidyTimedOut));
        return;
    case TTidyOutcome::Status::FailedToStart:
        MessageService::error(&m_form, QLatin1String(MsgTidyFailed) + outcome.errorText);
        return;
    case TTidyOutcome::Status::Crashed:
        MessageService::error(&m_form, QLatin1String(MsgTidyCrashed));
        return;
    case TTidyOutcome::Status::Finished:
        break;
    }
    if (!buffer) {
        debugOut(m_debug, QStringLiteral("HTML Tidy: the document was closed before the tool ended"));
        return;
    }
    debugOut(m_debug, QStringLiteral("HTML Tidy ended with exit code %1, %2 report lines")
                          .arg(outcome.exitCode).arg(outcome.messages.size()));
    if (m_targetEdited) {
        MessageService::information(&m_form, QLatin1String(MsgTidyDocumentEdited));
        return;
    }
    m_marks->setMarks(buffer, outcome.messages);

    auto *viewer = new TMnuQuickView(&m_form);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowModality(Qt::ApplicationModal);
    // The run has read the report already.
    if (outcome.reportRead) {
        viewer->setText(outcome.report);
    } else {
        const QString output = outcome.toolOutput.trimmed();
        viewer->setText(output.isEmpty() ? QString::fromLatin1(MsgTidyReportMissing) : output);
    }
    viewer->Tidy = outcome.pageRead;
    viewer->setTidyPage(outcome.page);
    const QPointer<TMemoSource> target(buffer);
    const QString page = outcome.page;
    connect(viewer, &TMnuQuickView::tidyAnswered, this, [this, target, page](bool keep) {
        if (keep && target)
            keepResult(target, page);
    });
    viewer->open();
    Q_EMIT resultShown(viewer);
}

void TTidyCommands::keepResult(TMemoSource *buffer, const QString &page)
{
    m_marks->clear(buffer);
    buffer->setText(page);
    if (buffer == m_form.documents()->currentBuffer())
        m_form.documents()->markModified();
    else
        buffer->setModified(true);
    m_marks->updateMargin();
}

TMnuQuickView *TTidyCommands::viewClipboard()
{
    auto *viewer = new TMnuQuickView(&m_form);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowModality(Qt::ApplicationModal);
    viewer->LoadClipBoard();
    viewer->open();
    return viewer;
}

void TTidyCommands::gotoNextMark()
{
    const int line = m_marks->gotoNextMark();
    if (line < 0) {
        m_form.StatusBar1()->showMessage(QStringLiteral("No HTML Tidy marks in this document."), 3000);
        return;
    }
    const QStringList messages = m_marks->messagesAt(m_form.documents()->currentBuffer(), line);
    m_form.StatusBar1()->showMessage(messages.join(QLatin1String("; ")), 10000);
}

} // namespace Quorvant
