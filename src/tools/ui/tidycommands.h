// The HTML Tidy commands of the main window: the settings dialog, the two
// quick commands and "View Current Clipboard". The tool runs in the
// background; its report is shown, marked in the editor's margin, and the
// user decides whether the tidied page replaces the document.
#pragma once

#include "debugout.h"
#include "tidyfolder.h"
#include "tidyrun.h"

#include <QObject>
#include <QPointer>

class QAction;

namespace Quorvant {

class TForm1;
class TMemoSource;
class TMnuHTMLTidy;
class TMnuQuickView;
class TTidyMarks;

class TTidyCommands : public QObject
{
    Q_OBJECT
public:
    TTidyCommands(TForm1 &form, const QString &tidyFolder, DebugOut debug);
    ~TTidyCommands() override;

    // "HTML Tidy - Fix and Format", "Check my html code...".
    TMnuHTMLTidy *showSettings();
    // The run button, "Apply source formatting" and "Convert to XML".
    // False when nothing was started (a message said why).
    bool runTool(TidyCommand command, TMnuHTMLTidy *dialog = nullptr);
    // "View Current Clipboard".
    TMnuQuickView *viewClipboard();
    // Jumps to the next margin mark of the current document.
    void gotoNextMark();

    TTidyRun *run() const { return m_run; }
    TTidyMarks *marks() const { return m_marks; }
    const TTidyFolder &folder() const { return m_folder; }
    // The actions disabled while the tool runs.
    void addRunAction(QAction *action) { m_runActions.append(action); }

Q_SIGNALS:
    // The viewer of a finished run is open (tests and benchmarks find it here).
    void resultShown(Quorvant::TMnuQuickView *viewer);

private:
    void onFinished(const TTidyOutcome &outcome);
    void setRunning(bool running);
    void keepResult(TMemoSource *buffer, const QString &page);
    [[nodiscard]] bool ensureConfig();

    TForm1 &m_form;
    TTidyFolder m_folder;
    DebugOut m_debug;
    TTidyRun *m_run;
    TTidyMarks *m_marks;
    QPointer<TMemoSource> m_target;
    // Set when the document is edited while the tool runs: its result and
    // line numbers no longer fit the text.
    bool m_targetEdited = false;
    QMetaObject::Connection m_editWatch;
    QPointer<TMnuHTMLTidy> m_dialog;
    QList<QPointer<QAction>> m_runActions;
};

} // namespace Quorvant
