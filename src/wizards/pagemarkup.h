// The HTML of the page-wide dialogs that write one tag: margins and page
// transitions.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

QString marginsMarkup(int top, int left, int bottom, int right);

// "Page-Enter", "Page-Exit", "Site-Enter", "Site-Exit".
const QStringList &transitionEvents();
// "No Effect", "Blend", then the reveal effects in the order of their codes.
const QStringList &transitionEffects();
// The META tag for the effect, or empty for "No Effect", an empty or an
// unknown effect (nothing is written then).
QString transitionMarkup(const QString &event, int seconds, const QString &effect);

} // namespace Quorvant
