// The script templates, server variable lists and starter snippets the
// program ships: they parse, and every template puts its parts where they
// belong in a small page.
#include "scriptstestsupport.h"
#include "tcodesnippits.h"
#include "toolkitglobals.h"
#include "toolkittestsupport.h"
#include "tscriptinserter.h"
#include "tscriptlibrary.h"
#include "tservervariables.h"

#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Quorvant::Test {
namespace {

const QString Data = QStringLiteral(QUORVANT_SHIPPED_DATA);

void expectCrLf(const QByteArray &bytes, const QString &path)
{
    ASSERT_FALSE(bytes.isEmpty()) << path.toStdString();
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << path.toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\n")) << path.toStdString();
}

void expectUtf8CrLf(const QString &path)
{
    const QByteArray bytes = readFile(path);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << path.toStdString();
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << path.toStdString();
    expectCrLf(bytes, path);
}

void expectAsciiCrLf(const QByteArray &bytes, const QString &path)
{
    EXPECT_TRUE(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return (c & 0x80) == 0; }))
        << path.toStdString();
    expectCrLf(bytes, path);
}

const QString Page = u"<html>\r\n<head>\r\n<title>Test</title>\r\n</head>\r\n<body>\r\n<p>Text</p>\r\n</body>\r\n</html>"_s;

class ShippedTemplates : public ::testing::TestWithParam<QString>
{
};

TEST_P(ShippedTemplates, EveryTemplateListsAndInsertsUnderHeadAndBody)
{
    QList<TScriptEntry> entries;
    ASSERT_TRUE(TScriptLibrary::ListScripts(Data + u'/' + GetParam(), &entries));
    EXPECT_GE(entries.size(), 10);
    EXPECT_LE(entries.size(), 20);
    EXPECT_EQ(QDir(Data + u'/' + GetParam()).entryList(QDir::Files).size(), entries.size());
    resetToolkitGlobals();
    for (const TScriptEntry &e : std::as_const(entries)) {
        SCOPED_TRACE(e.Path.toStdString());
        expectUtf8CrLf(e.Path);
        EXPECT_FALSE(e.Title.trimmed().isEmpty());
        EXPECT_FALSE(e.Description.trimmed().isEmpty());

        const TScriptParts parts = TScriptInserter::parse(splitTextLines(QString::fromUtf8(readFile(e.Path))));
        ASSERT_FALSE(parts.head.isEmpty());
        ASSERT_FALSE(parts.body.isEmpty());
        // No section runs into the next one's marker.
        for (const QStringList *part : {&parts.head, &parts.body, &parts.alert})
            for (const QString &line : *part)
                EXPECT_TRUE(TScriptInserter::markerOf(line).isEmpty()) << line.toStdString();

        auto buffer = makeBuffer(BufferKind::Scintilla);
        setMarked(buffer.get(), Page + u"|"_s);
        QStringList boxes;
        TScriptInserter(buffer.get(), [&](const QString &t) { boxes.append(t); }).InsertScript(e.Path);
        for (const QString &box : std::as_const(boxes))
            EXPECT_FALSE(box.contains(u"Could not be found"_s)) << box.toStdString();
        const QStringList lines = buffer->lines();
        const auto at = [&](const QString &line) { return lines.indexOf(line); };
        const qsizetype head = at(u"<head>"_s), title = at(u"<title>Test</title>"_s), body = at(u"<body>"_s),
                        text = at(u"<p>Text</p>"_s);
        EXPECT_EQ(at(u"<!-- <HEAD> Section of script -->"_s), head + 1);
        EXPECT_EQ(at(u"<!-- End <HEAD> Section of script -->"_s), title - 1);
        EXPECT_EQ(lines.mid(head + 2, parts.head.size()), parts.head);
        EXPECT_EQ(at(u"<!-- <BODY> Section of script -->"_s), body + 1);
        EXPECT_EQ(at(u"<!-- End <BODY> Section of script -->"_s), text - 1);
        EXPECT_EQ(lines.mid(body + 2, parts.body.size()), parts.body);
        EXPECT_EQ(lines.size(), splitLines(Page).size() + parts.head.size() + parts.body.size() + 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, ShippedTemplates, ::testing::Values(u"JAVA"_s, u"DHTML"_s),
                         [](const auto &info) { return info.param.toStdString(); });

TEST(ShippedLists, ServerVariablesAndSnippetsParse)
{
    for (const QString &name : {u"ASPData.Dat"_s, u"SSIData.Dat"_s}) {
        SCOPED_TRACE(name.toStdString());
        expectUtf8CrLf(Data + u'/' + name);
        QList<TServerVariable> list;
        ASSERT_TRUE(TServerVariables::LoadASPSSIList(Data + u'/' + name, &list));
        EXPECT_GE(list.size(), 20);
        const QStringList lines = QString::fromUtf8(readFile(Data + u'/' + name)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        EXPECT_EQ(list.size(), lines.size()) << "one variable a line";
        for (const TServerVariable &v : std::as_const(list))
            EXPECT_FALSE(v.Description.isEmpty()) << v.Name.toStdString();
    }
    // The snippet file: single mark bytes, ASCII text, CR LF line ends.
    const QString snippets = Data + u"/Snippets.Dat"_s;
    QByteArray text = readFile(snippets);
    text.replace('\x9E', "").replace('\xFE', "");
    expectAsciiCrLf(text, snippets);
    TCodeSnippits store(snippets, {}, [](const QString &t) { ADD_FAILURE() << t.toStdString(); });
    const QStringList names = store.GetAllCodeSnippitNames();
    EXPECT_GE(names.size(), 3);
    for (int row = 0; row < names.size(); ++row) {
        const TSnippetParts parts = TCodeSnippits::splitBody(store.LoadCodeSnippitAt(row, names.at(row)));
        EXPECT_FALSE(parts.Part1.isEmpty() && parts.Part2.isEmpty()) << names.at(row).toStdString();
        EXPECT_TRUE(TCodeSnippits::whyNotStorable(names.at(row), parts.Part1, parts.Part2).isEmpty());
    }
}

} // namespace
} // namespace Quorvant::Test
