// The style's standard icons, shared by every button and menu item that
// shows one and made only when first drawn.
#pragma once

#include <QIcon>
#include <QStyle>

namespace Quorvant {

// The icon the application style draws for `which`. Nothing is loaded until
// the icon is first painted; the pictures are then made once per icon for
// the whole program, in the sizes the screens need (the style would load
// every size it has, up to 128 pixels, at each call).
QIcon standardIcon(QStyle::StandardPixmap which);

// A standard action's icon: the desktop icon theme's picture of that
// freedesktop name ("edit-cut"), else the fallback.
QIcon themeIcon(const QString &freedesktopName, const QIcon &fallback);
// The program's own picture of a standard action, by its freedesktop name
// (edit-cut, edit-copy, edit-paste, edit-find), for themes without one.
QIcon ownActionIcon(const QString &freedesktopName);

} // namespace Quorvant
