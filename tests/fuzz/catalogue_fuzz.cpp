// The catalogue table of fixed insertions: each line is an entry or an
// error, entries keep their line numbers in order, names stay unique, and
// an entry has what its kind needs.
#include "fuzzsupport.h"

#include "catalogue.h"

#include <QSet>

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const TCatalogue catalogue = loadCatalogue(Fuzz::writeScratchFile(QStringLiteral("catalogue.tsv"), bytes));
    const int lines = int(bytes.count('\n')) + 1;
    FUZZ_CHECK(catalogue.entries.size() + catalogue.errors.size() <= lines);
    int previous = 0;
    QSet<QString> names;
    for (const TCatalogueEntry &e : catalogue.entries) {
        FUZZ_CHECK(e.line > previous && e.line <= lines);
        previous = e.line;
        FUZZ_CHECK(!e.place.isEmpty());
        FUZZ_CHECK(!catalogueKindName(e.kind).isEmpty());
        FUZZ_CHECK((e.kind == CatalogueKind::Insert) == !e.steps.isEmpty());
        if (e.kind == CatalogueKind::Wizard || e.kind == CatalogueKind::Command)
            FUZZ_CHECK(!e.key.isEmpty());
        if (e.kind != CatalogueKind::Separator && e.kind != CatalogueKind::Spacer) {
            FUZZ_CHECK(!names.contains(e.name));
            names.insert(e.name);
        }
        if (e.kind == CatalogueKind::Menu && !e.key.isEmpty()) {
            FUZZ_CHECK(!names.contains(e.key));
            names.insert(e.key);
        }
    }
    return 0;
}
