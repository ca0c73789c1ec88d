#include "setuptools.h"

#include "datafolder.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "tsecretstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

using namespace Quorvant;

namespace {

const QString kFirstRunQuestion = QStringLiteral(
    "We have noticed this is the first time you have run Quorvant, would you like to automatically search for "
    "and add System Default Browser? (if unsure, press yes).");

struct ViewStates2
{
    bool lineNumbers, wordWrap, tagCompletion, lowerCase;
};

struct MainFormStates
{
    bool pureTags, largeButton, controlBar, sideBar, colorBar, gutter, characterList;
};

class SetupToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        resetSettingsGlobals();
    }

    void TearDown() override
    {
        MessageService::resetTestHook();
        MessageService::setTestHookEnabled(false);
        resetSettingsGlobals();
    }

    QString pathOf(const QString &name) const { return m_dir.filePath(name); }

    QString fixture(const QString &name, const QByteArray &bytes) const
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
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static int modeOf(const QString &path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

    ViewStates2 loadViewStates2() const
    {
        ViewStates2 s{};
        m_tools.LoadFormViewStates2(s.lineNumbers, s.wordWrap, s.tagCompletion, s.lowerCase);
        return s;
    }

    MainFormStates loadMainForm() const
    {
        MainFormStates s{};
        m_tools.LoadMainFormViewState(s.pureTags, s.largeButton, s.controlBar, s.sideBar, s.colorBar, s.gutter,
                                      s.characterList);
        return s;
    }

    // How a password was settled: whether it went to the secret store, and
    // the note for the network log.
    struct Settled
    {
        bool done = false;
        bool inSecretStore = false;
        QString note;
    };
    TSetupTools::PasswordKept recordInto(Settled *settled) const
    {
        return [settled](bool inSecretStore, const QString &note) { *settled = {true, inSecretStore, note}; };
    }
    // Every wait on the store is bounded by its own timeout.
    static void waitFor(const Settled &settled)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return settled.done; }, 2 * TSecretStore::kAnswerTimeoutMs + 5000));
    }
    Settled saveAccount(const QString &user, const QString &password, bool autoConnect)
    {
        Settled settled;
        EXPECT_TRUE(m_tools.SaveHalvornUserNameAndPassword(user, password, autoConnect, recordInto(&settled)));
        waitFor(settled);
        return settled;
    }
    Settled movePasswordToStore()
    {
        Settled settled;
        m_tools.MoveHalvornPasswordToSecretStore(recordInto(&settled));
        waitFor(settled);
        return settled;
    }
    QString loadPassword(QString *note = nullptr) const
    {
        bool found = false;
        QString password;
        m_tools.LoadHalvornPassword([&](const QString &p, const QString &n) {
            found = true;
            password = p;
            if (note)
                *note = n;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return found; }, TSecretStore::kAnswerTimeoutMs + 5000));
        return password;
    }
    QString halvornIni() const { return pathOf(QStringLiteral("Halvorn.INI")); }

    QTemporaryDir m_dir;
    QStringList m_debug;
    TSetupTools m_tools{[this](const QString &line) { m_debug.append(line); }};
};

void expectViewStates2(const ViewStates2 &got, const ViewStates2 &want, const char *what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(got.lineNumbers, want.lineNumbers);
    EXPECT_EQ(got.wordWrap, want.wordWrap);
    EXPECT_EQ(got.tagCompletion, want.tagCompletion);
    EXPECT_EQ(got.lowerCase, want.lowerCase);
}

void expectMainForm(const MainFormStates &got, const MainFormStates &want, const char *what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(got.pureTags, want.pureTags);
    EXPECT_EQ(got.largeButton, want.largeButton);
    EXPECT_EQ(got.controlBar, want.controlBar);
    EXPECT_EQ(got.sideBar, want.sideBar);
    EXPECT_EQ(got.colorBar, want.colorBar);
    EXPECT_EQ(got.gutter, want.gutter);
    EXPECT_EQ(got.characterList, want.characterList);
}

// Bytes of a literal, embedded NULs included.
template<qsizetype N>
QByteArray raw(const char (&bytes)[N])
{
    return QByteArray(bytes, N - 1);
}

constexpr ViewStates2 kDefaultViewStates2{false, false, true, true};
constexpr MainFormStates kDefaultMainForm{false, true, true, true, true, true, false};

TEST_F(SetupToolsTest, EveryKeyHasItsDefaultWithoutFilesAndLoadingCreatesNothing)
{
    expectViewStates2(loadViewStates2(), kDefaultViewStates2, "OPTIONS2");
    expectMainForm(loadMainForm(), kDefaultMainForm, "MAINFORM");
    EXPECT_EQ(m_tools.LoadParserNumber(), -1);
    EXPECT_EQ(m_tools.LoadLastMainDirectory(), QString());
    EXPECT_EQ(m_tools.LoadOpenDir(), QString());
    EXPECT_EQ(m_tools.LoadLastImageDirectory(), QString());
    EXPECT_TRUE(m_tools.LoadBrowsers().isEmpty());

    gUserName = gPassword = gLookupAddress = QStringLiteral("stale");
    QString user = QStringLiteral("x"), password = QStringLiteral("x"), address = QStringLiteral("x");
    bool autoConnect = true;
    m_tools.LoadHalvornUserNameAndPassword(&user, &password, &autoConnect);
    m_tools.LoadHalvornNetworkSettings(&address);
    EXPECT_EQ(user, QString());
    EXPECT_EQ(password, QString());
    EXPECT_FALSE(autoConnect);
    EXPECT_EQ(address, QString());
    EXPECT_EQ(gUserName, QString());
    EXPECT_EQ(gPassword, QString());
    EXPECT_EQ(gLookupAddress, QString());

    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
    EXPECT_TRUE(m_debug.isEmpty());
}

TEST_F(SetupToolsTest, ViewStatesRoundTripKeyByKey)
{
    // One key on (or off) at a time, so two keys swapped on the way in or out show.
    for (int bit = 0; bit < 4; ++bit) {
        for (const bool on : {true, false}) {
            const auto flag = [&](int i) { return (i == bit) == on; };
            const ViewStates2 want{flag(0), flag(1), flag(2), flag(3)};
            ASSERT_TRUE(m_tools.SaveFormViewStates2(want.lineNumbers, want.wordWrap, want.tagCompletion,
                                                    want.lowerCase));
            expectViewStates2(loadViewStates2(), want, on ? "one on" : "one off");
        }
    }
    for (int bit = 0; bit < 7; ++bit) {
        for (const bool on : {true, false}) {
            const auto flag = [&](int i) { return (i == bit) == on; };
            const MainFormStates want{flag(0), flag(1), flag(2), flag(3), flag(4), flag(5), flag(6)};
            ASSERT_TRUE(m_tools.SaveMainFormViewState(want.pureTags, want.largeButton, want.controlBar,
                                                      want.sideBar, want.colorBar, want.gutter,
                                                      want.characterList));
            expectMainForm(loadMainForm(), want, on ? "one on" : "one off");
        }
    }
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(SetupToolsTest, WritesKeysAsProfileLinesInCapitalisedSections)
{
    ASSERT_TRUE(m_tools.SaveFormViewStates2(true, false, true, false));
    ASSERT_TRUE(m_tools.SaveMainFormViewState(true, false, true, false, true, false, true));
    ASSERT_TRUE(m_tools.SaveParserNumber(7));
    EXPECT_EQ(bytesOf(pathOf(QStringLiteral("Main.INI"))),
              QByteArray("[OPTIONS2]\r\nLINENUMBERS=1\r\nWORDWRAP=0\r\nTAG-COMPLETION=1\r\nTAG-CASE=0\r\n\r\n"
                         "[MAINFORM]\r\nPURETAGS=1\r\nLARGEBUTTONBAR=0\r\nCONTROLBAR=1\r\nSIDEBAR=0\r\n"
                         "COLORBAR=1\r\nGUTTER=0\r\nCHARACTERLIST=1\r\n\r\n"
                         "[PARSER]\r\nSELECTED=7\r\n"));
}

TEST_F(SetupToolsTest, ParserNumberAndFoldersRoundTrip)
{
    for (const int n : {0, 9, -1, 4}) {
        ASSERT_TRUE(m_tools.SaveParserNumber(n));
        EXPECT_EQ(m_tools.LoadParserNumber(), n);
    }

    const QString main = QStringLiteral("/home/ann/web site/");
    const QString open = QStringLiteral("/tmp/a;b\\c=d/Ünïcode/");
    const QString image = QStringLiteral("/srv/images/");
    ASSERT_TRUE(m_tools.SaveLastMainDirectory(main));
    ASSERT_TRUE(m_tools.SaveOpenDir(open));
    ASSERT_TRUE(m_tools.SaveLastImageDirectory(image));
    EXPECT_EQ(m_tools.LoadLastMainDirectory(), main);
    EXPECT_EQ(m_tools.LoadOpenDir(), open);
    EXPECT_EQ(m_tools.LoadLastImageDirectory(), image);

    // Saving one folder leaves the others alone.
    ASSERT_TRUE(m_tools.SaveOpenDir(QString()));
    EXPECT_EQ(m_tools.LoadOpenDir(), QString());
    EXPECT_EQ(m_tools.LoadLastMainDirectory(), main);
    EXPECT_EQ(m_tools.LoadLastImageDirectory(), image);
}

TEST_F(SetupToolsTest, ReadsValuesAsProfileFunctionsDo)
{
    const struct
    {
        const char *what;
        QByteArray file;
        bool lineNumbers;
        int parser;
        bool pureTags;
    } cases[] = {
        {"lower-case names", "[options2]\r\nlinenumbers=1\r\n[parser]\r\nselected=3\r\n[mainform]\r\npuretags=1\r\n",
         true, 3, true},
        {"MainForm spelling", "[MainForm]\r\nPureTags=1\r\n", false, -1, true},
        {"not a number", "[OPTIONS2]\r\nLINENUMBERS=yes\r\n[PARSER]\r\nSELECTED=html\r\n[MAINFORM]\r\nPURETAGS=true\r\n",
         false, -1, false},
        {"any integer but 0 is true", "[OPTIONS2]\r\nLINENUMBERS=2\r\n[MAINFORM]\r\nPURETAGS=-1\r\n", true, -1, true},
        {"hexadecimal", "[OPTIONS2]\r\nLINENUMBERS=0x0\r\n[PARSER]\r\nSELECTED=0X9\r\n[MAINFORM]\r\nPURETAGS=0x10\r\n",
         false, 9, true},
        {"blanks around", "  [ PARSER ]  \r\n  SELECTED  =  5  \r\n", false, 5, false},
        {"LF and CR line ends", "[PARSER]\nSELECTED=2\r[OPTIONS2]\nLINENUMBERS=1\n", true, 2, false},
        {"duplicate keys and sections: the first counts",
         "[PARSER]\r\nSELECTED=1\r\nselected=8\r\n[OPTIONS2]\r\nLINENUMBERS=1\r\n[parser]\r\nSELECTED=6\r\n", true, 1,
         false},
        {"junk, missing '=', empty key",
         "garbage before\r\n[PARSER\r\nSELECTED\r\n=4\r\n[PARSER]\r\nno equals here\r\n;SELECTED=2\r\n", false, -1,
         false},
        {"binary bytes", raw("\x00\xff\xfe\r\n[PARSER]\r\nSELECTED=\x01\x02\r\n\x80\x81\x00junk\r\n[MAINFORM]\r\nPURETAGS=1\r\n"),
         false, -1, true},
        {"empty file", "", false, -1, false},
        {"out of range", "[PARSER]\r\nSELECTED=99999999999\r\n", false, -1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fixture(QStringLiteral("Main.INI"), c.file);
        const ViewStates2 v = loadViewStates2();
        const MainFormStates m = loadMainForm();
        EXPECT_EQ(v.lineNumbers, c.lineNumbers);
        EXPECT_EQ(m_tools.LoadParserNumber(), c.parser);
        EXPECT_EQ(m.pureTags, c.pureTags);
        // Keys the fixture does not set keep their defaults.
        EXPECT_TRUE(v.tagCompletion);
        EXPECT_TRUE(m.gutter);
    }
}

TEST_F(SetupToolsTest, WritingAKeyKeepsEveryOtherLine)
{
    const QByteArray before("; kept comment\r\n"
                            "junk without equals\r\n"
                            "[PARSER]\r\n"
                            "SELECTED=2\r\n"
                            "Other = value ; with semicolon\r\n"
                            "\r\n"
                            "[mainform]\r\n"
                            "PURETAGS=1\r\n"
                            "[PARSER]\r\n"
                            "SELECTED=9\r\n"
                            "[Unknown]\r\n"
                            "bytes=\xC3\xA9t\xC3\xA9\r\n");
    const QString path = fixture(QStringLiteral("Main.INI"), before);
    ASSERT_TRUE(m_tools.SaveParserNumber(5));
    QByteArray expected = before;
    expected.replace("SELECTED=2", "SELECTED=5");
    EXPECT_EQ(bytesOf(path), expected);
    EXPECT_EQ(m_tools.LoadParserNumber(), 5);
    EXPECT_TRUE(loadMainForm().pureTags);
}

TEST_F(SetupToolsTest, FilesAreFoundWithoutRegardToLetterCase)
{
    const QString main = fixture(QStringLiteral("main.ini"), "[PARSER]\r\nSELECTED=3\r\n");
    const QString halvorn = fixture(QStringLiteral("HALVORN.ini"), "[CONNECTION]\r\nADDRESS=http://h.example\r\n");
    fixture(QStringLiteral("browsers.ini"), "Firefox=/usr/bin/firefox\r\n");

    EXPECT_EQ(m_tools.LoadParserNumber(), 3);
    QString address;
    m_tools.LoadHalvornNetworkSettings(&address);
    EXPECT_EQ(address, QStringLiteral("http://h.example"));
    EXPECT_EQ(m_tools.LoadBrowsers(), (QList<TBrowserEntry>{{QStringLiteral("Firefox"), QStringLiteral("/usr/bin/firefox")}}));

    ASSERT_TRUE(m_tools.SaveParserNumber(4));
    ASSERT_TRUE(m_tools.AddBrowser(QStringLiteral("Chromium"), QStringLiteral("/usr/bin/chromium")));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("HALVORN.ini"), QStringLiteral("browsers.ini"), QStringLiteral("main.ini")}));
    EXPECT_EQ(bytesOf(main), QByteArray("[PARSER]\r\nSELECTED=4\r\n"));
    EXPECT_EQ(bytesOf(halvorn), QByteArray("[CONNECTION]\r\nADDRESS=http://h.example\r\n"));
}

TEST_F(SetupToolsTest, ReadOnlyFileGivesUnableToWriteAndStaysUnchanged)
{
    const QString mainPath = QFileInfo(pathOf(QStringLiteral("Main.INI"))).absoluteFilePath();
    const QString halvornPath = QFileInfo(pathOf(QStringLiteral("Halvorn.INI"))).absoluteFilePath();
    const QString browsersPath = QFileInfo(pathOf(QStringLiteral("Browsers.INI"))).absoluteFilePath();
    const QByteArray mainBytes("[PATHS]\r\nIE=AUTOMATIC\r\n");
    const QByteArray halvornBytes("[USERDETAILS]\r\nUSERNAME=ann\r\n");
    const QByteArray browsersBytes("Opera=/usr/bin/opera\r\n");
    fixture(QStringLiteral("Main.INI"), mainBytes);
    fixture(QStringLiteral("Halvorn.INI"), halvornBytes);
    fixture(QStringLiteral("Browsers.INI"), browsersBytes);
    for (const QString &p : {mainPath, halvornPath, browsersPath})
        ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), 0444), 0);

    const struct
    {
        const char *what;
        std::function<bool()> save;
        QString path;
    } cases[] = {
        {"view states", [&] { return m_tools.SaveFormViewStates2(true, true, true, true); }, mainPath},
        {"main form", [&] { return m_tools.SaveMainFormViewState(true, true, true, true, true, true, true); }, mainPath},
        {"parser", [&] { return m_tools.SaveParserNumber(1); }, mainPath},
        {"main folder", [&] { return m_tools.SaveLastMainDirectory(QStringLiteral("/a")); }, mainPath},
        {"open folder", [&] { return m_tools.SaveOpenDir(QStringLiteral("/a")); }, mainPath},
        {"image folder", [&] { return m_tools.SaveLastImageDirectory(QStringLiteral("/a")); }, mainPath},
        {"remove system browser", [&] { return m_tools.RemoveBrowser(QStringLiteral("system default browser")); }, mainPath},
        {"user details", [&] { return m_tools.SaveHalvornUserNameAndPassword(QStringLiteral("bo"), QStringLiteral("pw"), true); }, halvornPath},
        {"network", [&] { return m_tools.SaveHalvornNetworkSettings(QStringLiteral("http://x")); }, halvornPath},
        {"add browser", [&] { return m_tools.AddBrowser(QStringLiteral("Lynx"), QStringLiteral("/usr/bin/lynx")); }, browsersPath},
        {"remove browser", [&] { return m_tools.RemoveBrowser(QStringLiteral("OPERA")); }, browsersPath},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.save());
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 1);  // stops at the first key
        EXPECT_EQ(boxes[0].text, QStringLiteral("Unable to write to ") + c.path);
        EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
        EXPECT_EQ(boxes[0].buttons, mbOK);
    }
    EXPECT_EQ(bytesOf(mainPath), mainBytes);
    EXPECT_EQ(bytesOf(halvornPath), halvornBytes);
    EXPECT_EQ(bytesOf(browsersPath), browsersBytes);
}

TEST_F(SetupToolsTest, UnwritableDataFolderReportsEachFailedSave)
{
    // A data folder below a regular file can be written by nobody, root included.
    const QString blocker = fixture(QStringLiteral("blocker"), "not a folder");
    DataFolder::setPath(blocker + QStringLiteral("/data"));
    const QString mainPath = blocker + QStringLiteral("/data/Main.INI");

    EXPECT_FALSE(m_tools.SaveParserNumber(2));
    EXPECT_FALSE(m_tools.AddBrowser(QStringLiteral("Lynx"), QStringLiteral("/usr/bin/lynx")));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Unable to write to ") + mainPath);
    EXPECT_EQ(m_debug, QStringList{QStringLiteral("Error: TSetupTools: AddBrowser: Could not create Browsers.INI")});
    EXPECT_EQ(m_tools.LoadParserNumber(), -1);
}

TEST_F(SetupToolsTest, HalvornIniIsMadePrivateOnEveryWrite)
{
    const auto writes = {
        +[](TSetupTools &tools) { return tools.SaveHalvornNetworkSettings(QStringLiteral("http://net.example/")); },
        +[](TSetupTools &tools) {
            return tools.SaveHalvornUserNameAndPassword(QStringLiteral("ann"), QStringLiteral("secret"), false);
        },
    };
    for (const auto write : writes) {
        QFile::remove(halvornIni());
        ASSERT_TRUE(write(m_tools));
        EXPECT_EQ(modeOf(halvornIni()), 0600);
        // A file others could read before is private after the next write.
        ASSERT_EQ(::chmod(QFile::encodeName(halvornIni()).constData(), 0644), 0);
        ASSERT_TRUE(write(m_tools));
        EXPECT_EQ(modeOf(halvornIni()), 0600);
    }
    saveAccount(QStringLiteral("ann"), QStringLiteral("secret"), false);  // nothing left running
}

// The tests run without a session bus (tests/testmain.cpp), so no secret
// store answers: the password is kept in Halvorn.INI, readable by its owner
// only, whatever the file's mode was.
TEST_F(SetupToolsTest, WithoutASecretStoreThePasswordStaysInAPrivateHalvornIni)
{
    fixture(QStringLiteral("Halvorn.INI"), "[CONNECTION]\r\nADDRESS=http://h\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(halvornIni()).constData(), 0644), 0);

    const Settled saved = saveAccount(QStringLiteral("ann"), QStringLiteral("p;a=ss word"), true);
    EXPECT_FALSE(saved.inSecretStore);
    EXPECT_TRUE(saved.note.startsWith(QStringLiteral("The desktop's secret store did not answer (")))
        << saved.note.toStdString();
    EXPECT_TRUE(saved.note.endsWith(QStringLiteral("): the password is kept in Halvorn.INI, readable by you only.")));
    EXPECT_EQ(bytesOf(halvornIni()), QByteArray("[CONNECTION]\r\nADDRESS=http://h\r\n\r\n"
                                                 "[USERDETAILS]\r\nUSERNAME=ann\r\nAUTOCONNECT=1\r\n"
                                                 "PASSWORD=p;a=ss word\r\n"));
    EXPECT_EQ(modeOf(halvornIni()), 0600);
    EXPECT_EQ(loadPassword(), QStringLiteral("p;a=ss word"));

    // A sign-in's move keeps it there, never losing it, and the file private.
    ASSERT_EQ(::chmod(QFile::encodeName(halvornIni()).constData(), 0644), 0);
    const QByteArray before = bytesOf(halvornIni());
    const Settled moved = movePasswordToStore();
    EXPECT_FALSE(moved.inSecretStore);
    EXPECT_TRUE(moved.note.endsWith(QStringLiteral("): the password stays in Halvorn.INI, readable by you only.")));
    EXPECT_EQ(bytesOf(halvornIni()), before);
    EXPECT_EQ(modeOf(halvornIni()), 0600);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(SetupToolsTest, NetworkDetailsRoundTripAndFillTheGlobals)
{
    saveAccount(QStringLiteral("ann"), QStringLiteral("p;a=ss word"), true);
    EXPECT_EQ(gUserName, QString());  // saving does not touch the session's credentials
    EXPECT_EQ(gPassword, QString());
    ASSERT_TRUE(m_tools.SaveHalvornNetworkSettings(QStringLiteral("http://net.example/halvorn")));
    EXPECT_EQ(gLookupAddress, QStringLiteral("http://net.example/halvorn"));
    EXPECT_EQ(bytesOf(pathOf(QStringLiteral("Halvorn.INI"))),
              QByteArray("[USERDETAILS]\r\nUSERNAME=ann\r\nAUTOCONNECT=1\r\nPASSWORD=p;a=ss word\r\n\r\n"
                         "[CONNECTION]\r\nADDRESS=http://net.example/halvorn\r\n"));

    gLookupAddress.clear();
    QString user, password, address;
    bool autoConnect = false;
    m_tools.LoadHalvornUserNameAndPassword(&user, &password, &autoConnect);
    m_tools.LoadHalvornNetworkSettings(&address);
    EXPECT_EQ(user, QStringLiteral("ann"));
    EXPECT_EQ(password, QStringLiteral("p;a=ss word"));
    EXPECT_TRUE(autoConnect);
    EXPECT_EQ(address, QStringLiteral("http://net.example/halvorn"));
    EXPECT_EQ(gUserName, QStringLiteral("ann"));
    EXPECT_EQ(gPassword, QStringLiteral("p;a=ss word"));
    EXPECT_EQ(gLookupAddress, QStringLiteral("http://net.example/halvorn"));
    EXPECT_TRUE(m_debug.isEmpty());
}

TEST_F(SetupToolsTest, EmptyUserNameOrPasswordStoresNothing)
{
    saveAccount(QStringLiteral("ann"), QStringLiteral("one"), true);
    const QByteArray stored = bytesOf(pathOf(QStringLiteral("Halvorn.INI")));

    EXPECT_FALSE(m_tools.SaveHalvornUserNameAndPassword(QString(), QStringLiteral("two"), false));
    EXPECT_FALSE(m_tools.SaveHalvornUserNameAndPassword(QStringLiteral("bob"), QString(), false));
    EXPECT_EQ(bytesOf(pathOf(QStringLiteral("Halvorn.INI"))), stored);
    EXPECT_EQ(m_debug, (QStringList{QStringLiteral("SaveHalvornUserNameAndPassWord: Username=Nil"),
                                    QStringLiteral("SaveHalvornUserNameAndPassWord: Password=Nil")}));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

// Run by ctest's SetupToolsSecretService (tests/support/secretservice.sh):
// a real Secret Service (gnome-keyring-daemon) on a private session bus.
class SetupToolsSecretService : public SetupToolsTest
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QUORVANT_TEST_SECRET_SERVICE"))
            GTEST_SKIP() << "needs a Secret Service on a private bus: run by ctest's SetupToolsSecretService";
        SetupToolsTest::SetUp();
    }
    void TearDown() override
    {
        TSecretStore::setAnswerTimeout(0);
        SetupToolsTest::TearDown();
    }
};

TEST_F(SetupToolsSecretService, ThePasswordIsKeptInTheStoreAndHalvornIniHoldsNone)
{
    // A clear password of an older save is replaced, not left behind.
    fixture(QStringLiteral("Halvorn.INI"), "[USERDETAILS]\r\nUSERNAME=ann\r\nPASSWORD=older\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(halvornIni()).constData(), 0644), 0);
    const Settled saved = saveAccount(QStringLiteral("ann"), QStringLiteral("s3cret word"), true);
    EXPECT_TRUE(saved.inSecretStore);
    EXPECT_EQ(saved.note, QString());
    EXPECT_TRUE(TSecretStore::loaded());
    EXPECT_EQ(bytesOf(halvornIni()), QByteArray("[USERDETAILS]\r\nUSERNAME=ann\r\nAUTOCONNECT=1\r\n"));
    EXPECT_EQ(modeOf(halvornIni()), 0600);

    // The start-up load reads the file only; the password comes from the store.
    QString user, password;
    bool autoConnect = false;
    m_tools.LoadHalvornUserNameAndPassword(&user, &password, &autoConnect);
    EXPECT_EQ(user, QStringLiteral("ann"));
    EXPECT_EQ(password, QString());
    QString note;
    EXPECT_EQ(loadPassword(&note), QStringLiteral("s3cret word"));
    EXPECT_EQ(note, QString());
    EXPECT_EQ(gPassword, QStringLiteral("s3cret word"));

    // An empty password never replaces the stored one.
    EXPECT_FALSE(m_tools.SaveHalvornUserNameAndPassword(QStringLiteral("ann"), QString(), false));
    TSetupTools again;
    bool found = false;
    again.LoadHalvornPassword([&](const QString &p, const QString &) {
        found = true;
        password = p;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return found; }, TSecretStore::kAnswerTimeoutMs + 5000));
    EXPECT_EQ(password, QStringLiteral("s3cret word"));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(SetupToolsSecretService, AClearPasswordLeavesHalvornIniOnlyOnceTheStoreGaveItBack)
{
    const QByteArray clear = "[USERDETAILS]\r\nUSERNAME=bob\r\nPASSWORD=clear pw\r\nAUTOCONNECT=1\r\n";
    fixture(QStringLiteral("Halvorn.INI"), clear);
    ASSERT_EQ(::chmod(QFile::encodeName(halvornIni()).constData(), 0644), 0);

    // A store that does not answer in time: the password stays, the file is
    // made private.
    const pid_t service = pid_t(qEnvironmentVariableIntValue("QUORVANT_TEST_SECRET_SERVICE_PID"));
    ASSERT_GT(service, 0);
    TSecretStore::setAnswerTimeout(300);
    ASSERT_EQ(::kill(service, SIGSTOP), 0);
    const Settled stalled = movePasswordToStore();
    ASSERT_EQ(::kill(service, SIGCONT), 0);
    EXPECT_FALSE(stalled.inSecretStore);
    EXPECT_EQ(stalled.note, QStringLiteral("The desktop's secret store did not answer (no answer within 300 ms): "
                                           "the password stays in Halvorn.INI, readable by you only."));
    EXPECT_EQ(bytesOf(halvornIni()), clear);
    EXPECT_EQ(modeOf(halvornIni()), 0600);

    TSecretStore::setAnswerTimeout(0);
    const Settled moved = movePasswordToStore();
    EXPECT_TRUE(moved.inSecretStore);
    EXPECT_EQ(moved.note, QStringLiteral("The password was moved from Halvorn.INI into the desktop's secret store."));
    EXPECT_EQ(bytesOf(halvornIni()), QByteArray("[USERDETAILS]\r\nUSERNAME=bob\r\nAUTOCONNECT=1\r\n"));
    EXPECT_EQ(loadPassword(), QStringLiteral("clear pw"));

    // Nothing clear left: a second move has nothing to do.
    const Settled nothing = movePasswordToStore();
    EXPECT_FALSE(nothing.inSecretStore);
    EXPECT_EQ(nothing.note, QString());
}

TEST_F(SetupToolsTest, MissingFieldsOnlyWriteDiagnosticLines)
{
    fixture(QStringLiteral("Halvorn.INI"), "[USERDETAILS]\r\nUSERNAME=ann\r\nPASSWORD=pw\r\n[CONNECTION]\r\nADDRESS=a\r\n");
    QString text;
    bool flag = false;
    m_tools.LoadHalvornUserNameAndPassword(nullptr, &text, &flag);
    m_tools.LoadHalvornUserNameAndPassword(&text, nullptr, &flag);
    m_tools.LoadHalvornNetworkSettings(nullptr);
    m_tools.LoadSystemSettings(nullptr);
    EXPECT_EQ(m_debug, (QStringList{QStringLiteral("LoadHalvornUserNameAndPassword: Username=Nil"),
                                    QStringLiteral("LoadHalvornUserNameAndPassword: Password=Nil"),
                                    QStringLiteral("TSetupTools.LoadHalvornNetworkSettings : Address=Nil"),
                                    QStringLiteral("TSetupTools.LoadSystemSettings : OptionMenu = Nil")}));
    EXPECT_EQ(text, QString());
    EXPECT_EQ(gUserName, QString());
    EXPECT_EQ(gLookupAddress, QString());
    EXPECT_FALSE(QFileInfo::exists(pathOf(QStringLiteral("Main.INI"))));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());

    // Without the check box the two text fields are still filled.
    QString user, password;
    m_tools.LoadHalvornUserNameAndPassword(&user, &password, nullptr);
    EXPECT_EQ(user, QStringLiteral("ann"));
    EXPECT_EQ(password, QStringLiteral("pw"));
}

TEST_F(SetupToolsTest, FirstRunQuestionIsAskedOncePerMainIni)
{
    fixture(QStringLiteral("Halvorn.INI"),
            "[USERDETAILS]\r\nUSERNAME=ann\r\nPASSWORD=pw\r\nAUTOCONNECT=1\r\n[CONNECTION]\r\nADDRESS=http://h\r\n");
    fixture(QStringLiteral("Browsers.INI"), "Firefox=/usr/bin/firefox\r\n");
    const QString mainPath = pathOf(QStringLiteral("Main.INI"));

    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        QFile::remove(mainPath);  // as "Reset Editor Defaults" does
        MessageService::queueAnswer(DialogAnswer::pressed(yes ? mbYes : mbNo));
        TSystemSettings settings;
        m_tools.LoadSystemSettings(&settings);

        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].text, kFirstRunQuestion);
        EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
        EXPECT_EQ(boxes[0].buttons, YesNo);
        EXPECT_EQ(bytesOf(mainPath), yes ? QByteArray("[GENERAL]\r\nFIRSTRUN=0\r\n\r\n[PATHS]\r\nIE=AUTOMATIC\r\n")
                                         : QByteArray("[GENERAL]\r\nFIRSTRUN=0\r\n"));

        QList<TBrowserEntry> browsers{{QStringLiteral("Firefox"), QStringLiteral("/usr/bin/firefox")}};
        if (yes)
            browsers.prepend({QStringLiteral("System Default Browser"), QStringLiteral("AUTOMATIC")});
        EXPECT_EQ(settings.Browsers, browsers);
        EXPECT_EQ(settings.HalvornNetworkAddress, QStringLiteral("http://h"));
        EXPECT_EQ(settings.HalvornUsernameedit, QStringLiteral("ann"));
        EXPECT_EQ(settings.HalvornPasswordedit, QStringLiteral("pw"));
        EXPECT_TRUE(settings.HalvornAutoConnect);
        EXPECT_EQ(gUserName, QStringLiteral("ann"));
        EXPECT_EQ(gLookupAddress, QStringLiteral("http://h"));

        // The refresh from the options dialog does not ask again.
        TSystemSettings again;
        m_tools.LoadSystemSettings(&again);
        EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
        EXPECT_EQ(again.Browsers, browsers);
    }
}

TEST_F(SetupToolsTest, FirstRunWithAReadOnlyMainIniReportsAndStillLoads)
{
    const QString mainPath = QFileInfo(fixture(QStringLiteral("Main.INI"), "[PARSER]\r\nSELECTED=1\r\n")).absoluteFilePath();
    ASSERT_EQ(::chmod(QFile::encodeName(mainPath).constData(), 0444), 0);
    MessageService::queueAnswers({DialogAnswer::pressed(mbOK), DialogAnswer::pressed(mbYes)});
    TSystemSettings settings;
    m_tools.LoadSystemSettings(&settings);
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Unable to write to ") + mainPath);
    EXPECT_EQ(boxes[1].text, kFirstRunQuestion);
    EXPECT_EQ(boxes[2].text, QStringLiteral("Unable to write to ") + mainPath);  // FindIE's key
    EXPECT_TRUE(settings.Browsers.isEmpty());
    EXPECT_EQ(bytesOf(mainPath), QByteArray("[PARSER]\r\nSELECTED=1\r\n"));
}

TEST_F(SetupToolsTest, LoadBrowsersSplitsEachLineAtItsEqualsSigns)
{
    fixture(QStringLiteral("Main.INI"), "[paths]\r\nie=AUTOMATIC\r\n");
    fixture(QStringLiteral("Browsers.INI"),
            raw("Firefox=/usr/bin/firefox\r\n"
                       "\r\n"
                       "Odd=/opt/a=b/run\r\n"
                       "No equals\n"
                       "=/nameless\r"
                       "Bin\x00\xff=/x\r\n"
                "Spaced Name = /path with spaces \r\n"));
    const QList<TBrowserEntry> expected{
        {QStringLiteral("System Default Browser"), QStringLiteral("AUTOMATIC")},
        {QStringLiteral("Firefox"), QStringLiteral("/usr/bin/firefox")},
        {QString(), QString()},
        {QStringLiteral("Odd"), QStringLiteral("/opt/a")},
        {QStringLiteral("No equals"), QString()},
        {QString(), QStringLiteral("/nameless")},
        {QStringLiteral("Bin") + QChar(0) + QStringLiteral("\u00ff"), QStringLiteral("/x")},
        {QStringLiteral("Spaced Name "), QStringLiteral(" /path with spaces ")},
    };
    EXPECT_EQ(m_tools.LoadBrowsers(), expected);
}

TEST_F(SetupToolsTest, AddAndRemoveBrowsersIgnoringLetterCase)
{
    const QString path = pathOf(QStringLiteral("Browsers.INI"));
    ASSERT_TRUE(m_tools.AddBrowser(QStringLiteral("Opera"), QStringLiteral("/usr/bin/opera")));
    ASSERT_TRUE(m_tools.AddBrowser(QStringLiteral("Lynx"), QStringLiteral("/usr/bin/lynx")));
    ASSERT_TRUE(m_tools.AddBrowser(QStringLiteral("Chromium"), QStringLiteral("/opt/my browser/chrome")));
    EXPECT_EQ(bytesOf(path),
              QByteArray("Opera=/usr/bin/opera\r\nLynx=/usr/bin/lynx\r\nChromium=/opt/my browser/chrome\r\n"));
    const QByteArray three = bytesOf(path);

    for (const char *name : {"OPERA", "system default BROWSER"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m_tools.AddBrowser(QString::fromLatin1(name), QStringLiteral("/elsewhere")));
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].text, QStringLiteral("You already have a browser named \"%1\" you cannot add another "
                                                "with the same name")
                                     .arg(QString::fromLatin1(name)));
        EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
        EXPECT_EQ(boxes[0].buttons, mbOK);
        EXPECT_EQ(bytesOf(path), three);
    }

    // Every line of the name goes, the others keep their order.
    fixture(QStringLiteral("Browsers.INI"), "Opera=/a\r\nLynx=/b\r\n\r\nopera=/c\r\nChromium=/d\r\n");
    ASSERT_TRUE(m_tools.RemoveBrowser(QStringLiteral("oPeRa")));
    EXPECT_EQ(bytesOf(path), QByteArray("Lynx=/b\r\n\r\nChromium=/d\r\n"));
    EXPECT_FALSE(m_tools.RemoveBrowser(QString()));
    EXPECT_FALSE(m_tools.RemoveBrowser(QStringLiteral("Netscape")));
    EXPECT_EQ(bytesOf(path), QByteArray("Lynx=/b\r\n\r\nChromium=/d\r\n"));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
    EXPECT_TRUE(m_debug.isEmpty());
}

// A U+FEFF that begins a name is text, not a byte order mark: written back
// with a mark before it, it reads back whole. A file's mark stays too.
TEST_F(SetupToolsTest, AddAndRemoveKeepTheByteOrderMarkAndALeadingZeroWidthNoBreakSpace)
{
    const QString path = pathOf(QStringLiteral("Browsers.INI"));
    const QString zwnbsp(QChar(0xFEFF));
    const struct
    {
        const char *what;
        QByteArray file;
        QList<TBrowserEntry> entries;
    } cases[] = {
        {"a mark, then the character", "\xEF\xBB\xBF\xEF\xBB\xBFLynx=/b\r\n",
         {{zwnbsp + QStringLiteral("Lynx"), QStringLiteral("/b")}}},
        {"a mark alone", "\xEF\xBB\xBFLynx=/b\r\n", {{QStringLiteral("Lynx"), QStringLiteral("/b")}}},
        {"no file", QByteArray(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        if (!c.file.isEmpty())
            fixture(QStringLiteral("Browsers.INI"), c.file);
        ASSERT_EQ(m_tools.LoadBrowsers(), c.entries);

        const TBrowserEntry added{zwnbsp + QStringLiteral("Opera"), QStringLiteral("/usr/bin/opera")};
        ASSERT_TRUE(m_tools.AddBrowser(added.Name, added.Path));
        EXPECT_EQ(m_tools.LoadBrowsers(), c.entries + QList<TBrowserEntry>{added});
        ASSERT_TRUE(m_tools.RemoveBrowser(added.Name));
        EXPECT_EQ(m_tools.LoadBrowsers(), c.entries);
        if (!c.file.isEmpty()) {
            EXPECT_EQ(bytesOf(path), c.file);
        }
    }
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(SetupToolsTest, SystemBrowserEntryIsTheStoredIeKey)
{
    fixture(QStringLiteral("Main.INI"), "[PARSER]\r\nSELECTED=2\r\n");
    fixture(QStringLiteral("Browsers.INI"), "Lynx=/usr/bin/lynx\r\n");
    const QString mainPath = pathOf(QStringLiteral("Main.INI"));

    m_tools.FindIE();
    EXPECT_EQ(bytesOf(mainPath), QByteArray("[PARSER]\r\nSELECTED=2\r\n\r\n[PATHS]\r\nIE=AUTOMATIC\r\n"));
    EXPECT_EQ(m_tools.LoadBrowsers().first(),
              (TBrowserEntry{QStringLiteral("System Default Browser"), QStringLiteral("AUTOMATIC")}));
    m_tools.FindIE();  // already listed: nothing written
    EXPECT_EQ(bytesOf(mainPath), QByteArray("[PARSER]\r\nSELECTED=2\r\n\r\n[PATHS]\r\nIE=AUTOMATIC\r\n"));

    ASSERT_TRUE(m_tools.RemoveBrowser(QStringLiteral("SYSTEM DEFAULT BROWSER")));
    EXPECT_EQ(bytesOf(mainPath), QByteArray("[PARSER]\r\nSELECTED=2\r\n\r\n[PATHS]\r\nIE=\r\n"));
    EXPECT_EQ(m_tools.LoadBrowsers(), (QList<TBrowserEntry>{{QStringLiteral("Lynx"), QStringLiteral("/usr/bin/lynx")}}));
    EXPECT_EQ(bytesOf(pathOf(QStringLiteral("Browsers.INI"))), QByteArray("Lynx=/usr/bin/lynx\r\n"));

    m_tools.FindIE();
    EXPECT_EQ(m_tools.LoadBrowsers().size(), 2);
}

TEST_F(SetupToolsTest, MenuItemClickStartsTheBrowsersOfThatName)
{
    fixture(QStringLiteral("Browsers.INI"),
            "Opera=/usr/bin/opera\r\n\r\nLynx=/usr/bin/lynx\r\nopera=/opt/opera beta/opera\r\nEmpty=\r\n");
    QList<QPair<QString, QString>> launched;
    m_tools.setLauncher([&launched](const QString &program, const QString &argument) {
        launched.append({program, argument});
    });
    const QString preview = QStringLiteral("/home/ann/my site/Preview.Htm");

    const struct
    {
        const char *caption;
        QList<QPair<QString, QString>> expected;
    } cases[] = {
        {"&System Default Browser", {{QString(), preview}}},
        {"&Opera", {{QStringLiteral("/usr/bin/opera"), preview}, {QStringLiteral("/opt/opera beta/opera"), preview}}},
        {"LYNX", {{QStringLiteral("/usr/bin/lynx"), preview}}},
        {"", {}},
        {"Empty", {}},
        {"Netscape", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        launched.clear();
        m_tools.MenuItemClick(QString::fromLatin1(c.caption), preview);
        EXPECT_EQ(launched, c.expected);
    }
}

TEST_F(SetupToolsTest, ARealBrowserReceivesThePathAsOneArgument)
{
    // A small program that records how many arguments it got, and each.
    QDir().mkpath(pathOf(QStringLiteral("my tools")));
    const QString program = pathOf(QStringLiteral("my tools/record browser"));
    const QString record = pathOf(QStringLiteral("arguments.txt"));
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.tmp\"\n"
                     "mv \"$0.tmp\" '" + record.toUtf8() + "'\n");
    }
    ASSERT_TRUE(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    fixture(QStringLiteral("Browsers.INI"), "Recorder=" + program.toUtf8() + "\r\n");
    const QString preview = pathOf(QStringLiteral("my site/Preview Page.Htm"));

    m_tools.MenuItemClick(QStringLiteral("Recorder"), preview);
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(record) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the browser never ran";
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("1\n") + preview + u'\n');
}

} // namespace
