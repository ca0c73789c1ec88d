// The settings store: every persistent setting of the program, kept in
// "Main.INI", "Halvorn.INI" and "Browsers.INI" in the data folder. Nothing is
// cached: each load reads the file anew and each save writes it at once, so
// a value saved by one method is seen by the next load. Windows are bound by
// their owners; this class deals in plain values only.
#pragma once

#include "debugout.h"
#include "markupstyle.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace Quorvant {

struct TextFileFormat;

// One row of the external browser list: a line of "Browsers.INI", or the
// system browser entry (path = the stored "PATHS"/"IE" value).
struct TBrowserEntry
{
    QString Name;
    QString Path;
    friend bool operator==(const TBrowserEntry &, const TBrowserEntry &) = default;
};

// What the start-up load puts into the options dialog.
struct TSystemSettings
{
    // Rows of BrowserListView and, by name, the sub-items of "Preview in
    // Browser...", in order: the system browser entry first when listed.
    QList<TBrowserEntry> Browsers;
    QString HalvornNetworkAddress;
    QString HalvornUsernameedit;
    QString HalvornPasswordedit;
    bool HalvornAutoConnect = false;
};

class TSetupTools
{
public:
    // The caption of the entry that stands for the desktop's default browser.
    static QString SystemBrowserName() { return QStringLiteral("System Default Browser"); }

    // Debugger receives the diagnostic lines; ParentForm parents the message
    // boxes (the main window; may be null).
    explicit TSetupTools(::Quorvant::DebugOut Debugger = {}, QWidget *ParentForm = nullptr);

    void DebugOut(const QString &S) const;

    // Every Save method shows "Unable to write to <path>" and stops at the
    // first key it cannot write (keys written before it stay); it returns
    // false then.
    bool SaveFormViewStates2(bool ShowLineNumbers, bool WordWrap, bool TagCompletion, bool LowerCase);
    void LoadFormViewStates2(bool &ShowLineNumbers, bool &WordWrap, bool &TagCompletion, bool &LowerCase) const;

    bool SaveMainFormViewState(bool PureTags, bool LargeButton, bool ControlBar, bool SideBar, bool ColorBar,
                               bool Gutter, bool CharacterList);
    void LoadMainFormViewState(bool &PureTags, bool &LargeButton, bool &ControlBar, bool &SideBar, bool &ColorBar,
                               bool &Gutter, bool &CharacterList) const;

    bool SaveParserNumber(int ParserChecked);
    int LoadParserNumber() const;  // -1 when never chosen

    // "WIZARDS"/"MARKUP": "CLASSIC" or "HTML5"; anything else (and no key)
    // reads as Classic, so a file from before the choice keeps the old markup.
    bool SaveWizardMarkup(MarkupStyle style);
    MarkupStyle LoadWizardMarkup() const;

    // "VALIDATOR"/"JAR": the path of the W3C checker's vnu.jar chosen by the
    // user, empty when not set (the checker is then looked for elsewhere).
    QString LoadValidatorJar() const;

    bool SaveLastMainDirectory(const QString &Dir);
    bool SaveOpenDir(const QString &Dir);
    bool SaveLastImageDirectory(const QString &Dir);
    QString LoadLastMainDirectory() const;
    QString LoadOpenDir() const;
    QString LoadLastImageDirectory() const;

    // Called once the password of a save or a move is settled: kept says
    // whether it is stored (in the secret store or, where none answers, in
    // "Halvorn.INI"); note is a line for the network log, empty when there
    // is nothing to tell.
    using PasswordKept = std::function<void(bool kept, const QString &note)>;
    using PasswordFound = std::function<void(const QString &password, const QString &note)>;

    // An empty user name or password stores nothing. gUserName and gPassword
    // are not changed. The user name and the flag are written at once (false
    // when they cannot be); the password goes to the desktop's secret store,
    // and a clear copy in "Halvorn.INI" is removed once the store gave it
    // back. Where no store answers in time, the password is written to
    // "Halvorn.INI" instead. Kept (optional) is called when that is settled.
    bool SaveHalvornUserNameAndPassword(const QString &UserName, const QString &Password, bool AutoConnect,
                                        PasswordKept Kept = {});
    // Sets gUserName and gPassword and fills the given fields; a missing
    // UserName or Password field only gives a diagnostic line. Reads
    // "Halvorn.INI" only: a password kept in the secret store reads as empty
    // here (LoadHalvornPassword reads it).
    void LoadHalvornUserNameAndPassword(QString *UserName, QString *Password, bool *AutoConnect) const;
    // The stored account's password, for a sign-in or the login dialog: a
    // clear one in "Halvorn.INI" at once (it is the newest), else the
    // secret store's entry for the stored user name, later; that one also
    // becomes gPassword while gUserName is that user. Empty when none is
    // found. Found is called once.
    void LoadHalvornPassword(PasswordFound Found) const;
    // After a successful sign-in: a clear password in "Halvorn.INI" is
    // written to the secret store, read back from it, and only then removed
    // from the file. Where no store answers it stays in the file, which is
    // made readable by its owner only. Done (optional) is called once.
    void MoveHalvornPasswordToSecretStore(PasswordKept Done = {}) const;
    // Stores the address and makes it gLookupAddress.
    bool SaveHalvornNetworkSettings(const QString &Address);
    // Sets gLookupAddress and fills the field.
    void LoadHalvornNetworkSettings(QString *Address) const;

    // Start-up load (also the options dialog's refresh): asks the first-run
    // question once per "Main.INI", then fills the browser list and the
    // network fields.
    void LoadSystemSettings(TSystemSettings *OptionMenu);

    // The browser list: the system browser entry while "PATHS"/"IE" is set,
    // then the lines of "Browsers.INI" in order (an empty line gives an
    // empty row).
    QList<TBrowserEntry> LoadBrowsers() const;
    // Appends Name=Path to "Browsers.INI" unless the name is taken (letter
    // case ignored); true when added.
    bool AddBrowser(const QString &Name, const QString &Path);
    // The system browser entry clears "PATHS"/"IE"; any other name removes
    // every line of that name from "Browsers.INI".
    bool RemoveBrowser(const QString &Name);
    // Lists the system browser entry ("PATHS"/"IE" = "AUTOMATIC") unless an
    // entry of that name is already listed. Searches nothing on disk.
    void FindIE();

    // A browser sub-item was chosen: the system browser entry opens
    // PreviewFile with the desktop's default handler; any other caption
    // starts every "Browsers.INI" program of that name with PreviewFile as
    // its one argument. '&' in the caption is ignored.
    void MenuItemClick(const QString &Caption, const QString &PreviewFile) const;

    // Starts program with one argument; an empty program means "open the
    // argument with the default handler". Replaceable for tests.
    using Launcher = std::function<void(const QString &program, const QString &argument)>;
    void setLauncher(Launcher launcher) { m_launch = std::move(launcher); }

    // Full paths of the three files, found without regard to letter case.
    static QString mainIniPath();
    static QString halvornIniPath();
    static QString browsersIniPath();

private:
    struct Entry
    {
        QString section;
        QString key;
        QString value;
    };
    bool writeKeys(const QString &path, const QList<Entry> &entries, int mode = 0) const;
    void reportWriteFailure(const QString &path) const;
    // Writes the keys in order with the given permissions (0: the file's
    // own); on the first failure shows "Unable to write to <path>" over form.
    static bool writeKeysTo(const QString &path, const QList<Entry> &entries, int mode, QWidget *form);
    // The password's way into the secret store, shared by a save and a move:
    // the clear copy in "Halvorn.INI" is removed only when the store gave
    // the password back and the file still holds the one it held before.
    void keepPassword(const QString &UserName, const QString &Password, bool WriteIniOnFailure,
                      const PasswordKept &Kept) const;
    // "Browsers.INI" as lines; *format says how the file was stored.
    bool readBrowserLines(QStringList *lines, TextFileFormat *format = nullptr) const;
    // Written in UTF-8, with a byte order mark when format had one (or the
    // first line begins with U+FEFF, which would otherwise read as one).
    bool writeBrowserLines(const QStringList &lines, const TextFileFormat &format) const;

    ::Quorvant::DebugOut m_debug;
    QWidget *m_form = nullptr;
    Launcher m_launch;
};

} // namespace Quorvant
