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

} // namespace Quorvant
