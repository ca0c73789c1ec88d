// The server variable lists ("ASPData.Dat", "SSIData.Dat"): each variable
// read is one name and one description, neither holding the separator or a
// line break, and its insertion text names it.
#include "fuzzsupport.h"

#include "tservervariables.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratchFile(QStringLiteral("ASPData.Dat"), Fuzz::inputBytes(data, size));
    QList<TServerVariable> list;
    FUZZ_CHECK(TServerVariables::LoadASPSSIList(path, &list));
    for (const TServerVariable &v : std::as_const(list)) {
        FUZZ_CHECK(!v.Name.isEmpty());
        for (const QString &field : {v.Name, v.Description})
            FUZZ_CHECK(!field.contains(u',') && !field.contains(u'\r') && !field.contains(u'\n'));
        for (ServerVariableKind kind : {ServerVariableKind::ASP, ServerVariableKind::SSI})
            FUZZ_CHECK(TServerVariables::insertText(kind, v.Name).contains(v.Name));
    }
    return 0;
}
