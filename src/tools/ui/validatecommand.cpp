#include "validatecommand.h"

#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "mnuquickview.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tidymarks.h"
#include "tmemosource.h"

#include <QCoreApplication>
#include <QDir>
#include <QStatusBar>

namespace Quorvant {

TValidateCommand::TValidateCommand(TForm1 &form, TTidyMarks *marks)
    : QObject(&form)
    , m_form(form)
    , m_marks(marks)
    , m_run(new TVnuRun(this))
{
    setObjectName(QStringLiteral("ValidateCommand"));
    connect(m_run, &TVnuRun::finished, this, &TValidateCommand::onFinished);
}

QStringList TValidateCommand::defaultJarPaths()
{
    if (!QCoreApplication::instance())
        return {};
    return {QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' + QLatin1String(VnuJarBesideBuild))};
}

bool TValidateCommand::validate()
{
    if (m_run->isRunning())
        return false;
    TMemoSource *buffer = m_form.documents()->currentBuffer();
    if (!buffer)
        return false;
    const TVnuSetup setup = findVnu(gSetupTools ? gSetupTools->LoadValidatorJar() : QString(), defaultJarPaths());
    if (!setup.isComplete()) {
        MessageService::information(&m_form, QString::fromLatin1(MsgValidatorMissing));
        return false;
    }
    QString error;
    if (!m_run->start(setup, buffer->text().toUtf8(), &error)) {
        MessageService::error(&m_form, QLatin1String(MsgValidatorFailed) + error);
        return false;
    }
    m_target = buffer;
    m_targetEdited = false;
    m_editWatch = connect(buffer, &ITextBuffer::textChanged, this, [this] { m_targetEdited = true; });
    m_form.StatusBar1()->showMessage(QStringLiteral("The W3C checker is validating the page..."));
    return true;
}

void TValidateCommand::onFinished(const TVnuOutcome &outcome)
{
    m_form.StatusBar1()->clearMessage();
    TMemoSource *buffer = m_target.data();
    m_target.clear();
    disconnect(m_editWatch);
    switch (outcome.status) {
    case TVnuOutcome::Status::TimedOut:
        MessageService::information(&m_form, QString::fromLatin1(MsgValidatorTimedOut));
        return;
    case TVnuOutcome::Status::FailedToStart:
    case TVnuOutcome::Status::Crashed:
    case TVnuOutcome::Status::BadReport:
        MessageService::error(&m_form, QLatin1String(MsgValidatorFailed) + outcome.errorText);
        return;
    case TVnuOutcome::Status::Finished:
        break;
    }
    QString report = vnuReportText(outcome.messages);
    if (buffer && !m_targetEdited) {
        m_marks->setMarks(buffer, outcome.messages);
    } else if (buffer) {
        // The line numbers belong to the text as it was: no marks on the new one.
        report.prepend(QStringLiteral("The page was edited while it was checked: validate it again to mark its lines.\n\n"));
    }
    if (!m_report) {
        m_report = new TMnuQuickView(&m_form);
        m_report->setObjectName(QStringLiteral("ValidationReport"));
        m_report->setAttribute(Qt::WA_DeleteOnClose);
        m_report->setWindowTitle(QStringLiteral("Validate Page (W3C)"));
    }
    // Not modal: the report stays open beside the page while it is edited.
    m_report->setText(report);
    m_report->show();
    m_report->raise();
    Q_EMIT reportShown(m_report, outcome);
}

} // namespace Quorvant
