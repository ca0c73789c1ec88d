// The settings subsystem's working state: the remembered folders, the
// network account details read from "Halvorn.INI", and the one settings
// store of the program.
#pragma once

#include <QString>

namespace Quorvant {

class TSetupTools;

// Remembered folders; an empty folder means the program's default. Only
// MainOpenDir is kept across runs ("DIRECTORIES"/"OPENDIR").
struct TDirectoryHolder
{
    QString LowResImages;
    QString HighResImages;
    QString SoundFiles;
    QString CodeSnippets;
    QString MainOpenDir;
};

extern TDirectoryHolder gDir;

// Filled from "Halvorn.INI" by the settings store; used by the sign-in.
// gPassword is empty while the password is kept in the secret store, until
// TSetupTools::LoadHalvornPassword has read it from there.
extern QString gUserName;
extern QString gPassword;
extern QString gLookupAddress;  // location of the network's address service

// The program's settings store; owned (created and freed) by the main window.
extern TSetupTools *gSetupTools;

// Back to the start values. gSetupTools is only forgotten, never freed: its
// owner frees it.
void resetSettingsGlobals();

} // namespace Quorvant
