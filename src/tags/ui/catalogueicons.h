// The icons of the tag menus and bars: SVG pictures compiled into the
// program, drawn sharp at every size.
#pragma once

#include <QIcon>
#include <QString>

namespace Quorvant {

// The icon called name (":/quorvant/icons/<name>.svg"); a null icon when
// there is no such picture.
QIcon catalogueIcon(const QString &name);
bool catalogueIconExists(const QString &name);

} // namespace Quorvant
