// Pages nobody opens should cost nothing at start: their contents are built
// the first time they are about to be shown.
#pragma once

#include <functional>

class QWidget;

namespace Quorvant {

// Runs build once, when page is first shown (inside its show, before it
// paints). A page that shows with its window (it is not hidden below the
// window: the current page of shown tab controls) is built at once.
void buildOnFirstShow(QWidget *page, std::function<void()> build);

// Runs a build still waiting for page now, for commands and tests that need
// the contents of a page that was never shown.
void ensureBuilt(QWidget *page);

// Runs every build still waiting in root or below it, and those the builds
// add, for whatever needs all of a window's contents (automation).
void ensureBuiltBelow(QWidget *root);

// Whether page has no build waiting.
bool isBuilt(const QWidget *page);

// Whether w is shown whenever its window is: no widget from w up to (not
// including) its window is hidden. A widget a toolbar holds counts as shown
// while its toolbar action is visible, since the toolbar shows it when laid out.
bool shownWithWindow(const QWidget *w);

} // namespace Quorvant
