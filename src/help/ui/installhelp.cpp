#include "installhelp.h"

#include "helpcommands.h"
#include "mainwindow.h"

namespace Quorvant {

void installHelp(TForm1 &form)
{
    auto *commands = new THelpCommands(form);
    commands->setObjectName(QStringLiteral("HelpCommands"));
    commands->buildTopicTree();
    commands->buildMenu();
    form.commands().add(QStringLiteral("SetupWebsite"), [commands] { commands->SetupWebsite(); });
}

} // namespace Quorvant
