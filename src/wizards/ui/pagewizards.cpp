#include "pagewizards.h"

#include "mainwindow.h"
#include "smallwizarddialog.h"
#include "theadingsmenu.h"
#include "thrmenu.h"
#include "tmnucomment.h"
#include "tmnufont.h"
#include "tmnugototarget.h"
#include "tmnuinserttarget.h"
#include "tmnujavaapplet.h"
#include "tmnulistinsert.h"
#include "tmnumargins.h"
#include "tmnuopeninnewwindow.h"
#include "tmnupagetransitions.h"
#include "tmnuproperties.h"
#include "tmnusound.h"

#include <QAction>
#include <QMenu>

namespace Quorvant {

namespace {

template<class D>
void addDialog(TForm1 &form, const char *id)
{
    form.commands().add(QLatin1String(id), [&form] { TSmallWizardDialog::openFor<D>(form); });
}

// A menu item that runs a command id, as the bars' buttons do.
void addMenuItem(TForm1 &form, const char *menu, const char *objectName, const QString &caption, const char *id)
{
    QMenu *m = form.menu(QLatin1String(menu));
    if (!m)
        return;
    QAction *a = m->addAction(caption);
    a->setObjectName(QLatin1String(objectName));
    const QString command = QLatin1String(id);
    QObject::connect(a, &QAction::triggered, &form, [&form, command] { form.commands().run(command); });
}

} // namespace

void installPageWizards(TForm1 &form)
{
    addDialog<Tmnufont>(form, "FontWizard");
    addDialog<THRMenu>(form, "RuleWizard");
    addDialog<TMnuListInsert>(form, "ListWizard");
    addDialog<TMnuComment>(form, "CommentWizard");
    addDialog<TMnuProperties>(form, "DocumentProperties");
    addDialog<TMnuMargins>(form, "PageMargins");
    addDialog<TMnuPageTransitions>(form, "PageTransitions");
    addDialog<TMnuSound>(form, "SoundWizard");
    addDialog<TMnuJavaApplet>(form, "JavaApplet");
    addDialog<TMnuOpenInNewWindow>(form, "OpenInNewWindow");
    addDialog<TMnuInsertTarget>(form, "InsertTarget");
    addDialog<TMnuGotoTarget>(form, "GotoTarget");
    form.commands().add(QStringLiteral("HeadingsPicker"), [&form] {
        if (hasCurrentDocument(form))
            Theadingsmenu::popUp(form);
    });

    addMenuItem(form, "Insert1", "HorizontalRule1", QStringLiteral("Horizontal Rule"), "RuleWizard");
    addMenuItem(form, "Insert1", "List1", QStringLiteral("List..."), "ListWizard");
    addMenuItem(form, "Insert1", "Comment1", QStringLiteral("Comment..."), "CommentWizard");
    addMenuItem(form, "Insert1", "JavaApplet1", QStringLiteral("Java Applet..."), "JavaApplet");
    addMenuItem(form, "Insert1", "ExtendedCharacterSymbols1", QStringLiteral("Extended Character Symbols"),
                "toggleCharacterList");
    addMenuItem(form, "Format1", "Font1", QStringLiteral("Font"), "FontWizard");
    addMenuItem(form, "Format1", "DocumentProperties1", QStringLiteral("Document Properties"), "DocumentProperties");
    addMenuItem(form, "Format1", "Margins1", QStringLiteral("Margins"), "PageMargins");
    addMenuItem(form, "Format1", "PageTransitions1", QStringLiteral("Page Transitions"), "PageTransitions");
}

} // namespace Quorvant
