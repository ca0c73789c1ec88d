// The options dialog driven offscreen: preferences loaded on showing and
// stored on Done, the browser list commands, and the network fields.
#include "optionsmenu.h"

#include "datafolder.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tsecretstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Quorvant;

namespace {

const QString kSystem = QStringLiteral("System Default Browser");

// Each check box with the key it stands for.
struct BoxKey
{
    const char *box;
    const char *key;
};
const BoxKey kBoxes[] = {
    {"CheckBox1", "LINENUMBERS"}, {"CheckBox3", "WORDWRAP"},     {"CheckBox4", "GUTTER"},
    {"CheckBox5", "TAG-COMPLETION"}, {"CheckBox6", "PURETAGS"},  {"CheckBox7", "LARGEBUTTONBAR"},
    {"CheckBox8", "CONTROLBAR"},  {"CheckBox9", "SIDEBAR"},      {"CheckBox10", "COLORBAR"},
    {"CheckBox11", "CHARACTERLIST"}, {"CheckBox12", "TAG-CASE"},
};

class OptionsMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        resetSettingsGlobals();
        gSetupTools = &m_tools;
        // The first-run question is covered by the store's own tests.
        write(QStringLiteral("Main.INI"), "[GENERAL]\r\nFIRSTRUN=0\r\n");
        m_menu = std::make_unique<TOptionsMenu>([this] { ++m_applied; },
                                                [this](const TSystemSettings &s) { m_reloads.append(s); });
    }

    void TearDown() override
    {
        m_menu.reset();
        MessageService::resetTestHook();
        MessageService::setTestHookEnabled(false);
        resetSettingsGlobals();
    }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray bytesOf(const QString &name) const
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    template<typename T>
    T *child(const char *name) const
    {
        T *w = m_menu->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QCheckBox *box(const char *name) const { return child<QCheckBox>(name); }
    void click(const char *name) const { child<QPushButton>(name)->click(); }
    QTreeWidget *browserList() const { return child<QTreeWidget>("BrowserListView"); }

    // Every stored check box value, keyed as in kBoxes.
    QMap<QString, bool> storedBoxes() const
    {
        QMap<QString, bool> v;
        bool a, b, c, d, e, f, g;
        m_tools.LoadMainFormViewState(a, b, c, d, e, f, g);
        v["PURETAGS"] = a, v["LARGEBUTTONBAR"] = b, v["CONTROLBAR"] = c, v["SIDEBAR"] = d, v["COLORBAR"] = e;
        v["GUTTER"] = f, v["CHARACTERLIST"] = g;
        m_tools.LoadFormViewStates2(a, b, c, d);
        v["LINENUMBERS"] = a, v["WORDWRAP"] = b, v["TAG-COMPLETION"] = c, v["TAG-CASE"] = d;
        return v;
    }

    QList<TBrowserEntry> rows() const
    {
        QList<TBrowserEntry> r;
        for (int i = 0; i < browserList()->topLevelItemCount(); ++i)
            r.append({browserList()->topLevelItem(i)->text(0), browserList()->topLevelItem(i)->text(1)});
        return r;
    }

    // Loads the stored list into the dialog, as the owner does at start-up.
    void loadSystemSettings()
    {
        TSystemSettings s;
        m_tools.LoadSystemSettings(&s);
        m_menu->fillSystemSettings(s);
    }

    static QStringList texts(const QList<RecordedDialog> &boxes)
    {
        QStringList t;
        for (const RecordedDialog &b : boxes)
            t.append(b.text);
        return t;
    }

    QTemporaryDir m_dir;
    TSetupTools m_tools;
    std::unique_ptr<TOptionsMenu> m_menu;
    int m_applied = 0;
    QList<TSystemSettings> m_reloads;
};

TEST_F(OptionsMenuTest, AToolWindowWithTwoTabsAndHiddenNetworkPages)
{
    EXPECT_EQ(m_menu->objectName(), QStringLiteral("OptionsMenu"));
    EXPECT_EQ(m_menu->windowTitle(), QStringLiteral("Quorvant: Options Menu"));
    EXPECT_EQ(m_menu->windowType(), Qt::Tool);
    EXPECT_TRUE(m_menu->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(m_menu->windowModality(), Qt::NonModal);

    const auto *tabs = m_menu->findChild<QTabWidget *>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General Preferences"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Browser Options"));
    EXPECT_EQ(tabs->currentIndex(), 0);

    QStringList parsers;
    for (int i = 0; i < child<QComboBox>("ComboBox1")->count(); ++i)
        parsers.append(child<QComboBox>("ComboBox1")->itemText(i));
    EXPECT_EQ(parsers, QStringList({"HTML", "Perl", "VBScript", "JavaScript", "C", "C++", "Python", "Delphi (pas)",
                                    "Delphi (dfm)", "Custom"}));
    EXPECT_EQ(browserList()->headerItem()->text(0), QStringLiteral("Browser Name:"));
    EXPECT_EQ(browserList()->headerItem()->text(1), QStringLiteral("Browser Path"));
    EXPECT_EQ(child<QLineEdit>("HalvornPasswordedit")->echoMode(), QLineEdit::Password);

    m_menu->show();
    EXPECT_TRUE(m_menu->isVisible());
    for (const char *name : {"HalvornUsernameedit", "HalvornPasswordedit", "HalvornAutoConnect",
                             "HalvornNetworkAddress", "Image37", "Label18"}) {
        const QWidget *w = child<QWidget>(name);
        EXPECT_FALSE(w->isVisible()) << name;
        EXPECT_FALSE(tabs->isAncestorOf(w)) << name;
    }
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(OptionsMenuTest, ShowingLoadsTheStoredValuesAndCancelStoresNothing)
{
    // Every stored value the opposite of its default.
    write(QStringLiteral("Main.INI"),
          "[GENERAL]\r\nFIRSTRUN=0\r\n[OPTIONS2]\r\nLINENUMBERS=1\r\nWORDWRAP=1\r\nTAG-COMPLETION=0\r\nTAG-CASE=0\r\n"
          "[MainForm]\r\nPURETAGS=1\r\nLARGEBUTTONBAR=0\r\nCONTROLBAR=0\r\nSIDEBAR=0\r\nCOLORBAR=0\r\nGUTTER=0\r\n"
          "CHARACTERLIST=1\r\n[PARSER]\r\nSELECTED=7\r\n");
    const QByteArray before = bytesOf(QStringLiteral("Main.INI"));
    const QMap<QString, bool> stored = storedBoxes();

    m_menu->show();
    for (const BoxKey &b : kBoxes)
        EXPECT_EQ(box(b.box)->isChecked(), stored.value(QLatin1String(b.key))) << b.box;
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), 7);

    for (const BoxKey &b : kBoxes)
        box(b.box)->toggle();
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    click("Image16");
    EXPECT_FALSE(m_menu->isVisible());
    EXPECT_EQ(m_applied, 0);
    EXPECT_EQ(bytesOf(QStringLiteral("Main.INI")), before);

    // The next showing reads the file again.
    m_menu->show();
    for (const BoxKey &b : kBoxes)
        EXPECT_EQ(box(b.box)->isChecked(), stored.value(QLatin1String(b.key))) << b.box;
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), 7);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(OptionsMenuTest, ParserNumbersOutsideTheListLeaveNoSelection)
{
    for (const char *stored : {"", "SELECTED=-1\r\n", "SELECTED=10\r\n", "SELECTED=0\r\n"}) {
        write(QStringLiteral("Main.INI"), QByteArray("[GENERAL]\r\nFIRSTRUN=0\r\n[PARSER]\r\n") + stored);
        m_menu->hide();
        m_menu->show();
        EXPECT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), QByteArray(stored) == "SELECTED=0\r\n" ? 0 : -1)
            << stored;
    }
}

TEST_F(OptionsMenuTest, DoneStoresEachCheckBoxUnderItsOwnKeyThenApplies)
{
    int storedParserWhenApplied = -2;
    m_menu = std::make_unique<TOptionsMenu>([&] {
        ++m_applied;
        storedParserWhenApplied = m_tools.LoadParserNumber();
    });
    // One box on at a time, so that any two keys swapped show.
    for (const BoxKey &on : kBoxes) {
        SCOPED_TRACE(on.box);
        m_applied = 0;
        m_menu->show();
        for (const BoxKey &b : kBoxes)
            box(b.box)->setChecked(&b == &on);
        child<QComboBox>("ComboBox1")->setCurrentIndex(5);
        click("Image46");

        EXPECT_FALSE(m_menu->isVisible());
        EXPECT_EQ(m_applied, 1);
        EXPECT_EQ(storedParserWhenApplied, 5);  // stored before applying
        const QMap<QString, bool> stored = storedBoxes();
        for (const BoxKey &b : kBoxes)
            EXPECT_EQ(stored.value(QLatin1String(b.key)), &b == &on) << b.key;
    }
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(OptionsMenuTest, DoneWithoutAParserStoresMinusOne)
{
    m_menu->show();
    child<QComboBox>("ComboBox1")->setCurrentIndex(-1);
    click("Image46");
    EXPECT_EQ(m_tools.LoadParserNumber(), -1);
    EXPECT_EQ(m_applied, 1);
}

TEST_F(OptionsMenuTest, DoneThatCannotStoreKeepsTheDialogOpenAndAppliesNothing)
{
    const QString mainIni = m_dir.filePath(QStringLiteral("Main.INI"));
    ASSERT_EQ(::chmod(QFile::encodeName(mainIni).constData(), 0444), 0);
    m_menu->show();
    box("CheckBox1")->setChecked(true);
    click("Image46");
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Unable to write to ") + mainIni);
    EXPECT_EQ(m_applied, 0);
    EXPECT_TRUE(m_menu->isVisible());
    EXPECT_TRUE(box("CheckBox1")->isChecked());
}

TEST_F(OptionsMenuTest, AddingABrowserNeedsAPathAndAName)
{
    auto *path = child<QLineEdit>("Edit1");
    const QString emptyPath =
        QStringLiteral("The path for your browser is empty!, you must enter a path for your browser.");
    const QString emptyName = QStringLiteral("You must set a name for the browser before you can add it.");

    click("Image18");
    auto boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, DialogKind::Message);
    EXPECT_EQ(boxes[0].text, emptyPath);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Information);

    path->setText(QStringLiteral("/opt/my browser/run"));
    for (const DialogAnswer &answer : {DialogAnswer::cancelled(), DialogAnswer::typed(QString())}) {
        MessageService::queueAnswer(answer);
        click("Image18");
        boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[0].kind, DialogKind::Input);
        EXPECT_EQ(boxes[0].title, QStringLiteral("Browser Name"));
        EXPECT_EQ(boxes[0].text, QStringLiteral("Please Enter a name for the browser you are adding: "));
        EXPECT_EQ(boxes[0].initialText, QString());
        EXPECT_EQ(boxes[1].text, emptyName);
    }
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("Browsers.INI"))));
    EXPECT_TRUE(m_reloads.isEmpty());
}

TEST_F(OptionsMenuTest, AddingABrowserStoresItAndReloadsListAndNetworkFields)
{
    write(QStringLiteral("Halvorn.INI"), "[CONNECTION]\r\nADDRESS=http://a.example/x\r\n");
    loadSystemSettings();
    child<QLineEdit>("HalvornNetworkAddress")->setText(QStringLiteral("unsaved"));

    // The path is stored as typed, unchecked.
    child<QLineEdit>("Edit1")->setText(QStringLiteral("/opt/my browser/run"));
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Opera")));
    click("Image18");
    EXPECT_EQ(MessageService::takeRecorded().size(), 1);  // the name only
    EXPECT_EQ(bytesOf(QStringLiteral("Browsers.INI")), QByteArray("Opera=/opt/my browser/run\r\n"));
    const QList<TBrowserEntry> expected{{QStringLiteral("Opera"), QStringLiteral("/opt/my browser/run")}};
    EXPECT_EQ(rows(), expected);
    ASSERT_EQ(m_reloads.size(), 1);
    EXPECT_EQ(m_reloads[0].Browsers, expected);
    EXPECT_EQ(m_menu->networkAddress(), QStringLiteral("http://a.example/x"));

    // Another letter case of a listed name is refused with the store's message.
    child<QLineEdit>("Edit1")->setText(QStringLiteral("/usr/bin/other"));
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("OPERA")));
    click("Image18");
    const QStringList said = texts(MessageService::takeRecorded());
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[1], QStringLiteral("You already have a browser named \"OPERA\" you cannot add another with the "
                                      "same name"));
    EXPECT_EQ(bytesOf(QStringLiteral("Browsers.INI")), QByteArray("Opera=/opt/my browser/run\r\n"));
    EXPECT_EQ(rows(), expected);
}

TEST_F(OptionsMenuTest, RemovingAsksAboutTheSelectedBrowser)
{
    write(QStringLiteral("Browsers.INI"), "Opera=/a\r\nLynx=/b\r\n");
    loadSystemSettings();

    click("Image20");  // nothing selected
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());

    browserList()->topLevelItem(1)->setSelected(true);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    click("Image20");
    auto boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Are you sure you want to remove \"Lynx\" from your browsers list?"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(boxes[0].buttons, YesNo);
    EXPECT_EQ(bytesOf(QStringLiteral("Browsers.INI")), QByteArray("Opera=/a\r\nLynx=/b\r\n"));
    EXPECT_TRUE(m_reloads.isEmpty());

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click("Image20");
    EXPECT_EQ(MessageService::takeRecorded().size(), 1);
    EXPECT_EQ(bytesOf(QStringLiteral("Browsers.INI")), QByteArray("Opera=/a\r\n"));
    const QList<TBrowserEntry> expected{{QStringLiteral("Opera"), QStringLiteral("/a")}};
    EXPECT_EQ(rows(), expected);
    ASSERT_EQ(m_reloads.size(), 1);
    EXPECT_EQ(m_reloads[0].Browsers, expected);
}

TEST_F(OptionsMenuTest, FindingTheDefaultBrowserTwiceThenRemovingIt)
{
    const QString found = QStringLiteral("Your default browser has been found and added to the previews menu.");
    const QString already = QStringLiteral(
        "Your default browser is already installed... to re-install it you must first delete it from the list.");
    loadSystemSettings();

    click("Image17");
    EXPECT_EQ(texts(MessageService::takeRecorded()), QStringList{found});
    const QList<TBrowserEntry> expected{{kSystem, QStringLiteral("AUTOMATIC")}};
    EXPECT_EQ(rows(), expected);
    ASSERT_EQ(m_reloads.size(), 1);
    EXPECT_EQ(m_reloads[0].Browsers, expected);

    click("Image17");
    EXPECT_EQ(texts(MessageService::takeRecorded()), QStringList{already});
    EXPECT_EQ(m_reloads.size(), 1);

    browserList()->topLevelItem(0)->setSelected(true);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click("Image20");
    MessageService::takeRecorded();
    EXPECT_TRUE(rows().isEmpty());
    click("Image17");
    EXPECT_EQ(texts(MessageService::takeRecorded()), QStringList{found});
    EXPECT_EQ(rows(), expected);
}

TEST_F(OptionsMenuTest, SaveUserSettingsAlwaysReportsButStoresOnlyAFullAccount)
{
    const QString saved = QStringLiteral("Your network user settings have been saved.");
    struct Case
    {
        const char *name;
        const char *password;
        bool stores;
    };
    const Case cases[] = {{"", "pw", false}, {"ann", "", false}, {"ann", "secret", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        write(QStringLiteral("Halvorn.INI"), "");
        child<QLineEdit>("HalvornUsernameedit")->setText(QLatin1String(c.name));
        child<QLineEdit>("HalvornPasswordedit")->setText(QLatin1String(c.password));
        box("HalvornAutoConnect")->setChecked(true);
        click("Image37");
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].text, saved);
        EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
        EXPECT_EQ(bytesOf(QStringLiteral("Halvorn.INI")).contains("USERNAME=ann"), c.stores);
    }
    // No secret store answers the tests: the password goes to the file.
    EXPECT_TRUE(QTest::qWaitFor([&] { return bytesOf(QStringLiteral("Halvorn.INI")).contains("PASSWORD=secret"); },
                                TSecretStore::kAnswerTimeoutMs + 5000));
    QString name, password;
    bool autoConnect = false;
    m_tools.LoadHalvornUserNameAndPassword(&name, &password, &autoConnect);
    EXPECT_EQ(name, QStringLiteral("ann"));
    EXPECT_EQ(password, QStringLiteral("secret"));
    EXPECT_TRUE(autoConnect);
    EXPECT_EQ(m_menu->userName(), QStringLiteral("ann"));
    EXPECT_EQ(m_menu->password(), QStringLiteral("secret"));
    EXPECT_TRUE(m_menu->autoConnect());
}

TEST_F(OptionsMenuTest, UserSettingsThatCannotBeWrittenAreNotReportedAsSaved)
{
    const QString halvorn = m_dir.filePath(QStringLiteral("Halvorn.INI"));
    write(QStringLiteral("Halvorn.INI"), "");
    ASSERT_EQ(::chmod(QFile::encodeName(halvorn).constData(), 0444), 0);
    child<QLineEdit>("HalvornUsernameedit")->setText(QStringLiteral("ann"));
    child<QLineEdit>("HalvornPasswordedit")->setText(QStringLiteral("secret"));
    click("Image37");
    EXPECT_EQ(texts(MessageService::takeRecorded()), QStringList{QStringLiteral("Unable to write to ") + halvorn});
}

TEST_F(OptionsMenuTest, SaveNewNetworkSettingsAsksFirst)
{
    child<QLineEdit>("HalvornNetworkAddress")->setText(QStringLiteral("http://new.example/a"));
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    click("Label18");
    auto boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Are you sure you want to change the Halvorn Network settings?"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(boxes[0].buttons, YesNo);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("Halvorn.INI"))));
    EXPECT_TRUE(gLookupAddress.isEmpty());

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click("Label18");
    EXPECT_EQ(texts(MessageService::takeRecorded()),
              QStringList({QStringLiteral("Are you sure you want to change the Halvorn Network settings?"),
                           QStringLiteral("Your new network settings have been saved!")}));
    QString address;
    m_tools.LoadHalvornNetworkSettings(&address);
    EXPECT_EQ(address, QStringLiteral("http://new.example/a"));
    EXPECT_EQ(gLookupAddress, QStringLiteral("http://new.example/a"));
}

TEST_F(OptionsMenuTest, FillSystemSettingsFillsListAndNetworkFields)
{
    TSystemSettings s;
    s.Browsers = {{kSystem, QStringLiteral("AUTOMATIC")}, {QString(), QString()}, {QStringLiteral("X"), "/x"}};
    s.HalvornNetworkAddress = QStringLiteral("addr");
    s.HalvornUsernameedit = QStringLiteral("bob");
    s.HalvornPasswordedit = QStringLiteral("pw");
    s.HalvornAutoConnect = true;
    m_menu->fillSystemSettings(s);
    EXPECT_EQ(rows(), s.Browsers);
    EXPECT_EQ(m_menu->networkAddress(), QStringLiteral("addr"));
    EXPECT_EQ(m_menu->userName(), QStringLiteral("bob"));
    EXPECT_EQ(m_menu->password(), QStringLiteral("pw"));
    EXPECT_TRUE(m_menu->autoConnect());

    s.Browsers.clear();
    s.HalvornAutoConnect = false;
    m_menu->fillSystemSettings(s);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_FALSE(m_menu->autoConnect());
}

TEST_F(OptionsMenuTest, TheOpenDialogTakesOnlyExecutableFiles)
{
    const QString program = m_dir.filePath(QStringLiteral("browser"));
    const QString text = m_dir.filePath(QStringLiteral("notes.txt"));
    write(QStringLiteral("browser"), "#!/bin/sh\n");
    write(QStringLiteral("notes.txt"), "x");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    auto *path = child<QLineEdit>("Edit1");
    path->setText(QStringLiteral("/before"));

    MessageService::queueAnswer(DialogAnswer::cancelled());
    click("Image19");
    auto boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, DialogKind::OpenFiles);
    ASSERT_EQ(boxes[0].filters.size(), 2);
    EXPECT_EQ(boxes[0].filters[0].name, QStringLiteral("All Files"));
    EXPECT_EQ(boxes[0].filters[1].name, QStringLiteral("Executable Files"));
    EXPECT_EQ(path->text(), QStringLiteral("/before"));

    MessageService::queueAnswer(DialogAnswer::file(text));
    click("Image19");
    boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].kind, DialogKind::Message);
    EXPECT_TRUE(boxes[1].text.contains(text)) << boxes[1].text.toStdString();
    EXPECT_EQ(path->text(), QStringLiteral("/before"));

    MessageService::queueAnswer(DialogAnswer::file(program));
    click("Image19");
    EXPECT_EQ(MessageService::takeRecorded().size(), 1);
    EXPECT_EQ(path->text(), program);
}

TEST_F(OptionsMenuTest, PickingAFileInTheFileListFillsThePath)
{
    write(QStringLiteral("browser"), "x");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    m_menu->show();
    m_menu->findChild<QTabWidget *>()->setCurrentIndex(1);
    auto *tree = child<QTreeView>("ShellTree1");
    auto *list = child<QListView>("ShellList1");
    auto *folders = qobject_cast<QFileSystemModel *>(tree->model());
    auto *files = qobject_cast<QFileSystemModel *>(list->model());
    ASSERT_NE(folders, nullptr);
    ASSERT_NE(files, nullptr);

    // Choosing a folder in the tree shows it in the list.
    tree->setCurrentIndex(folders->index(m_dir.path()));
    EXPECT_EQ(files->filePath(list->rootIndex()), m_dir.path());

    auto *path = child<QLineEdit>("Edit1");
    list->setCurrentIndex(files->index(m_dir.filePath(QStringLiteral("sub"))));
    EXPECT_TRUE(path->text().isEmpty());  // a folder is not a browser
    list->setCurrentIndex(files->index(m_dir.filePath(QStringLiteral("browser"))));
    EXPECT_EQ(path->text(), m_dir.filePath(QStringLiteral("browser")));
}

} // namespace

TEST_F(OptionsMenuTest, TheWizardsMarkupStartsClassicAndDoneStoresTheChoice)
{
    m_menu->show();
    EXPECT_TRUE(child<QRadioButton>("WizardMarkupClassic")->isChecked());
    EXPECT_EQ(child<QRadioButton>("WizardMarkupHtml5")->text(), QStringLiteral("HTML5 with CSS"));
    child<QRadioButton>("WizardMarkupHtml5")->setChecked(true);
    click("Image46");
    EXPECT_TRUE(bytesOf(QStringLiteral("Main.INI")).contains("[WIZARDS]\r\nMARKUP=HTML5")) << bytesOf(QStringLiteral("Main.INI")).constData();
    EXPECT_EQ(m_tools.LoadWizardMarkup(), MarkupStyle::Html5);

    m_menu->show();
    EXPECT_TRUE(child<QRadioButton>("WizardMarkupHtml5")->isChecked());
    child<QRadioButton>("WizardMarkupClassic")->setChecked(true);
    click("Image46");
    EXPECT_EQ(m_tools.LoadWizardMarkup(), MarkupStyle::Classic);

    // A value this program never writes reads as Classic.
    write(QStringLiteral("Main.INI"), "[WIZARDS]\r\nMARKUP=xhtml\r\n");
    EXPECT_EQ(m_tools.LoadWizardMarkup(), MarkupStyle::Classic);
}
