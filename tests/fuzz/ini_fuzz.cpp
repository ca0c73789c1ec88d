// The INI store ("Main.INI", "Halvorn.INI", "Browsers.INI", ...): whatever
// the file holds, what it reads is what it reads again after writing the
// file back, and a new key written lands beside the old ones unchanged.
#include "fuzzsupport.h"

#include "inifile.h"

#include <QList>
#include <QPair>

using namespace Quorvant;

namespace {

using Values = QList<QPair<QString, QString>>;
using Snapshot = QList<QPair<QString, Values>>;

// Every section and key as the program finds them, with their values.
Snapshot snapshot(const IniFile &ini)
{
    Snapshot out;
    for (const QString &section : ini.sections()) {
        FUZZ_CHECK(ini.sectionExists(section));
        Values values;
        for (const QString &key : ini.keys(section)) {
            FUZZ_CHECK(ini.valueExists(section, key));
            values.append({key, ini.readString(section, key)});
            (void)ini.readInteger(section, key, 0);
            (void)ini.readBool(section, key, false);
        }
        out.append({section, values});
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratchFile(QStringLiteral("Main.INI"), Fuzz::inputBytes(data, size));
    IniFile ini(path);
    const Snapshot before = snapshot(ini);

    // A value written back as it was read changes nothing.
    if (!before.isEmpty() && !before.first().second.isEmpty()) {
        const QString &section = before.first().first;
        const auto &[key, value] = before.first().second.first();
        if (ini.writeString(section, key, value))
            FUZZ_CHECK(snapshot(IniFile(path)) == before);
    }

    // A new section makes the store rewrite the whole file; everything read
    // before reads the same after, with the new key at the end.
    const QString probe = QStringLiteral("Fuzz Probe");
    if (!ini.sectionExists(probe)) {
        FUZZ_CHECK(ini.writeString(probe, QStringLiteral("Key"), QStringLiteral("Value")));
        Snapshot expected = before;
        expected.append({probe, {{QStringLiteral("Key"), QStringLiteral("Value")}}});
        FUZZ_CHECK(snapshot(IniFile(path)) == expected);
    }
    return 0;
}
