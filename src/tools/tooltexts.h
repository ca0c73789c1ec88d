// The messages of the external tools.
#pragma once

namespace Quorvant {

inline constexpr char TidyDialogCaption[] = "Tidy your HTML page with HTML Tidy:";
inline constexpr char QuickViewCaption[] = "Quorvant: Quick-View";
inline constexpr char MsgTidySettingsMissing[] =
    "Error! Unable to load saved defaults. Defaulting to first load configuration.";
inline constexpr char MsgSettingsReset[] = "Your settings have been reset!";
inline constexpr char MsgNoDefaultConfig[] =
    "Error! Could not find default configuration for Default.Cfg. Unable to set to defaults.";
inline constexpr char MsgTidyNotFound[] = "Error!, Could not find HTML Tidy in: ";
inline constexpr char MsgTidyNotFoundPath[] = " nor as \"tidy\" on the PATH.";
inline constexpr char MsgKeepTidyChanges[] =
    "Would you like to keep the changes Tidy has suggested be made to your document?";
inline constexpr char MsgTidyTimedOut[] =
    "HTML Tidy did not finish within 60 seconds and was stopped. Your document is unchanged.";
inline constexpr char MsgTidyFailed[] = "Error! HTML Tidy could not be run: ";
inline constexpr char MsgTidyCrashed[] = "Error! HTML Tidy stopped unexpectedly. Your document is unchanged.";
inline constexpr char MsgTidyReportMissing[] = "HTML Tidy wrote no report.";
inline constexpr char MsgTidyDocumentEdited[] =
    "The document was changed while HTML Tidy was working on it, so its result no longer fits. "
    "Run HTML Tidy again to tidy the current text.";

} // namespace Quorvant
