#include "asciitext.h"
#include "setuptools.h"

#include "datafolder.h"
#include "editortypes.h"
#include "inifile.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "textfileformat.h"
#include "tsecretstore.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace Quorvant {

namespace {

const QString kMainIni = QStringLiteral("Main.INI");
const QString kHalvornIni = QStringLiteral("Halvorn.INI");
const QString kBrowsersIni = QStringLiteral("Browsers.INI");

const QString kParser = QStringLiteral("PARSER");
const QString kOptions2 = QStringLiteral("OPTIONS2");
// Written in capitals, read by its mixed-case name: the same section.
const QString kMainFormWrite = QStringLiteral("MAINFORM");
const QString kMainFormRead = QStringLiteral("MainForm");
const QString kDirectories = QStringLiteral("DIRECTORIES");
const QString kGeneral = QStringLiteral("GENERAL");
const QString kPaths = QStringLiteral("PATHS");
const QString kWizards = QStringLiteral("WIZARDS");
const QString kMarkup = QStringLiteral("MARKUP");
const QString kHtml5Markup = QStringLiteral("HTML5");
const QString kClassicMarkup = QStringLiteral("CLASSIC");
const QString kValidator = QStringLiteral("VALIDATOR");
const QString kUserDetails = QStringLiteral("USERDETAILS");
const QString kConnection = QStringLiteral("CONNECTION");
const QString kUserName = QStringLiteral("USERNAME");
const QString kPassword = QStringLiteral("PASSWORD");
const QString kAutoConnect = QStringLiteral("AUTOCONNECT");

const QString kIe = QStringLiteral("IE");
const QString kAutomatic = QStringLiteral("AUTOMATIC");

constexpr int kPrivateFileMode = 0600;  // "Halvorn.INI" may hold a password

// The lines the network log gets about the secret store.
QString storeNotAnswered(const QString &problem, const QString &consequence)
{
    return QStringLiteral("The desktop's secret store did not answer (%1): %2").arg(problem, consequence);
}
const QString kPasswordInIni = QStringLiteral("the password is kept in Halvorn.INI, readable by you only.");
const QString kPasswordStaysInIni = QStringLiteral("the password stays in Halvorn.INI, readable by you only.");
const QString kPasswordNotRead = QStringLiteral("no stored password could be read.");
const QString kPasswordMoved = QStringLiteral("The password was moved from Halvorn.INI into the desktop's secret store.");
const QString kClearCopyLeft = QStringLiteral("The password is in the desktop's secret store, but its clear copy could "
                                              "not be removed from Halvorn.INI.");

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// The name is the text before the first '='; the path the text between the
// first and the second. A line without '=' is all name.
TBrowserEntry parseBrowserLine(const QString &line)
{
    const qsizetype first = line.indexOf(u'=');
    if (first < 0)
        return {line, {}};
    const qsizetype second = line.indexOf(u'=', first + 1);
    return {line.left(first), second < 0 ? line.mid(first + 1) : line.mid(first + 1, second - first - 1)};
}


bool hasLineBreak(const QString &s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

QString withoutAmpersands(QString caption)
{
    return caption.remove(u'&');
}

void showWriteFailure(QWidget *form, const QString &path)
{
    MessageService::error(form, QStringLiteral("Unable to write to %1").arg(path));
}

void launchForReal(const QString &program, const QString &argument)
{
    if (program.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(argument));
    else
        QProcess::startDetached(program, {argument});  // a missing program fails silently
}

} // namespace

TSetupTools::TSetupTools(::Quorvant::DebugOut Debugger, QWidget *ParentForm)
    : m_debug(std::move(Debugger))
    , m_form(ParentForm)
    , m_launch(launchForReal)
{
}

void TSetupTools::DebugOut(const QString &S) const
{
    debugOut(m_debug, S);
}

QString TSetupTools::mainIniPath()
{
    return QFileInfo(DataFolder::file(kMainIni)).absoluteFilePath();
}

QString TSetupTools::halvornIniPath()
{
    return QFileInfo(DataFolder::file(kHalvornIni)).absoluteFilePath();
}

QString TSetupTools::browsersIniPath()
{
    return QFileInfo(DataFolder::file(kBrowsersIni)).absoluteFilePath();
}

void TSetupTools::reportWriteFailure(const QString &path) const
{
    showWriteFailure(m_form, path);
}

bool TSetupTools::writeKeys(const QString &path, const QList<Entry> &entries, int mode) const
{
    return writeKeysTo(path, entries, mode, m_form);
}

bool TSetupTools::writeKeysTo(const QString &path, const QList<Entry> &entries, int mode, QWidget *form)
{
    IniFile ini(path);
    ini.setPermissions(mode);
    for (const Entry &e : entries) {
        if (!ini.writeString(e.section, e.key, e.value)) {
            showWriteFailure(form, path);
            return false;
        }
    }
    return true;
}

bool TSetupTools::SaveFormViewStates2(bool ShowLineNumbers, bool WordWrap, bool TagCompletion, bool LowerCase)
{
    return writeKeys(mainIniPath(), {
        {kOptions2, QStringLiteral("LINENUMBERS"), boolText(ShowLineNumbers)},
        {kOptions2, QStringLiteral("WORDWRAP"), boolText(WordWrap)},
        {kOptions2, QStringLiteral("TAG-COMPLETION"), boolText(TagCompletion)},
        {kOptions2, QStringLiteral("TAG-CASE"), boolText(LowerCase)},
    });
}

void TSetupTools::LoadFormViewStates2(bool &ShowLineNumbers, bool &WordWrap, bool &TagCompletion,
                                      bool &LowerCase) const
{
    const IniFile ini(mainIniPath());
    ShowLineNumbers = ini.readBool(kOptions2, QStringLiteral("LINENUMBERS"), false);
    WordWrap = ini.readBool(kOptions2, QStringLiteral("WORDWRAP"), false);
    TagCompletion = ini.readBool(kOptions2, QStringLiteral("TAG-COMPLETION"), true);
    LowerCase = ini.readBool(kOptions2, QStringLiteral("TAG-CASE"), true);
}

bool TSetupTools::SaveMainFormViewState(bool PureTags, bool LargeButton, bool ControlBar, bool SideBar,
                                        bool ColorBar, bool Gutter, bool CharacterList)
{
    return writeKeys(mainIniPath(), {
        {kMainFormWrite, QStringLiteral("PURETAGS"), boolText(PureTags)},
        {kMainFormWrite, QStringLiteral("LARGEBUTTONBAR"), boolText(LargeButton)},
        {kMainFormWrite, QStringLiteral("CONTROLBAR"), boolText(ControlBar)},
        {kMainFormWrite, QStringLiteral("SIDEBAR"), boolText(SideBar)},
        {kMainFormWrite, QStringLiteral("COLORBAR"), boolText(ColorBar)},
        {kMainFormWrite, QStringLiteral("GUTTER"), boolText(Gutter)},
        {kMainFormWrite, QStringLiteral("CHARACTERLIST"), boolText(CharacterList)},
    });
}

void TSetupTools::LoadMainFormViewState(bool &PureTags, bool &LargeButton, bool &ControlBar, bool &SideBar,
                                        bool &ColorBar, bool &Gutter, bool &CharacterList) const
{
    const IniFile ini(mainIniPath());
    PureTags = ini.readBool(kMainFormRead, QStringLiteral("PURETAGS"), false);
    LargeButton = ini.readBool(kMainFormRead, QStringLiteral("LARGEBUTTONBAR"), true);
    ControlBar = ini.readBool(kMainFormRead, QStringLiteral("CONTROLBAR"), true);
    SideBar = ini.readBool(kMainFormRead, QStringLiteral("SIDEBAR"), true);
    ColorBar = ini.readBool(kMainFormRead, QStringLiteral("COLORBAR"), true);
    Gutter = ini.readBool(kMainFormRead, QStringLiteral("GUTTER"), true);
    CharacterList = ini.readBool(kMainFormRead, QStringLiteral("CHARACTERLIST"), false);
}

bool TSetupTools::SaveParserNumber(int ParserChecked)
{
    return writeKeys(mainIniPath(), {{kParser, QStringLiteral("SELECTED"), QString::number(ParserChecked)}});
}

int TSetupTools::LoadParserNumber() const
{
    return IniFile(mainIniPath()).readInteger(kParser, QStringLiteral("SELECTED"), -1);
}

bool TSetupTools::SaveWizardMarkup(MarkupStyle style)
{
    return writeKeys(mainIniPath(),
                     {{kWizards, kMarkup, style == MarkupStyle::Html5 ? kHtml5Markup : kClassicMarkup}});
}

MarkupStyle TSetupTools::LoadWizardMarkup() const
{
    const QString value = IniFile(mainIniPath()).readString(kWizards, kMarkup, QString());
    return value.compare(kHtml5Markup, Qt::CaseInsensitive) == 0 ? MarkupStyle::Html5 : MarkupStyle::Classic;
}

QString TSetupTools::LoadValidatorJar() const
{
    return IniFile(mainIniPath()).readString(kValidator, QStringLiteral("JAR"), QString());
}

bool TSetupTools::SaveLastMainDirectory(const QString &Dir)
{
    return writeKeys(mainIniPath(), {{kDirectories, QStringLiteral("MAIN"), Dir}});
}

bool TSetupTools::SaveOpenDir(const QString &Dir)
{
    return writeKeys(mainIniPath(), {{kDirectories, QStringLiteral("OPENDIR"), Dir}});
}

bool TSetupTools::SaveLastImageDirectory(const QString &Dir)
{
    return writeKeys(mainIniPath(), {{kDirectories, QStringLiteral("IMAGEMENU"), Dir}});
}

QString TSetupTools::LoadLastMainDirectory() const
{
    return IniFile(mainIniPath()).readString(kDirectories, QStringLiteral("MAIN"));
}

QString TSetupTools::LoadOpenDir() const
{
    return IniFile(mainIniPath()).readString(kDirectories, QStringLiteral("OPENDIR"));
}

QString TSetupTools::LoadLastImageDirectory() const
{
    return IniFile(mainIniPath()).readString(kDirectories, QStringLiteral("IMAGEMENU"));
}

bool TSetupTools::SaveHalvornUserNameAndPassword(const QString &UserName, const QString &Password,
                                                 bool AutoConnect, PasswordKept Kept)
{
    if (UserName.isEmpty()) {
        DebugOut(QStringLiteral("SaveHalvornUserNameAndPassWord: Username=Nil"));
        return false;
    }
    if (Password.isEmpty()) {
        DebugOut(QStringLiteral("SaveHalvornUserNameAndPassWord: Password=Nil"));
        return false;
    }
    if (!writeKeys(halvornIniPath(), {
            {kUserDetails, kUserName, UserName},
            {kUserDetails, kAutoConnect, boolText(AutoConnect)},
        }, kPrivateFileMode))
        return false;
    keepPassword(UserName, Password, true, Kept);
    return true;
}

void TSetupTools::keepPassword(const QString &UserName, const QString &Password, bool WriteIniOnFailure,
                               const PasswordKept &Kept) const
{
    const QString path = halvornIniPath();
    const QString clearBefore = IniFile(path).readString(kUserDetails, kPassword);
    const auto settle = [Kept](bool inSecretStore, const QString &note) {
        if (Kept)
            Kept(inSecretStore, note);
    };
    TSecretStore::writeConfirmed(UserName, Password, [=](const TSecretStore::Outcome &stored) {
        IniFile ini(path);
        ini.setPermissions(kPrivateFileMode);
        if (stored.ok) {
            const QString moved = WriteIniOnFailure ? QString() : kPasswordMoved;
            // A password written to the file meanwhile is newer: it stays.
            if (clearBefore.isEmpty() || ini.readString(kUserDetails, kPassword) != clearBefore) {
                settle(true, moved);
            } else if (!ini.deleteKey(kUserDetails, kPassword)) {
                showWriteFailure(nullptr, path);  // the form may be gone by now
                settle(true, kClearCopyLeft);
            } else {
                settle(true, moved);
            }
            return;
        }
        if (!WriteIniOnFailure) {
            // Not written, yet made private all the same.
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
            settle(false, storeNotAnswered(stored.problem, kPasswordStaysInIni));
            return;
        }
        writeKeysTo(path, {{kUserDetails, kUserName, UserName}, {kUserDetails, kPassword, Password}},
                    kPrivateFileMode, nullptr);
        settle(false, storeNotAnswered(stored.problem, kPasswordInIni));
    });
}

void TSetupTools::LoadHalvornUserNameAndPassword(QString *UserName, QString *Password, bool *AutoConnect) const
{
    if (!UserName) {
        DebugOut(QStringLiteral("LoadHalvornUserNameAndPassword: Username=Nil"));
        return;
    }
    if (!Password) {
        DebugOut(QStringLiteral("LoadHalvornUserNameAndPassword: Password=Nil"));
        return;
    }
    const IniFile ini(halvornIniPath());
    gUserName = ini.readString(kUserDetails, kUserName);
    gPassword = ini.readString(kUserDetails, kPassword);
    const bool autoConnect = ini.readBool(kUserDetails, kAutoConnect, false);
    *UserName = gUserName;
    *Password = gPassword;
    if (AutoConnect)
        *AutoConnect = autoConnect;
}

void TSetupTools::LoadHalvornPassword(PasswordFound Found) const
{
    const IniFile ini(halvornIniPath());
    const QString clear = ini.readString(kUserDetails, kPassword);
    const QString userName = ini.readString(kUserDetails, kUserName);
    if (!clear.isEmpty() || userName.isEmpty()) {
        Found(clear, QString());
        return;
    }
    TSecretStore::readPassword(userName, [userName, Found = std::move(Found)](const TSecretStore::Outcome &read) {
        if (!read.password.isEmpty() && gUserName == userName)
            gPassword = read.password;
        Found(read.password, read.ok ? QString() : storeNotAnswered(read.problem, kPasswordNotRead));
    });
}

void TSetupTools::MoveHalvornPasswordToSecretStore(PasswordKept Done) const
{
    const IniFile ini(halvornIniPath());
    const QString clear = ini.readString(kUserDetails, kPassword);
    const QString userName = ini.readString(kUserDetails, kUserName);
    if (clear.isEmpty() || userName.isEmpty()) {
        if (Done)
            Done(false, QString());
        return;
    }
    keepPassword(userName, clear, false, Done);
}

bool TSetupTools::SaveHalvornNetworkSettings(const QString &Address)
{
    const bool written = writeKeys(halvornIniPath(), {{kConnection, QStringLiteral("ADDRESS"), Address}},
                                   kPrivateFileMode);
    gLookupAddress = Address;
    return written;
}

void TSetupTools::LoadHalvornNetworkSettings(QString *Address) const
{
    if (!Address) {
        DebugOut(QStringLiteral("TSetupTools.LoadHalvornNetworkSettings : Address=Nil"));
        return;
    }
    gLookupAddress = IniFile(halvornIniPath()).readString(kConnection, QStringLiteral("ADDRESS"));
    *Address = gLookupAddress;
}

void TSetupTools::LoadSystemSettings(TSystemSettings *OptionMenu)
{
    if (!OptionMenu) {
        DebugOut(QStringLiteral("TSetupTools.LoadSystemSettings : OptionMenu = Nil"));
        return;
    }
    const QString mainIni = mainIniPath();
    if (IniFile(mainIni).readBool(kGeneral, QStringLiteral("FIRSTRUN"), true)) {
        // Recorded before asking, so the question comes once per "Main.INI".
        writeKeys(mainIni, {{kGeneral, QStringLiteral("FIRSTRUN"), boolText(false)}});
        const MessageButton answer = MessageService::show(
            m_form,
            QStringLiteral("We have noticed this is the first time you have run Quorvant, would you like to "
                           "automatically search for and add %1? (if unsure, press yes).")
                .arg(SystemBrowserName()),
            MessageIcon::Information, YesNo);
        if (answer == mbYes)
            FindIE();
    }
    OptionMenu->Browsers = LoadBrowsers();
    LoadHalvornNetworkSettings(&OptionMenu->HalvornNetworkAddress);
    LoadHalvornUserNameAndPassword(&OptionMenu->HalvornUsernameedit, &OptionMenu->HalvornPasswordedit,
                                   &OptionMenu->HalvornAutoConnect);
}

bool TSetupTools::readBrowserLines(QStringList *lines, TextFileFormat *format) const
{
    lines->clear();
    if (format)
        *format = TextFileFormat();
    const QString path = browsersIniPath();
    if (!QFileInfo::exists(path))
        return true;
    QByteArray bytes;
    if (!readDataFile(path, &bytes, nullptr))
        return false;
    const DecodedText decoded = decodeTextFile(bytes);
    *lines = splitTextLines(decoded.text);
    if (format)
        *format = decoded.format;
    return true;
}

bool TSetupTools::writeBrowserLines(const QStringList &lines, const TextFileFormat &format) const
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    // Always UTF-8: a Windows-1252 file written back in that encoding could
    // read as UTF-8 once the line that made it invalid UTF-8 is gone.
    TextFileFormat utf8{TextEncoding::Utf8, format.byteOrderMark, LineEndStyle::CRLF};
    const QString path = browsersIniPath();
    const QFileInfo info(path);
    // A file marked read-only stays unwritten, even for a user the system
    // would let through.
    const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if ((info.exists() && !(info.permissions() & anyWrite))
        || !writeFileAtomically(path, encodeTextFile(text, &utf8), nullptr)) {
        reportWriteFailure(path);
        return false;
    }
    return true;
}

QList<TBrowserEntry> TSetupTools::LoadBrowsers() const
{
    QList<TBrowserEntry> browsers;
    const QString ie = IniFile(mainIniPath()).readString(kPaths, kIe);
    if (!ie.isEmpty())
        browsers.append({SystemBrowserName(), ie});
    QStringList lines;
    if (!readBrowserLines(&lines))
        DebugOut(QStringLiteral("Error: TSetupTools: LoadBrowsers: Could not read Browsers.INI"));
    for (const QString &line : std::as_const(lines))
        browsers.append(parseBrowserLine(line));
    return browsers;
}

bool TSetupTools::AddBrowser(const QString &Name, const QString &Path)
{
    // A line break would split the entry into lines of other names.
    if (hasLineBreak(Name) || hasLineBreak(Path)) {
        DebugOut(QStringLiteral("Error: TSetupTools: AddBrowser: line break in name or path"));
        return false;
    }
    const QString path = browsersIniPath();
    if (!QFileInfo::exists(path) && !writeFileAtomically(path, QByteArray(), nullptr)) {
        DebugOut(QStringLiteral("Error: TSetupTools: AddBrowser: Could not create Browsers.INI"));
        return false;
    }
    QStringList lines;
    TextFileFormat format;
    if (!readBrowserLines(&lines, &format)) {
        // Writing now would drop the entries that could not be read.
        DebugOut(QStringLiteral("Error: TSetupTools: AddBrowser: Could not read Browsers.INI"));
        return false;
    }
    // The system entry's name is refused too: a file line of that name could
    // never be removed again.
    bool taken = asciiEqualsIgnoreCase(Name, SystemBrowserName());
    for (const QString &line : std::as_const(lines))
        taken = taken || asciiEqualsIgnoreCase(parseBrowserLine(line).Name, Name);
    if (taken) {
        MessageService::information(m_form, QStringLiteral("You already have a browser named \"%1\" you cannot "
                                                           "add another with the same name")
                                                .arg(Name));
        return false;
    }
    lines.append(Name + u'=' + Path);
    return writeBrowserLines(lines, format);
}

bool TSetupTools::RemoveBrowser(const QString &Name)
{
    if (Name.isEmpty())
        return false;
    if (asciiEqualsIgnoreCase(Name, SystemBrowserName()))
        return writeKeys(mainIniPath(), {{kPaths, kIe, QString()}});
    if (!QFileInfo::exists(browsersIniPath()))
        return false;
    QStringList lines;
    TextFileFormat format;
    if (!readBrowserLines(&lines, &format)) {
        DebugOut(QStringLiteral("Error: TSetupTools: RemoveBrowser: Could not read Browsers.INI"));
        return false;
    }
    const qsizetype removed = lines.removeIf([&Name](const QString &line) {
        return asciiEqualsIgnoreCase(parseBrowserLine(line).Name, Name);
    });
    return removed > 0 && writeBrowserLines(lines, format);
}

void TSetupTools::FindIE()
{
    // The sub-items of "Preview in Browser..." always mirror the stored list.
    for (const TBrowserEntry &entry : LoadBrowsers()) {
        if (asciiEqualsIgnoreCase(withoutAmpersands(entry.Name), SystemBrowserName()))
            return;
    }
    writeKeys(mainIniPath(), {{kPaths, kIe, kAutomatic}});
}

void TSetupTools::MenuItemClick(const QString &Caption, const QString &PreviewFile) const
{
    if (!m_launch)
        return;
    const QString name = withoutAmpersands(Caption);
    if (name == SystemBrowserName()) {
        m_launch(QString(), PreviewFile);
        return;
    }
    QStringList lines;
    if (!readBrowserLines(&lines))
        return;
    for (const QString &line : std::as_const(lines)) {
        if (line.isEmpty())
            continue;
        const TBrowserEntry entry = parseBrowserLine(line);
        // An empty path names no program (and must not reach the default handler).
        if (!entry.Path.isEmpty() && asciiEqualsIgnoreCase(entry.Name, name))
            m_launch(entry.Path, PreviewFile);
    }
}

} // namespace Quorvant
