#include "inifile.h"
#include "textfileformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using Quorvant::IniFile;

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString pathOf(const QString &name) const { return m_dir.filePath(name); }

    QString fixture(const QByteArray &bytes, const QString &name = QStringLiteral("Main.INI")) const
    {
        const QString path = pathOf(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static int modeOf(const QString &path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, ReadsNamesWithoutRegardToCaseAndTrimsBlanks)
{
    const QString path = fixture(
        "orphan=before any section\r\n"
        "[MainForm]\r\n"
        "puretags=1\r\n"
        "  Spaced Key  =  spaced value  \r\n"
        "empty=\r\n"
        "; comment=not a key\r\n"
        "  ;indented=also a comment\r\n"
        "no equals sign here\r\n"
        "=no key\r\n"
        "note=a ; b\r\n"
        "dup=first\r\n"
        "DUP=second\r\n"
        "[ Padded ] trailing text\r\n"
        "k=padded\r\n"
        "[\xC3\x89t\xC3\xA9]\r\n"
        "k=accented\r\n"
        "[mainform]\r\n"
        "late=in the repeated section\r\n");
    const IniFile ini(path);
    const QString none = QStringLiteral("<default>");

    const struct { const char *section; const char *key; QString expected; } cases[] = {
        {"MAINFORM", "PURETAGS", "1"},
        {"mainform", "PureTags", "1"},
        {"MainForm", " puretags ", "1"},
        {"MainForm", "spaced key", "spaced value"},
        {"MainForm", "empty", ""},
        {"MainForm", "; comment", none},
        {"MainForm", ";indented", none},
        {"MainForm", "no equals sign here", none},
        {"MainForm", "", none},
        {"MainForm", "note", "a ; b"},
        {"MainForm", "dup", "first"},
        {"MainForm", "late", none},
        {"MainForm", "orphan", none},
        {"", "orphan", none},
        {"PADDED", "k", "padded"},
        {"\xC3\x89t\xC3\xA9", "K", "accented"},
        {"\xC3\xA9t\xC3\xA9", "k", none},
        {"Missing", "puretags", none},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("[%1] %2").arg(QString::fromUtf8(c.section), QString::fromUtf8(c.key)).toStdString());
        EXPECT_EQ(ini.readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), none), c.expected);
        EXPECT_EQ(ini.valueExists(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.expected != none);
    }
    EXPECT_EQ(ini.sections(), (QStringList{"MainForm", "Padded", QStringLiteral("Été")}));
    EXPECT_EQ(ini.keys("MAINFORM"), (QStringList{"puretags", "Spaced Key", "empty", "note", "dup"}));
    EXPECT_TRUE(ini.sectionExists("padded"));
    EXPECT_FALSE(ini.sectionExists("Missing"));
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsNotCreatedByDeletes)
{
    const QString path = pathOf("absent/Main.INI");
    IniFile ini(path);
    EXPECT_TRUE(ini.reload());
    EXPECT_EQ(ini.readString("PARSER", "SELECTED", "x"), "x");
    EXPECT_EQ(ini.readInteger("PARSER", "SELECTED", -1), -1);
    EXPECT_TRUE(ini.readBool("GENERAL", "FIRSTRUN", true));
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_TRUE(ini.deleteKey("PARSER", "SELECTED"));
    EXPECT_TRUE(ini.eraseSection("PARSER"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(IniFileTest, IntegersAndBooleans)
{
    const struct { const char *text; int integer; bool number; } cases[] = {
        {"10", 10, true},
        {"-7", -7, true},
        {"+3", 3, true},
        {"007", 7, true},
        {" 7 ", 7, true},
        {"0x1F", 31, true},
        {"0XFF", 255, true},
        {"0x0", 0, true},
        {"0xFFFFFFFF", -1, true},
        {"2147483647", 2147483647, true},
        {"-2147483648", -2147483647 - 1, true},
        {"", 0, false},
        {"abc", 0, false},
        {"yes", 0, false},
        {"12abc", 0, false},
        {"1.5", 0, false},
        {"- 1", 0, false},
        {"-", 0, false},
        {"0x", 0, false},
        {"0xG", 0, false},
        {"-0x10", 0, false},
        {"0x100000000", 0, false},
        {"2147483648", 0, false},
        {"-2147483649", 0, false},
        {"99999999999999999999", 0, false},
    };
    QByteArray file = "[N]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        file += "k" + QByteArray::number(qulonglong(i)) + "=" + cases[i].text + "\r\n";
    const IniFile ini(fixture(file));

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.text);
        const QString key = "K" + QString::number(i);
        EXPECT_EQ(ini.readInteger("n", key, 42), c.number ? c.integer : 42);
        if (c.number) {
            EXPECT_EQ(ini.readBool("n", key, c.integer == 0), c.integer != 0);
        } else {
            EXPECT_TRUE(ini.readBool("n", key, true));
            EXPECT_FALSE(ini.readBool("n", key, false));
        }
    }
}

TEST_F(IniFileTest, WrittenValuesComeBackAsGiven)
{
    const QString path = pathOf("Halvorn.INI");
    const QString values[] = {
        "a;b", ";leading", "C:\\dir\\", "x=y=z", "\"quoted\"", "'single'", "\"mixed'",
        "100% [x]", "tab\tinside", QStringLiteral("Ünïcødé €"), "",
    };
    {
        IniFile ini(path);
        for (qsizetype i = 0; i < qsizetype(std::size(values)); ++i)
            ASSERT_TRUE(ini.writeString("USERDETAILS", "K" + QString::number(i), values[i]));
        ASSERT_TRUE(ini.writeInteger("Numbers", "Negative", -12));
        ASSERT_TRUE(ini.writeBool("Numbers", "On", true));
        ASSERT_TRUE(ini.writeBool("Numbers", "Off", false));
    }
    const IniFile ini(path);
    for (qsizetype i = 0; i < qsizetype(std::size(values)); ++i)
        EXPECT_EQ(ini.readString("userdetails", "k" + QString::number(i), "<default>"), values[i]);
    EXPECT_EQ(ini.readString("Numbers", "Negative"), "-12");
    EXPECT_EQ(ini.readString("Numbers", "On"), "1");
    EXPECT_EQ(ini.readString("Numbers", "Off"), "0");
    EXPECT_TRUE(Quorvant::isValidUtf8(bytesOf(path)));
}

TEST_F(IniFileTest, NewFileIsWrittenWithCrLfAndBlankLinesBetweenSections)
{
    const QString path = pathOf("new/folder/Main.INI");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeBool("MAINFORM", "PURETAGS", false));
    ASSERT_TRUE(ini.writeInteger("PARSER", "SELECTED", 3));
    // Another spelling names the same section and key; the first is kept.
    ASSERT_TRUE(ini.writeBool("MainForm", "puretags", true));
    ASSERT_TRUE(ini.writeString("mainform", "Sidebar", "1"));
    EXPECT_EQ(bytesOf(path),
              "[MAINFORM]\r\nPURETAGS=1\r\nSidebar=1\r\n"
              "\r\n"
              "[PARSER]\r\nSELECTED=3\r\n");
    EXPECT_EQ(ini.readInteger("parser", "selected", -1), 3);
}

TEST_F(IniFileTest, RewriteKeepsOtherLinesAndAppendsKeysAtTheEndOfTheirSection)
{
    const QString path = fixture(
        "; top comment\r\n"
        "[One]\r\n"
        "b = 2 \r\n"
        "; note\r\n"
        "a=1\r\n"
        "not a setting\r\n"
        "\r\n"
        "[Two]\r\n"
        "c=3");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("ONE", "A", "9"));
    ASSERT_TRUE(ini.writeString("one", "New", "x"));
    ASSERT_TRUE(ini.writeString("Two", "d", "4"));
    ASSERT_TRUE(ini.writeString("Three", "e", "5"));
    EXPECT_EQ(bytesOf(path),
              "; top comment\r\n"
              "[One]\r\n"
              "b = 2 \r\n"
              "; note\r\n"
              "a=9\r\n"
              "not a setting\r\n"
              "New=x\r\n"
              "\r\n"
              "[Two]\r\n"
              "c=3\r\n"
              "d=4\r\n"
              "\r\n"
              "[Three]\r\n"
              "e=5\r\n");
}

TEST_F(IniFileTest, ReadsLfAndCrLineEndsAndWindows1252)
{
    const IniFile lf(fixture("[A]\nk=lf\n[B]\rk=cr\r[C]\r\nk=crlf", "lf.ini"));
    EXPECT_EQ(lf.readString("A", "k"), "lf");
    EXPECT_EQ(lf.readString("B", "k"), "cr");
    EXPECT_EQ(lf.readString("C", "k"), "crlf");

    const QString path = fixture("[Dirs]\r\nMain=/home/ann/Caf\xE9 \x80\r\n", "cp1252.ini");
    IniFile cp(path);
    EXPECT_EQ(cp.readString("dirs", "main"), QStringLiteral("/home/ann/Café €"));
    // Written back in its own encoding, as documents are; a value that
    // encoding cannot hold makes the file UTF-8.
    ASSERT_TRUE(cp.writeString("Dirs", "Other", QStringLiteral("\u00fc")));
    EXPECT_EQ(bytesOf(path), "[Dirs]\r\nMain=/home/ann/Caf\xE9 \x80\r\nOther=\xFC\r\n");
    ASSERT_TRUE(cp.writeString("Dirs", "Greek", QStringLiteral("\u03a9")));
    EXPECT_EQ(bytesOf(path), "[Dirs]\r\nMain=/home/ann/Caf\xC3\xA9 \xE2\x82\xAC\r\nOther=\xC3\xBC\r\nGreek=\xCE\xA9\r\n");
    EXPECT_EQ(IniFile(path).readString("Dirs", "Main"), QStringLiteral("/home/ann/Café €"));

    const IniFile bom(fixture("\xEF\xBB\xBF[S]\r\nk=v\r\n", "bom.ini"));
    EXPECT_EQ(bom.readString("S", "k"), "v");
}

TEST_F(IniFileTest, LongSectionsAndFreshStoresSeeTheFileAsItIs)
{
    QByteArray text = "[Big]\r\n";
    for (int i = 0; i < 500; ++i)
        text += "Key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    text += "KEY7=second\r\n";
    const QString path = fixture(text, "big.ini");
    IniFile ini(path);
    EXPECT_EQ(ini.readString("big", "key7"), "7") << "the first of a key counts";
    EXPECT_EQ(ini.readString("BIG", "Key499"), "499");
    EXPECT_FALSE(ini.valueExists("Big", "Key500"));
    EXPECT_EQ(ini.keys("Big").size(), 500);
    ASSERT_TRUE(ini.writeString("Big", "New", "n"));
    ASSERT_TRUE(ini.deleteKey("Big", "Key3"));
    EXPECT_EQ(ini.readString("Big", "Key4"), "4");
    EXPECT_EQ(ini.readString("Big", "New"), "n");
    EXPECT_FALSE(ini.valueExists("Big", "Key3"));

    // Rewritten in place by someone else, same size, at once: a new store reads it.
    const QString small = fixture("[S]\r\nk=1\r\n", "small.ini");
    EXPECT_EQ(IniFile(small).readString("S", "k"), "1");
    {
        QFile f(small);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("[S]\r\nk=2\r\n");
    }
    EXPECT_EQ(IniFile(small).readString("S", "k"), "2");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey)
{
    const QString path = fixture(
        "[Keep]\r\nx=1\r\n\r\n"
        "[Gone]\r\ny=2\r\n\r\n"
        "[Keys]\r\na=1\r\nB=2\r\nc=3\r\nb=4\r\n\r\n"
        "[GONE]\r\nz=3\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.eraseSection("gone"));
    ASSERT_TRUE(ini.deleteKey("KEYS", "b"));
    EXPECT_EQ(bytesOf(path), "[Keep]\r\nx=1\r\n\r\n[Keys]\r\na=1\r\nc=3\r\n\r\n");
    EXPECT_FALSE(ini.sectionExists("Gone"));
    EXPECT_FALSE(ini.valueExists("Keys", "B"));
    EXPECT_EQ(ini.keys("keys"), (QStringList{"a", "c"}));

    ASSERT_TRUE(ini.deleteKey("Keys", "missing"));
    ASSERT_TRUE(ini.eraseSection("Missing"));
    EXPECT_EQ(bytesOf(path), "[Keep]\r\nx=1\r\n\r\n[Keys]\r\na=1\r\nc=3\r\n\r\n");
}

TEST_F(IniFileTest, WritesStartFromTheFileOnDiskAndReloadRereads)
{
    const QString path = pathOf("Main.INI");
    IniFile first(path);
    IniFile second(path);
    ASSERT_TRUE(first.writeString("S", "one", "1"));
    ASSERT_TRUE(second.writeString("S", "two", "2"));
    EXPECT_EQ(bytesOf(path), "[S]\r\none=1\r\ntwo=2\r\n");
    EXPECT_TRUE(second.valueExists("S", "one"));

    EXPECT_FALSE(first.valueExists("S", "two"));
    ASSERT_TRUE(first.reload());
    EXPECT_EQ(first.readString("S", "two"), "2");

    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(first.reload());
    EXPECT_FALSE(first.sectionExists("S"));
}

TEST_F(IniFileTest, FailedWritesLeaveFileAndValuesAsTheyWere)
{
    const QByteArray original = "[S]\r\nk=old\r\n";
    const QString path = fixture(original);
    IniFile ini(path);

    const struct { const char *section; const char *key; const char *value; } unstorable[] = {
        {"", "k", "v"}, {"  ", "k", "v"}, {"S", "", "v"}, {"S", "a=b", "v"},
        {"S", ";k", "v"}, {"S", "[k]", "v"}, {"S\r\nT", "k", "v"}, {"S", "k\nj", "v"},
        {"S", "k", "two\r\nlines"}, {"S", "k", "cr\ronly"},
    };
    for (const auto &c : unstorable) {
        SCOPED_TRACE(c.key);
        EXPECT_FALSE(ini.writeString(c.section, c.key, c.value));
    }
    EXPECT_EQ(bytesOf(path), original);

    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(ini.writeString("S", "k", "new"));
    EXPECT_FALSE(ini.writeString("S", "added", "new"));
    EXPECT_FALSE(ini.deleteKey("S", "k"));
    EXPECT_FALSE(ini.eraseSection("S"));
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_EQ(ini.readString("S", "k"), "old");
    EXPECT_FALSE(ini.valueExists("S", "added"));

    // The folder of the file cannot be made: its parent is a file.
    IniFile blocked(path + "/Main.INI");
    EXPECT_FALSE(blocked.writeString("S", "k", "v"));

    // An existing path that is not a readable file cannot be read or replaced.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.ini"));
    IniFile folder(pathOf("folder.ini"));
    EXPECT_FALSE(folder.reload());
    EXPECT_FALSE(folder.writeString("S", "k", "v"));
    EXPECT_TRUE(QFileInfo(pathOf("folder.ini")).isDir());
}

TEST_F(IniFileTest, ReadOnlyFolderRefusesNewFile)
{
    const QString folder = pathOf("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
    if (QFileInfo(folder).isWritable())
        GTEST_SKIP() << "this user may write into read-only folders";
    IniFile ini(folder + "/Main.INI");
    EXPECT_FALSE(ini.writeString("S", "k", "v"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Main.INI"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(IniFileTest, PermissionsApplyOnEveryWriteWhateverTheFileHad)
{
    struct UmaskGuard
    {
        mode_t old = ::umask(022);
        ~UmaskGuard() { ::umask(old); }
    } umaskGuard;
    const QString created = pathOf("Halvorn.INI");
    IniFile secret(created);
    secret.setPermissions(0600);
    ASSERT_TRUE(secret.writeString("USERDETAILS", "PASSWORD", "pw"));
    EXPECT_EQ(modeOf(created), 0600);
    // A rewrite without a mode keeps the file owner-only.
    IniFile plain(created);
    ASSERT_TRUE(plain.writeString("USERDETAILS", "USERNAME", "ann"));
    EXPECT_EQ(modeOf(created), 0600);

    // A file that others could read is made private by the next write.
    for (const mode_t before : {mode_t(0644), mode_t(0666), mode_t(0640)}) {
        SCOPED_TRACE(before);
        const QString existing = fixture("[S]\r\nk=v\r\n", "existing.ini");
        ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), before), 0);
        IniFile other(existing);
        other.setPermissions(0600);
        ASSERT_TRUE(other.writeString("S", "k", "w"));
        EXPECT_EQ(modeOf(existing), 0600);
        ASSERT_TRUE(other.deleteKey("S", "k"));
        EXPECT_EQ(modeOf(existing), 0600);
    }

    const QString defaulted = pathOf("Main.INI");
    IniFile normal(defaulted);
    ASSERT_TRUE(normal.writeString("S", "k", "v"));
    EXPECT_EQ(modeOf(defaulted), 0644);
}

} // namespace
