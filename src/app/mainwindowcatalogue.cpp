// The tag menus, bars and buttons of the main window, built from the catalogue.
#include "mainwindow.h"

#include "cataloguebuilder.h"
#include "documentset.h"
#include "scintillawidget.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolBar>
#include <QtDebug>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

namespace Quorvant {

void TForm1::installCatalogue()
{
    auto *builder = new TCatalogueBuilder(this);
    builder->setObjectName(QStringLiteral("CatalogueBuilder"));
    builder->addRegion(QStringLiteral("Tags1"), menu(QStringLiteral("Tags1")));
    builder->addRegion(QStringLiteral("EditorPopup"), m_editorMenu);
    builder->addRegion(QStringLiteral("BigButtonBar"), m_largeButtonBar);
    builder->addRegion(QStringLiteral("ControlBar"), m_controlBar);
    builder->addRegion(QStringLiteral("PureTagBars"), m_pureTagBars);
    builder->addRegion(QStringLiteral("SpecialCharacterList"), m_characterList);

    builder->setInsertHandler([this](const QString &start, const QString &end) {
        TMemoSource *buffer = m_documents->currentBuffer();
        if (!buffer)
            return;
        ptext(buffer, start, end);
        m_memo->setFocus();
    });
    // Wizard and dialog buttons are shown with their captions and hints; each
    // wizard connects here by its id as it arrives.
    builder->setWizardHandler([](const QString &) {});
    builder->setCommandHandler([this](const QString &id) {
        QAction *view = action(QStringLiteral("SpecialCharactersList1"));
        if (id == QLatin1String("toggleCharacterList")) {
            // Shown or hidden for now only: the View menu item is the one that stores the state.
            const bool show = m_characterList->isHidden();
            m_characterList->setVisible(show);
            if (view) {
                const QSignalBlocker quiet(view);
                view->setChecked(show);
            }
        } else if (id == QLatin1String("closeCharacterList")) {
            if (view)
                view->trigger();
            else
                m_characterList->hide();
        }
    });

    const TCatalogue catalogue = loadCatalogue();
    QStringList problems = catalogue.errors;
    problems += builder->build(catalogue);

    // The menus' shortcuts win over the editor's own key bindings (Ctrl+U
    // would otherwise turn the selection to lower case).
    QsciCommandSet *editorKeys = m_memo->widget()->standardCommands();
    for (const TCatalogueEntry &e : catalogue.entries) {
        if (e.kind != CatalogueKind::Insert || e.key.isEmpty())
            continue;
        const int key = QKeySequence::fromString(e.key, QKeySequence::PortableText)[0].toCombined();
        if (QsciCommand *bound = editorKeys->boundTo(key)) {
            if (bound->key() == key)
                bound->setKey(0);
            if (bound->alternateKey() == key)
                bound->setAlternateKey(0);
        }
    }
    for (const QString &p : std::as_const(problems))
        qWarning("catalogue: %s", qUtf8Printable(p));
}

} // namespace Quorvant
