// A tag list of the user's tag library ("Tags/*.tag"): the list reads with
// its title, and a tag added to it reads back whole after the tags that
// were there, which stay as they were.
#include "fuzzsupport.h"

#include "taglibfiles.h"
#include "taglibrary.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString dataFolder = Fuzz::scratchFolder() + QStringLiteral("/taglist");
    const QString path = Fuzz::writeScratchFile(QStringLiteral("taglist/Tags/Fuzz.tag"), bytes);

    const QList<TTagListEntry> lists = LoadTagLists(dataFolder);
    FUZZ_CHECK(lists.size() == 1 && lists.first().Path.endsWith(QLatin1String("/Fuzz.tag")));

    QList<TTagRow> before;
    FUZZ_CHECK(loadtags(path, &before));
    const TTagRow added{QStringLiteral("Fuzz tag"), QStringLiteral("Added by the fuzzer"), QStringLiteral("Text"),
                        QStringLiteral("<b class=\"x\">"), QStringLiteral("</b>"), QStringLiteral("N/A")};
    FUZZ_CHECK(AddTag(path, added.TagTitle, added.Description, added.Category, added.StartTag, added.EndTag,
                      added.ExtendedTag));
    QList<TTagRow> after;
    FUZZ_CHECK(loadtags(path, &after));
    QStringList lines;
    FUZZ_CHECK(readTagFileLines(path, &lines));
    // In a file without even a title line, the line added is the title.
    if (lines.size() < 2)
        return 0;
    FUZZ_CHECK(after.size() == before.size() + 1);
    FUZZ_CHECK(after.mid(0, before.size()) == before);
    FUZZ_CHECK(after.last() == added);
    FUZZ_CHECK(LoadTagLists(dataFolder).first().Caption == lists.first().Caption);
    return 0;
}
