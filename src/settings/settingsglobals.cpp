#include "settingsglobals.h"

namespace Quorvant {

TDirectoryHolder gDir;
QString gUserName;
QString gPassword;
QString gLookupAddress;
TSetupTools *gSetupTools = nullptr;

void resetSettingsGlobals()
{
    gDir = {};
    gUserName.clear();
    gPassword.clear();
    gLookupAddress.clear();
    gSetupTools = nullptr;
}

} // namespace Quorvant
