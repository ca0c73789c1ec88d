// The tag database ("TagInfo.Dat"): every tag it lists gets its attributes,
// end tag and grid rows; values the grid writes into a tag are what the grid
// reads back from it.
#include "fuzzsupport.h"

#include "tagdatabase.h"

#include <QSet>

using namespace Quorvant;

namespace {

// Tags looked at in full per input, so a long file stays quick.
constexpr int TagsExamined = 32;

// A name that goes into a tag as written and is read back as one word.
bool plainName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u':')
            return false;
    }
    return true;
}

// Attribute names the grid can hold one row each for.
bool distinctPlainNames(const QStringList &names)
{
    QSet<QString> seen;
    for (const QString &name : names) {
        if (!plainName(name) || seen.contains(name.toUpper()))
            return false;
        seen.insert(name.toUpper());
    }
    return true;
}

void checkGrid(const TTagDatabase &db, const QString &tagName)
{
    const TTagAttributes attributes = db.AttributesFor(tagName);
    FUZZ_CHECK(attributes.TagsToList.size() == attributes.TagsStyle.size());
    (void)db.EndTagFor(tagName);
    (void)db.CompletionEndTag(QStringLiteral("<") + tagName + QStringLiteral(">"));

    // The rows of a bare tag: one per attribute, all empty.
    const QString bare = QStringLiteral("<") + tagName + QStringLiteral(">");
    // A name with a blank or '<' names another tag once in a tag.
    if (TTagDatabase::FindMainTag(bare) != tagName)
        return;
    QStringList styles;
    QList<TGridRow> rows = db.GridRowsFor(bare, &styles);
    FUZZ_CHECK(rows.size() == attributes.TagsToList.size());
    FUZZ_CHECK(styles == attributes.TagsStyle);
    if (rows.isEmpty() || !plainName(tagName) || !distinctPlainNames(attributes.TagsToList))
        return;

    // Values written by the grid read back the same, blanks and quotes too.
    for (int i = 0; i < rows.size(); ++i)
        rows[i].second = i % 2 ? QStringLiteral("v %1").arg(i) : QStringLiteral("\"%1\"").arg(i);
    QString line;
    FUZZ_CHECK(TTagDatabase::RebuildTagLine(bare, 1, tagName, rows, &line));
    const QList<TGridRow> again = db.GridRowsFor(line);
    FUZZ_CHECK(again.size() == rows.size());
    for (int i = 0; i < rows.size(); ++i)
        FUZZ_CHECK(again[i].second == rows[i].second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString tagData = Fuzz::writeScratchFile(QStringLiteral("TagData.Dat"),
                                                          QByteArrayLiteral("A(TARGET)\r\n{\r\n_blank\r\n_top\r\n}\r\n"));
    const QString tagInfo = Fuzz::writeScratchFile(QStringLiteral("TagInfo.Dat"), Fuzz::inputBytes(data, size));
    TTagDatabase db;
    FUZZ_CHECK(db.Load(tagInfo, tagData));
    const QStringList names = db.AllTagNames();
    (void)db.AllNames();
    for (const QString &line : db.TagInfo())
        (void)TTagDatabase::LineItems(line);
    for (int i = 0; i < names.size() && i < TagsExamined; ++i) {
        FUZZ_CHECK(!names[i].isEmpty());
        checkGrid(db, names[i]);
    }
    return 0;
}
