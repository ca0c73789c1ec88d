#include "installspelling.h"

#include "mainwindow.h"
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
        auto *button = new QAction(form.style()->standardIcon(QStyle::SP_DialogYesButton), QStringLiteral("Spell Check"), &form);
        button->setObjectName(QStringLiteral("ToolbarButton979"));
        button->setToolTip(QStringLiteral("Spell Check"));
        bar->addAction(button);
        QObject::connect(button, &QAction::triggered, commands, &TSpellingCommands::CheckSpelling);
    }
}

} // namespace Quorvant
