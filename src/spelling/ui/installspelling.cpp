#include "installspelling.h"

#include "datafolder.h"
#include "documentset.h"
#include "standardicons.h"
#include "inifile.h"
#include "mainwindow.h"
#include "setuptools.h"
#include "spellunderliner.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "spellingcommands.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolBar>

namespace Quorvant {

void installSpelling(TForm1 &form)
{
    auto *commands = new TSpellingCommands(form);
    commands->setObjectName(QStringLiteral("SpellingCommands"));
    QMenu *tools = form.menu(QStringLiteral("Tools1"));
    tools->addSeparator();
    auto *check = new QAction(QStringLiteral("Check Spelling"), &form);
    check->setObjectName(QStringLiteral("CheckSpelling1"));
    check->setShortcut(QKeySequence(Qt::Key_F7));
    tools->addAction(check);
    QObject::connect(check, &QAction::triggered, commands, &TSpellingCommands::CheckSpelling);
    auto *thesaurus = new QAction(QStringLiteral("Theasurus Lookup..."), &form);
    thesaurus->setObjectName(QStringLiteral("TheasurusLookup1"));
    thesaurus->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
    tools->addAction(thesaurus);
    QObject::connect(thesaurus, &QAction::triggered, commands, &TSpellingCommands::TheasurusLookup1Click);

    if (auto *bar = form.findChild<QToolBar *>(QStringLiteral("StandardToolbar"))) {
        auto *button = new QAction(themeIcon(QStringLiteral("tools-check-spelling"), standardIcon(QStyle::SP_DialogYesButton)),
                                   QStringLiteral("Spell Check"), &form);
        button->setObjectName(QStringLiteral("ToolbarButton979"));
        button->setToolTip(QStringLiteral("Spell Check"));
        bar->addAction(button);
        QObject::connect(button, &QAction::triggered, commands, &TSpellingCommands::CheckSpelling);
    }

    // Underlining while typing: off until the user turns it on; kept in Main.INI.
    if (ScintillaWidget *editor = form.DCMemo1()->widget()) {
        auto *underliner = new TSpellUnderliner(editor, DataFolder::path(), &form);
        underliner->setObjectName(QStringLiteral("SpellUnderliner"));
        auto *option = new QAction(QStringLiteral("Underline Misspelled Words"), &form);
        option->setObjectName(QStringLiteral("UnderlineMisspelledWords1"));
        option->setCheckable(true);
        if (QMenu *options = form.menu(QStringLiteral("Options1")))
            options->addAction(option);
        const bool on = IniFile(TSetupTools::mainIniPath()).readBool(QStringLiteral("Spelling"), QStringLiteral("UnderlineAsYouType"), false);
        option->setChecked(on);
        underliner->setEnabled(on);
        QObject::connect(option, &QAction::toggled, underliner, [underliner](bool enabled) {
            underliner->setEnabled(enabled);
            IniFile ini(TSetupTools::mainIniPath());
            (void)ini.writeBool(QStringLiteral("Spelling"), QStringLiteral("UnderlineAsYouType"), enabled);
        });
        QObject::connect(form.documents(), &TDocumentSet::currentDocumentChanged, underliner, &TSpellUnderliner::schedule);
        QObject::connect(commands, &TSpellingCommands::checkEnded, underliner, &TSpellUnderliner::reloadWords);
    }
}

} // namespace Quorvant
