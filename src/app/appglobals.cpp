#include "appglobals.h"

namespace Quorvant {

QList<TDataHolder> gDocumentHolder;
QList<TMemoSource *> gMemoData;
QString gCurrentFilePath;
bool gDocumentModified = false;
bool gNetworkFile = false;
bool gCloseCurrentDocument = false;
bool gCanCloseProgram = true;
bool gClosingNow = false;
TRecentFiles *gRecentFiles = nullptr;

void resetAppGlobals()
{
    gDocumentHolder.clear();
    gMemoData.clear();
    gCurrentFilePath.clear();
    gDocumentModified = false;
    gNetworkFile = false;
    gCloseCurrentDocument = false;
    gCanCloseProgram = true;
    gClosingNow = false;
    gRecentFiles = nullptr;
    resetSettingsGlobals();
}

} // namespace Quorvant
