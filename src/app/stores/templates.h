// Page templates: one file per template in the "Templates" folder of the data
// folder, named "Vesk<number>.Tmp", holding the name, the caret column, the
// caret line and then the text, in CR LF lines. Created for one command and
// freed after it; it holds no state beyond the folder.
#pragma once

#include "debugout.h"
#include "editortypes.h"

#include <QList>
#include <QString>

#include <functional>

namespace Quorvant {

class IEditorView;

// One row of a templates list: the template's name (its first line) and file.
struct TTemplateEntry
{
    QString Name;
    QString FileName;  // full path
    friend bool operator==(const TTemplateEntry &, const TTemplateEntry &) = default;
};

struct TTemplateContent
{
    QString Name;
    CaretPoint Caret;
    QString Text;  // lines joined by CR LF, no line end after the last
};

enum class TSaveTemplateResult {
    Saved,
    NoView,
    EmptyName,     // show MsgTemplateNameEmpty (Save As Template)
    NameInUse,     // show MsgTemplateNameInUse(name) (Save As Template)
    CouldNotSave,  // show MsgCouldNotSaveTemplate
};

enum class TLoadTemplateResult {
    Loaded,
    NoView,
    NotFound,      // nothing is shown to the user
    CouldNotOpen,  // show MsgUnableToLoadTemplate
};

class TTemplates
{
public:
    // Ensures "Templates" exists below dataFolder.
    explicit TTemplates(const QString &dataFolder, DebugOut debugger = {});
    ~TTemplates();
    TTemplates(const TTemplates &) = delete;
    TTemplates &operator=(const TTemplates &) = delete;

    static inline const QString DefaultTemplateName = QStringLiteral("Default");

    QString MainDir() const { return m_mainDir; }  // with a trailing '/'
    QString templatesFolder() const;

    void CheckForTemplates();
    // "Vesk<0..999999>.Tmp", unused by any entry of the folder (letter case ignored).
    QString GenerateFileName();
    // The full path of the first template (in name order) whose name matches
    // without regard to letter case; empty when none does.
    QString GetFileNameFor(const QString &TemplateName) const;
    bool NameExists(const QString &TemplateName) const { return !GetFileNameFor(TemplateName).isEmpty(); }

    // Writes a new template file; the name is not checked for uniqueness.
    TSaveTemplateResult SaveTemplate(const QString &TemplateName, const QString &text, CaretPoint caret);
    TSaveTemplateResult SaveTemplate(IEditorView *DCMemo, const QString &TemplateName);
    // File > "Save As Template" once the name is asked: refuses an empty name
    // or one in use, else saves.
    TSaveTemplateResult SaveAsTemplate(const QString &TemplateName, const QString &text, CaretPoint caret);

    TLoadTemplateResult LoadTemplate(const QString &TemplateName, TTemplateContent *out) const;
    // Fills the view and sets its caret; the buffer's modified flag stays as it was.
    TLoadTemplateResult LoadTemplate(IEditorView *DCMemo, const QString &TemplateName) const;
    // "Default", for File > "&New Web Document"; NotFound means start empty.
    TLoadTemplateResult loadDefaultTemplate(TTemplateContent *out) const { return LoadTemplate(DefaultTemplateName, out); }

    // Refuses an empty name, "Default" and unknown names; false also when the
    // file cannot be removed.
    bool DeleteTemplate(const QString &TemplateName);

    // The rows of a templates list view, in name order.
    QList<TTemplateEntry> ShowAllInListView() const;

    // For tests: the draw behind GenerateFileName (0..999999).
    void setRandomSource(std::function<int()> draw) { m_draw = std::move(draw); }

private:
    QList<QString> templateFiles() const;

    DebugOut m_debug;
    QString m_mainDir;
    std::function<int()> m_draw;
};

} // namespace Quorvant
