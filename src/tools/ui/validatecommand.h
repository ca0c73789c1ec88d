// Tools > "Validate Page (W3C)": checks the current document's unsaved text
// with the W3C Nu Html Checker in the background, lists the checker's
// messages in a report window and marks their lines in the margin with the
// HTML Tidy marks (so "Next HTML Tidy Mark" visits them).
#pragma once

#include "w3cvalidator.h"

#include <QObject>
#include <QPointer>

namespace Quorvant {

class TForm1;
class TMemoSource;
class TMnuQuickView;
class TTidyMarks;

class TValidateCommand : public QObject
{
    Q_OBJECT
public:
    TValidateCommand(TForm1 &form, TTidyMarks *marks);

    // False when nothing was started (a message said why).
    bool validate();
    TVnuRun *run() const { return m_run; }

    // Where the checker is looked for after the environment variable and
    // Main.INI: the folder scripts/dev installs it into.
    static QStringList defaultJarPaths();

Q_SIGNALS:
    // The report of a finished check is shown (tests and benchmarks find it here).
    void reportShown(Quorvant::TMnuQuickView *report, const Quorvant::TVnuOutcome &outcome);

private:
    void onFinished(const TVnuOutcome &outcome);

    TForm1 &m_form;
    TTidyMarks *m_marks;
    TVnuRun *m_run;
    QPointer<TMemoSource> m_target;
    bool m_targetEdited = false;
    QMetaObject::Connection m_editWatch;
    QPointer<TMnuQuickView> m_report;
};

} // namespace Quorvant
