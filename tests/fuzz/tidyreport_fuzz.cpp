// HTML Tidy's report, read as the program reads the tool's output: each
// message points at a line and column from 1 and names its kind.
#include "fuzzsupport.h"

#include "tidypagecodec.h"
#include "tidyreport.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString report = decodeDataFile(Fuzz::inputBytes(data, size));
    for (const TTidyMessage &m : TTidyReport::parse(report)) {
        FUZZ_CHECK(m.line >= 1 && m.column >= 0);
        FUZZ_CHECK(!m.kind.isEmpty() && report.contains(m.kind));
        FUZZ_CHECK(!m.text.contains(u'\n') && report.contains(m.text));
        (void)m.isError();
    }
    return 0;
}
