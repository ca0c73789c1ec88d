// The tag database's choice file ("TagData.Dat", blocks TAG(ATTRIBUTE)
// { values }): the values of a block never take in its braces.
#include "fuzzsupport.h"

#include "tagdatabase.h"

using namespace Quorvant;

namespace {

// Block headers looked up per input, so a long file stays quick.
constexpr int BlocksExamined = 32;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString tagInfo = Fuzz::writeScratchFile(
        QStringLiteral("TagInfo.Dat"), QByteArrayLiteral("A=\"Text(HREF),List(TARGET),ENDTAG(</A>)\"\r\n"));
    const QString tagData = Fuzz::writeScratchFile(QStringLiteral("TagData.Dat"), Fuzz::inputBytes(data, size));
    TTagDatabase db;
    FUZZ_CHECK(db.Load(tagInfo, tagData));
    int examined = 0;
    for (const QString &header : db.TagData()) {
        const qsizetype paren = header.indexOf(u'(');
        if (paren < 0)
            continue;
        if (++examined > BlocksExamined)
            break;
        const QString attribute = header.mid(paren + 1).section(u'(', 0, 0).remove(u')');
        const QStringList values = db.LoadComboBoxData(header.left(paren), attribute);
        FUZZ_CHECK(values.size() < db.TagData().size());
        for (const QString &value : values)
            FUZZ_CHECK(value != QLatin1String("{") && value != QLatin1String("}"));
    }
    (void)db.GridRowsFor(QStringLiteral("<A HREF=\"x\">"));
    return 0;
}
