// Pieces every wizard dialog shares.
#pragma once

#include "markupstyle.h"
#include "messageservice.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace Quorvant {

class TForm1;

// The markup the wizards write, as the Options Menu sets it (Classic when
// the settings cannot be read).
MarkupStyle wizardMarkup();

// A "Help Me!" button that opens the help topic on the Documentation page.
QPushButton *helpMeButton(QWidget *parent, TForm1 &form, const QString &topic);

// The row under the larger wizards: "Done" (the default button: Enter in
// a one-line field is Done) and "Cancel", and with a topic a help button on
// the left (of another caption where one is given). Cancel rejects the dialog.
QHBoxLayout *doneCancelRow(QDialog *dialog, TForm1 &form, const std::function<void()> &onDone,
                           const QString &helpTopic = {}, const QString &helpCaption = {});

QLineEdit *named(QLineEdit *edit, const char *name);

// A caption for field: its buddy, so the caption names the field to a
// screen reader and its shortcut letter moves the focus there.
QLabel *fieldLabel(const QString &caption, QWidget *field);

// The box's text with the document's CR LF line ends (the box gives LF).
QString crLfText(const QPlainTextEdit *edit);

// A combo box whose text may be typed; it starts with nothing chosen,
// showing text.
QComboBox *editableChoice(QWidget *parent, const char *name, const QStringList &items, const QString &text = {});

// Keeps a wizard dialog within the screen: at most as large as the
// screen's available area, whatever its contents ask for.
void fitToScreen(QWidget *dialog);

// The most characters a list entry of user text shows in a combo box; a
// longer one is cut short with an ellipsis and shows in full as its tool tip.
inline constexpr int MaxShownEntryCharacters = 40;

// Fills the box (replacing its entries) with texts shown at most
// MaxShownEntryCharacters wide, each with its full text as tool tip and as
// item data (fullEntryText), and keeps the box itself that narrow.
void setElidedEntries(QComboBox *box, const QStringList &texts);
QString fullEntryText(const QComboBox *box, int index);

// The entry the user chose in the list, or empty. A list that takes the
// focus as its dialog opens gets a current row without any choice made:
// only a selected entry counts as chosen.
QString chosenEntry(const QListWidget *list);

// The field with a "..." button beside it, in one row.
QHBoxLayout *withBrowseButton(QLineEdit *field, const char *buttonName, const std::function<void()> &onClick);

// Asks for a file and puts its name, relative to the current document,
// into the field; a cancelled question leaves the field as it was.
void chooseFileInto(QLineEdit *field, QWidget *parent, const QString &title, const QString &folder,
                    const QList<FileFilter> &filters);

} // namespace Quorvant
