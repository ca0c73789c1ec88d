// The check every name typed by the user passes before it is sent to the
// server: a name the server would refuse, or one that could pass itself off
// as something else, is stopped here with the reason.
#pragma once

#include "wiretext.h"

#include <QString>

class QWidget;

namespace Quorvant::Network {

// True when `name` may be sent as a name of that kind; otherwise a message
// says which name cannot be used and why, and nothing should be sent.
bool acceptName(QWidget *parent, const QString &name, NameKind kind);

} // namespace Quorvant::Network
