// The texts the start window, the "Active Templates" window and the template
// commands show: message boxes, input box, captions and commands.
#pragma once

#include <QString>

namespace Quorvant::StartWindowText {

// Recent files.
inline const QString MsgRecentMenuItemInvalid = QStringLiteral("Fatal Error: Recent Files Menu Item Pointer Is Invalid!");
// Error box of File > "Re-open..." > a path that no longer exists.
inline QString MsgFileNotFound(const QString &path)
{
    return QStringLiteral("Error: File Not Found: \"") + path + u'"';
}
// Information box of a "Most Recent" row whose file no longer exists.
inline const QString MsgUnableToOpenRecentFile = QStringLiteral(
    "Error! Unable to open recent file. The file you are looking for may have been moved or recently deleted...");

// Templates.
inline const QString MsgCouldNotSaveTemplate = QStringLiteral("An Error Occurred: TTemplates: SaveTemplate: Could Not Save Template File");
inline const QString MsgUnableToLoadTemplate = QStringLiteral("Error: Unable to load template file!");

// File > "Save As Template".
inline const QString SaveAsTemplateTitle = QStringLiteral("Save Your Document As A Template");
inline const QString SaveAsTemplatePrompt = QStringLiteral("Please enter a name for the template you are saving");
inline const QString MsgTemplateNameEmpty = QStringLiteral("You must enter a name for your template if you wish to save it.");  // error box
inline QString MsgTemplateNameInUse(const QString &name)  // information box
{
    return QStringLiteral("You already have a template named: \"") + name
        + QStringLiteral("\" , please try saving under another name.");
}
inline const QString MsgTemplateSaved = QStringLiteral(
    "Success!, you may load your template by choosing the New | From Template, option under the file menu, "
    "or you can select it at startup from the task manager.");

// "Active Templates" window.
inline const QString ActiveTemplatesCaption = QStringLiteral("Quorvant: Active Templates");
inline const QString ActiveTemplatesHint = QStringLiteral("Double click the appropriate template to have it loaded in your editor.");

// Task Manager.
inline const QString TaskManagerCaption = QStringLiteral("Quorvant: Task Manager");
inline const QString TemplatesListCaption = QStringLiteral("Templates");
inline const QString MostRecentListCaption = QStringLiteral("Most Recent");
inline const QString FileNameColumn = QStringLiteral("File Name:");
inline const QString PathColumn = QStringLiteral("Path");
inline const QString OpenTemplateCommand = QStringLiteral("Open");
inline const QString DeleteTemplateCommand = QStringLiteral("Delete");
inline const QString NewDefaultPageCommand = QStringLiteral("Create New Web Page (Default Template)");
inline const QString NewBlankPageCommand = QStringLiteral("Create Blank Web Page.");
inline const QString OpenOtherFileCommand = QStringLiteral("Open File Not Displayed.");
inline const QString HelpMeCommand = QStringLiteral("Help Me!");
inline const QString ManualCommand = QStringLiteral("View the Quorvant Manual");
inline const QString WebsiteSetupCommand = QStringLiteral("Setup your website on the internet");
inline const QString ExitCommand = QStringLiteral("Exit Quorvant");
inline const QString TaskManagerHelpTopic = QStringLiteral("TaskManager.Htm");
inline const QString MsgSelectedFileMissing = QStringLiteral("The file you selected does not exist.");  // error box
inline const QString MsgCouldNotRemoveTemplate = QStringLiteral("Error! There was an error removing the template you selected.");

} // namespace Quorvant::StartWindowText
