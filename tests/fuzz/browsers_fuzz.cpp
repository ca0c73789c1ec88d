// The browser list ("Browsers.INI", one Name=Path a line): a browser added
// reads back after the ones that were there, which stay as they were, and
// removing it gives the list as it was.
#include "fuzzsupport.h"

#include "asciitext.h"
#include "datafolder.h"
#include "setuptools.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool folderSet = [] {
        DataFolder::setPath(Fuzz::scratchFolder() + QStringLiteral("/browsers"));
        return true;
    }();
    (void)folderSet;
    Fuzz::writeScratchFile(QStringLiteral("browsers/Browsers.INI"), Fuzz::inputBytes(data, size));
    TSetupTools tools;
    const QList<TBrowserEntry> before = tools.LoadBrowsers();

    const TBrowserEntry added{QStringLiteral("Fuzz Browser"), QStringLiteral("/usr/bin/fuzz-browser --new-window")};
    for (const TBrowserEntry &entry : before) {
        // A name taken is refused with a message box.
        if (asciiEqualsIgnoreCase(entry.Name, added.Name))
            return 0;
    }
    FUZZ_CHECK(tools.AddBrowser(added.Name, added.Path));
    FUZZ_CHECK(tools.LoadBrowsers() == before + QList<TBrowserEntry>{added});
    FUZZ_CHECK(tools.RemoveBrowser(added.Name));
    FUZZ_CHECK(tools.LoadBrowsers() == before);
    return 0;
}
