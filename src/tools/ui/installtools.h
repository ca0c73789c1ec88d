// Adds the external tools to the main window: the HTML Tidy commands, the
// margin marks of its report, and the plug-ins of the "Plugins" menu.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

class TForm1;

void installTools(TForm1 &form);

// The folders plug-ins are loaded from, in order: the data folder's
// "PlugIn", the installed plug-in folder, and the build folder's when the
// program runs from the build tree.
QStringList pluginFolders();

} // namespace Quorvant
