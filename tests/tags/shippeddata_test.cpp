// The data files the program ships: they must parse completely, agree with
// each other and be stored as UTF-8 with CR LF line ends.
#include "tagdatabase.h"
#include "taglibrary.h"
#include "taglibtestsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace Quorvant::Test {
namespace {

const QString ShippedData = QStringLiteral(QUORVANT_SHIPPED_DATA);

QStringList shippedLines(const QString &relative)
{
    const QByteArray bytes = readBytes(ShippedData + u'/' + relative);
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();  // after the last line end
    return lines;
}

TTagDatabase shippedDatabase()
{
    TTagDatabase db;
    EXPECT_TRUE(db.Load(ShippedData + "/TagInfo.Dat", ShippedData + "/TagData.Dat"));
    return db;
}

TEST(ShippedData, FilesAreUtf8WithoutBomAndEndLinesWithCrLf)
{
    QStringList files{"TagInfo.Dat", "TagData.Dat", "Help/Internal.Dat", "Help/TagList.Htm"};
    for (QDirIterator it(ShippedData + "/Help/Tags", QDir::Files); it.hasNext();)
        files << "Help/Tags/" + QFileInfo(it.next()).fileName();
    for (QDirIterator it(ShippedData + "/Tags", QDir::Files); it.hasNext();)
        files << "Tags/" + QFileInfo(it.next()).fileName();
    ASSERT_GT(files.size(), 100);
    for (const QString &file : files) {
        const QByteArray bytes = readBytes(ShippedData + u'/' + file);
        ASSERT_FALSE(bytes.isEmpty()) << file.toStdString();
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << file.toStdString();
        EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << file.toStdString() << " is not UTF-8";
        EXPECT_TRUE(bytes.endsWith("\r\n")) << file.toStdString();
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << file.toStdString();
        EXPECT_EQ(bytes.count("\r"), bytes.count("\r\n")) << file.toStdString();
    }
}

TEST(ShippedData, EveryTagInfoLineIsValidAndEndTagsMatchVoidness)
{
    const QSet<QString> voidElements{"AREA", "BASE", "BASEFONT", "BGSOUND", "BR", "COL", "EMBED", "FRAME", "HR",
                                     "IMG", "INPUT", "ISINDEX", "LINK", "META", "PARAM", "SOURCE", "SPACER",
                                     "TRACK", "WBR"};
    const QSet<QString> styles{"String", "ComboBox", "FileSelect", "ColorSelect"};
    const QRegularExpression item(QStringLiteral(R"(^([A-Za-z]+)\(([^(),"]+)\)$)"));
    const TTagDatabase db = shippedDatabase();
    QSet<QString> names;
    for (const QString &line : db.TagInfo()) {
        const QString name = TTagDatabase::LineName(line);
        ASSERT_FALSE(name.isEmpty()) << line.toStdString();
        EXPECT_TRUE(line.startsWith(name + "=\"") && line.endsWith(u'"') && line.count(u'"') == 2) << line.toStdString();
        EXPECT_FALSE(names.contains(name)) << "twice: " << name.toStdString();
        names.insert(name);
        QString endTag;
        QSet<QString> attributes;
        for (const QString &text : line.mid(name.size() + 2).chopped(1).split(u',')) {
            const QRegularExpressionMatch m = item.match(text);
            ASSERT_TRUE(m.hasMatch()) << name.toStdString() << ": " << text.toStdString();
            if (m.captured(1) == "ENDTAG") {
                EXPECT_TRUE(endTag.isEmpty()) << name.toStdString();
                endTag = m.captured(2);
                continue;
            }
            EXPECT_TRUE(styles.contains(m.captured(1))) << name.toStdString() << ": " << text.toStdString();
            EXPECT_FALSE(attributes.contains(m.captured(2))) << name.toStdString() << ": " << text.toStdString();
            attributes.insert(m.captured(2));
            if (m.captured(1) == "ComboBox") {
                EXPECT_FALSE(db.LoadComboBoxData(name, m.captured(2)).isEmpty())
                    << name.toStdString() << " " << m.captured(2).toStdString();
            }
        }
        const QString expected = voidElements.contains(name) ? QString() : "</" + name + ">";
        EXPECT_EQ(endTag, expected) << name.toStdString();
        EXPECT_EQ(db.EndTagFor(name.toLower()), endTag);
    }
    for (const char *required : {"A", "FONT", "CENTER", "TABLE", "INPUT", "FORM", "FRAMESET", "IFRAME", "VIDEO",
                                 "SECTION", "MAIN", "DETAILS", "TEMPLATE", "DIALOG", "PICTURE"})
        EXPECT_TRUE(names.contains(required)) << required;
    for (const QString &v : voidElements)
        EXPECT_TRUE(names.contains(v)) << v.toStdString();
}

TEST(ShippedData, EveryTagDataBlockIsClosedAndBelongsToAComboBox)
{
    const TTagDatabase db = shippedDatabase();
    const QStringList lines = db.TagData();
    ASSERT_FALSE(lines.isEmpty());
    const QRegularExpression header(QStringLiteral(R"(^([A-Z0-9]+)\(([A-Z-]+)\)$)"));
    for (qsizetype i = 0; i < lines.size();) {
        const QRegularExpressionMatch m = header.match(lines.at(i));
        ASSERT_TRUE(m.hasMatch()) << "line " << i + 1 << ": " << lines.at(i).toStdString();
        ASSERT_LT(i + 1, lines.size());
        ASSERT_EQ(lines.at(i + 1), "{") << "line " << i + 2;
        qsizetype j = i + 2;
        while (j < lines.size() && lines.at(j) != "}") {
            EXPECT_NE(lines.at(j), "{") << "line " << j + 1;
            EXPECT_FALSE(lines.at(j).trimmed().isEmpty()) << "line " << j + 1;
            ++j;
        }
        ASSERT_LT(j, lines.size()) << "block at line " << i + 1 << " is not closed";
        EXPECT_GT(j, i + 2) << "empty block at line " << i + 1;
        const TTagAttributes a = db.AttributesFor(m.captured(1));
        const qsizetype at = a.TagsToList.indexOf(m.captured(2));
        ASSERT_GE(at, 0) << lines.at(i).toStdString();
        EXPECT_EQ(a.TagsStyle.at(at), "ComboBox") << lines.at(i).toStdString();
        i = j + 1;
    }
}

TEST(ShippedData, EveryHelpKeyHasItsPageAndEveryTagAKey)
{
    const TTagDatabase db = shippedDatabase();
    QSet<QString> keys;
    for (const QString &line : shippedLines("Help/Internal.Dat")) {
        ASSERT_EQ(line.count(u','), 1) << line.toStdString();
        const QString page = line.section(u',', 1);
        keys.insert(line.section(u',', 0, 0).toUpper());
        EXPECT_TRUE(QFileInfo(ShippedData + "/Help/" + page).isFile()) << page.toStdString();
    }
    for (const QString &name : db.AllTagNames())
        EXPECT_TRUE(keys.contains(name.toUpper())) << name.toStdString();
}

TEST(ShippedData, TheTagListPageLinksToExistingPages)
{
    const QString page = QString::fromUtf8(readBytes(ShippedData + "/Help/TagList.Htm"));
    const QRegularExpression href(QStringLiteral(R"x(href="([^"]+)")x"));
    int links = 0;
    for (auto it = href.globalMatch(page); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(QFileInfo(ShippedData + "/Help/" + target).isFile()) << target.toStdString();
    }
    EXPECT_GE(links, 100);
}

TEST(ShippedData, StarterTagListsReadBackWhole)
{
    const QList<TTagListEntry> lists = LoadTagLists(ShippedData);
    ASSERT_GE(lists.size(), 3);
    const QStringList categories = TagCategories();
    for (const TTagListEntry &list : lists) {
        EXPECT_FALSE(list.Caption.isEmpty()) << list.Path.toStdString();
        const QStringList raw = shippedLines("Tags/" + QFileInfo(list.Path).fileName());
        QList<TTagRow> rows;
        ASSERT_TRUE(loadtags(list.Path, &rows));
        ASSERT_FALSE(rows.isEmpty()) << list.Path.toStdString();
        for (qsizetype i = 1; i < raw.size(); ++i)
            EXPECT_EQ(raw.at(i).count(u','), 5) << raw.at(i).toStdString();
        for (const TTagRow &row : rows) {
            EXPECT_FALSE(row.TagTitle.isEmpty());
            EXPECT_FALSE(row.StartTag.isEmpty()) << row.TagTitle.toStdString();
            EXPECT_TRUE(categories.contains(row.Category)) << row.Category.toStdString();
        }
    }
}

} // namespace
} // namespace Quorvant::Test
