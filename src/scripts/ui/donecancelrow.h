// The "Done" and "Cancel" buttons at the foot of the scripts dialogs.
#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;

namespace Quorvant {

// Adds the row to layout with Cancel rejecting dialog; answers the Done
// button (the default, taking Enter) for the dialog to connect.
QPushButton *addDoneCancelRow(QDialog *dialog, QBoxLayout *layout);

} // namespace Quorvant
