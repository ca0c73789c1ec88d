// The tag menus, bars and buttons of the main window, built from the catalogue.
#include "installtags.h"

#include "mainwindow.h"

#include "cataloguebuilder.h"
#include "documentset.h"
#include "scintillawidget.h"
#include "settingsglobals.h"
#include "setuptools.h"
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

namespace {

void registerCharacterListCommands(TForm1 &form)
{
    form.commands().add(QStringLiteral("toggleCharacterList"), [&form] {
        // Shown or hidden for now only: the View menu item is the one that stores the state.
        QTabWidget *list = form.characterList();
        const bool show = list->isHidden();
        list->setVisible(show);
        if (QAction *view = form.action(QStringLiteral("SpecialCharactersList1"))) {
            const QSignalBlocker quiet(view);
            view->setChecked(show);
        }
    });
    form.commands().add(QStringLiteral("closeCharacterList"), [&form] {
        if (QAction *view = form.action(QStringLiteral("SpecialCharactersList1")))
            view->trigger();
        else
            form.characterList()->hide();
    });
}

} // namespace

void installTags(TForm1 &form)
{
    installTagHelpCommands(form);
    installTagLibraryPage(form);
    installTagInsight(form);
    installCatalogue(form);
    form.commands().add(QLatin1String(KeyCommandF1), [&form] { showTagHelpForCurrent(form); });
    form.commands().add(QLatin1String(KeyCommandCtrlSpace), [&form] { runTagInsight(form); });
}

void installCatalogue(TForm1 &form)
{
    auto *builder = new TCatalogueBuilder(&form);
    builder->setObjectName(QStringLiteral("CatalogueBuilder"));
    builder->addRegion(QStringLiteral("Tags1"), form.menu(QStringLiteral("Tags1")));
    builder->addRegion(QStringLiteral("EditorPopup"), form.editorMenu());
    builder->addRegion(QStringLiteral("BigButtonBar"), form.largeButtonBar());
    builder->addRegion(QStringLiteral("ControlBar"), form.controlBar());
    builder->addRegion(QStringLiteral("PureTagBars"), form.pureTagBars());
    builder->addRegion(QStringLiteral("SpecialCharacterList"), form.characterList());

    builder->setInsertHandler([&form](const QString &start, const QString &end) {
        TMemoSource *buffer = form.documents()->currentBuffer();
        if (!buffer)
            return;
        ptext(buffer, start, end);
        form.DCMemo1()->setFocus();
    });
    // Wizard and command buttons run whatever part of the program offers their id.
    builder->setWizardHandler([&form](const QString &id) { form.commands().run(id); });
    builder->setCommandHandler([&form](const QString &id) { form.commands().run(id); });
    registerCharacterListCommands(form);

    builder->setMarkupSource([] { return gSetupTools ? gSetupTools->LoadWizardMarkup() : MarkupStyle::Classic; });
    TCatalogue catalogue = loadCatalogue();
    loadHtml5Steps(&catalogue);
    QStringList problems = catalogue.errors;
    problems += builder->build(catalogue);

    // The menus' shortcuts win over the editor's own key bindings (Ctrl+U
    // would otherwise turn the selection to lower case).
    QsciCommandSet *editorKeys = form.DCMemo1()->widget()->standardCommands();
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
