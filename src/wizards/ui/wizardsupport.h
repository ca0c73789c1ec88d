// Pieces every wizard dialog shares.
#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace Quorvant {

class TForm1;

// A "Help Me!" button that opens the help topic on the Documentation page.
QPushButton *helpMeButton(QWidget *parent, TForm1 &form, const QString &topic);

} // namespace Quorvant
