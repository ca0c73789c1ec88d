// The tags' part of the main window: the catalogue's menus, bars and
// buttons, the tag library page, Tag Insight with the Tag Inspector grid,
// and tag help.
#pragma once

namespace Quorvant {

class TForm1;

// Installs everything below, in the order the windows need.
void installTags(TForm1 &form);

// The tag menus, bars and buttons, built from the catalogue of fixed insertions.
void installCatalogue(TForm1 &form);
// The sidebar's tag library page with its lists, pop-up menu and tag editor.
void installTagLibraryPage(TForm1 &form);
// Tag Insight, tag completion and the Tag Inspector grid.
void installTagInsight(TForm1 &form);
// The editor's entity keys (Ctrl+Enter, Ctrl+Insert).
void installTagHelpCommands(TForm1 &form);

// Ctrl+Space: the Insight list for the caret.
void runTagInsight(TForm1 &form);
// F1: the help page of the selection or of the tag at the caret.
void showTagHelpForCurrent(TForm1 &form);

} // namespace Quorvant
