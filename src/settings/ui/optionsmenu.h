// The options dialog: the view and editor preferences, the external browser
// list, and (on pages never shown) the network account fields that the
// sign-in reads. Created once, then only shown and hidden.
#pragma once

#include "setuptools.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeView;
class QTreeWidget;

namespace Quorvant {

class TOptionsMenu : public QWidget
{
    Q_OBJECT
public:
    // applyAll runs after Done has stored the preferences (the owner applies
    // the view settings, the secondary options and the default parser);
    // systemSettingsReloaded runs after each reload of the browser list and
    // network fields (the owner rebuilds "Preview in Browser...").
    explicit TOptionsMenu(std::function<void()> applyAll = {},
                          std::function<void(const TSystemSettings &)> systemSettingsReloaded = {},
                          QWidget *parent = nullptr);

    // Fills the browser list and the network fields.
    void fillSystemSettings(const TSystemSettings &settings);

    // The network fields, as the sign-in reads them.
    QString networkAddress() const;
    QString userName() const;
    QString password() const;
    bool autoConnect() const;

    // The dialog's commands, also reachable through their buttons.
    void FormShow();       // loads the General Preferences fields
    void Image46Click();   // Done
    void Image16Click();   // Cancel
    void Image19Click();   // "..."
    void Image18Click();   // Add To Available Browsers
    void Image20Click();   // Remove Browser From List
    void Image17Click();   // Find My Default Browser!
    void Image37Click();   // Save user settings.
    void Label18Click();   // Save New Network Settings

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildGeneralPage();
    QWidget *buildBrowserPage();
    QWidget *buildHalvornUserPage();
    QWidget *buildHalvornNetworkPage();
    void ensureShellModels();
    void ShellTree1Change(const QModelIndex &index);
    void ShellList1Change(const QModelIndex &index);
    void refreshSystemSettings();
    void centreOnDesktop();

    std::function<void()> m_applyAll;
    std::function<void(const TSystemSettings &)> m_systemSettingsReloaded;

    QTabWidget *m_tabs = nullptr;
    QWidget *m_browserPage = nullptr;
    QStackedWidget *m_hiddenPages = nullptr;
    bool m_centred = false;

    // General Preferences
    QCheckBox *m_lineNumbers = nullptr;    // CheckBox1
    QCheckBox *m_wordWrap = nullptr;       // CheckBox3
    QCheckBox *m_gutter = nullptr;         // CheckBox4
    QCheckBox *m_tagCompletion = nullptr;  // CheckBox5
    QCheckBox *m_pureTags = nullptr;       // CheckBox6
    QCheckBox *m_largeButtons = nullptr;   // CheckBox7
    QCheckBox *m_controlBar = nullptr;     // CheckBox8
    QCheckBox *m_sideBar = nullptr;        // CheckBox9
    QCheckBox *m_colorBar = nullptr;       // CheckBox10
    QCheckBox *m_characters = nullptr;     // CheckBox11
    QCheckBox *m_lowerCase = nullptr;      // CheckBox12
    QComboBox *m_parser = nullptr;         // ComboBox1
    QRadioButton *m_classicMarkup = nullptr;  // WizardMarkupClassic
    QRadioButton *m_html5Markup = nullptr;    // WizardMarkupHtml5

    // Browser Options
    QTreeWidget *m_browserList = nullptr;  // BrowserListView
    QTreeView *m_shellTree = nullptr;      // ShellTree1
    QListView *m_shellList = nullptr;      // ShellList1
    QFileSystemModel *m_folderModel = nullptr;
    QFileSystemModel *m_fileModel = nullptr;
    bool m_followHome = true;  // keep the home folder in view while the tree loads
    QLineEdit *m_browserPath = nullptr;    // Edit1

    // Network pages
    QLineEdit *m_userName = nullptr;       // HalvornUsernameedit
    QLineEdit *m_password = nullptr;       // HalvornPasswordedit
    QCheckBox *m_autoConnect = nullptr;    // HalvornAutoConnect
    QLineEdit *m_networkAddress = nullptr; // HalvornNetworkAddress
};

} // namespace Quorvant
