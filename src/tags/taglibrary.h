// The user's tag library: tag lists, one "*.tag" file each in the "Tags"
// folder of the data folder. Line 1 is the list's title; every further line
// is one tag of six comma-separated fields (title, description, category,
// start, end, extended). Everything is read from and written to the files
// directly, so a reloaded list always shows what the file holds.
#pragma once

#include "debugout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

// Messages of the tag library commands and the tag editor.
inline constexpr char MsgSelectBeforeEdit[] = "You must select before you can edit it.";
inline constexpr char MsgSelectBeforeDelete[] = "You must select before you can delete it.";
inline constexpr char MsgConfirmDeleteTag[] = "Are you sure you want to delete the selected tag?";
inline constexpr char MsgTagSaved[] = "The tag you entered has been saved.";
inline constexpr char MsgUnableToSaveTag[] = "Error! Unable to save tag";
inline constexpr char MsgTagCouldNotBeSaved[] = "Error! the tag could not be saved!";
inline constexpr char MsgTagRemoved[] = "The tag you selected has been removed.";
inline constexpr char MsgTagCouldNotBeRemoved[] = "Error! The tag you selected could not be removed.";
// A comma would split the field when the file is read back.
inline constexpr char MsgTagFieldHasComma[] =
    "A tag cannot contain a comma: the tag list file separates its fields with commas, so the tag would "
    "read back cut apart. Remove the comma (inside an attribute value you can write &#44; instead) and "
    "press Done again.";

// Texts of the tag editor dialog ("Edit Tag...").
inline constexpr char TagEditorCaption[] = "Edit Tag...";
inline constexpr char TagEditorHeading[] = "Edit a tag in the selected tag list:";
// The suggested values of the dialog's "Tag Category:" box, in order.
QStringList TagCategories();

// Handed between the tag library and the tag editor dialog.
struct TEditTagData
{
    bool Editing = false;  // true: edit the selected tag; false: add a new one
    QString TagTitle;
    QString TagStart;
    QString TagEnd;
    QString ExtendedTag;
    QString TagDescription;
    QString Category;
    friend bool operator==(const TEditTagData &, const TEditTagData &) = default;
};
extern TEditTagData gEditTagData;
void resetTagLibraryGlobals();

// One row of "Tag List": a readable "*.tag" file's first line and full path.
struct TTagListEntry
{
    QString Caption;
    QString Path;
    friend bool operator==(const TTagListEntry &, const TTagListEntry &) = default;
};

// One tag of a list, fields 3 to 5 without one enclosing pair of double
// quotes. "N/A" in the last three means that part is absent.
struct TTagRow
{
    QString TagTitle;
    QString Description;
    QString Category;
    QString StartTag;
    QString EndTag;
    QString ExtendedTag;
    friend bool operator==(const TTagRow &, const TTagRow &) = default;
};

// The "Tags" folder below dataFolder (found without regard to letter case).
QString tagsFolder(const QString &dataFolder);

// Every "*.tag" file of the "Tags" folder that can be read, by name; empty
// when the folder does not exist.
QList<TTagListEntry> LoadTagLists(const QString &dataFolder, const DebugOut &debugger = {});

// Cuts one tag line; a line shorter than two characters gives empty fields.
TTagRow parseTagLine(const QString &line);
// The tags of a list file (every line after the first). Returns false and
// leaves *rows unchanged when the file cannot be read.
[[nodiscard]] bool loadtags(const QString &filename, QList<TTagRow> *rows);

// The first field holding a comma or a line break, which the file cannot
// store whole (-1 when every field can be stored): order title,
// description, category, start, end, extended.
int unstorableTagField(const QStringList &fields);

// Appends a tag line. False when the file does not exist, a field cannot be
// stored whole, or the file cannot be written.
[[nodiscard]] bool AddTag(const QString &FileName, const QString &Tag, const QString &Description,
                          const QString &Category, const QString &StartTag, const QString &EndTag,
                          const QString &ExtendedTag, const DebugOut &debugger = {});
// Replaces tag TagNumber (0-based among the tags; the title line is never
// touched). The file is rewritten even when there is no such tag; the result
// is true only when the tag existed and the file was written.
[[nodiscard]] bool EditTags(int TagNumber, const QString &FileName, const QString &Tag, const QString &Description,
                            const QString &Category, const QString &StartTag, const QString &EndTag,
                            const QString &ExtendedTag, const DebugOut &debugger = {});
// Removes tag TagNumber (0-based among the tags). True when the file was
// rewritten, also when there was no such tag.
[[nodiscard]] bool DeleteTag(int TagNumber, const QString &FileName, const DebugOut &debugger = {});

// What the window does after a tag library command: the message to show
// (empty for none) with its icon, and the list file to reload (empty for
// none).
enum class TTagMessageIcon { Information, Warning, Error };
struct TTagCommandOutcome
{
    QString Message;
    TTagMessageIcon Icon = TTagMessageIcon::Information;
    QString ReloadPath;
    bool CloseDialog = true;  // for the tag editor's "Done"
};

// "Done" of the tag editor: listPath is the selected list's file (empty when
// none), tagIndex the selected tag (-1 when none). A field with a comma is
// refused with MsgTagFieldHasComma and the dialog stays open.
TTagCommandOutcome SaveFromTagEditor(const TEditTagData &data, const QString &listPath, int tagIndex,
                                     const DebugOut &debugger = {});
// "Delete Tag" once the user answered Yes to MsgConfirmDeleteTag; without a
// selected tag the caller shows MsgSelectBeforeDelete instead of asking.
TTagCommandOutcome DeleteSelectedTag(const QString &listPath, int tagIndex, const DebugOut &debugger = {});

} // namespace Quorvant
