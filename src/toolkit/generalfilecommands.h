// Text-file imports into the current document: as it is, or converted to
// HTML lines. Create one instance per command and let it go afterwards.
#pragma once

#include "markupstyle.h"
#include "debugout.h"
#include "textbuffer.h"

#include <QString>

namespace Quorvant {

// The text-file chooser of both import commands; cancelling ends the command.
inline constexpr char ImportTextFileDialogTitle[] = "Please choose the text file to import.";
inline constexpr char AllFilesFilterName[] = "All Files";
inline constexpr char AllFilesFilterPatterns[] = "*.*";
inline constexpr char TextFilesFilterName[] = "Text Files";
inline constexpr char TextFilesFilterPatterns[] = "*.txt;*.text";

// "Convert Text File -> HTML Document" asks this after the chooser
// (information icon, Yes and No). Yes: create a new page and pass
// IncludeMajorHtml true; No: false, into the current document.
inline constexpr char OpenAsNewPageQuestion[] = "Do you want to open this document as a new page?";

// Diagnostic lines.
inline constexpr char ImportFileMissingLine[] = "Error: TGeneralFileCommands: ImportTextFile: \"File does not exist\"";
inline constexpr char ImportFileUnreadableLine[] = "Error: TGeneralFileCommands: ImportTextFile: \"File could not be read\"";
inline constexpr char ConvertFileInvalidLine[] = "Error: TGeneralFileCommands: ConvertTextFileToHTML: Filename Invalid!";

class TGeneralFileCommands
{
public:
    explicit TGeneralFileCommands(Quorvant::DebugOut Debugger = {});

    // Inserts the file's lines, each ending with CR LF, with ptext. A file
    // that cannot be read gives one diagnostic line and inserts nothing.
    void ImportTextFile(ITextBuffer *buffer, const QString &Filename);

    // Inserts the file's lines with "<BR>" after each; with IncludeMajorHtml
    // indented inside an HTML/HEAD/BODY skeleton whose closing lines become
    // ptext's end text. Returns false (one diagnostic line, nothing
    // inserted) when the file cannot be read. In HTML5 the text is escaped
    // (elementText), lines end in "<br>", and the skeleton is an HTML5 page
    // titled with the file's name, in the language of the user's locale.
    bool ConvertTextFileToHTML(ITextBuffer *buffer, const QString &Filename, bool IncludeMajorHtml,
                               MarkupStyle style = MarkupStyle::Classic);

    void DebugOut(const QString &S) const;

    // The file's text (UTF-8 when valid, else Windows-1252); false when it
    // cannot be read.
    [[nodiscard]] static bool readTextFile(const QString &Filename, QString *text);

private:
    Quorvant::DebugOut m_debugMemo;
};

} // namespace Quorvant
