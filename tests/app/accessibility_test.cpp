// Every dialog of the program used from the keyboard alone and read by a
// screen reader: the real program's windows, opened through its menus.
#include "subsystems.h"
#include "mainwindowtest.h"
#include "standardicons.h"
#include "appglobals.h"
#include "applicationshell.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "taskmanager.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Quorvant;

namespace {

// How long a dialog may stay up after the walk met it before it counts as
// forgotten (see openWindow).
constexpr qint64 kForgottenModalMs = 15000;

QString describe(const QWidget *w)
{
    if (!w)
        return QStringLiteral("<nothing>");
    QString s = QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        s += QStringLiteral(" \"%1\"").arg(b->text());
    return s;
}

// A field the user types into.
bool isTextField(const QWidget *w)
{
    if (qobject_cast<const QComboBox *>(w->parentWidget()) || qobject_cast<const QAbstractSpinBox *>(w->parentWidget()))
        return false;  // the line edit inside a box: the box is the field
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return !e->isReadOnly();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return !e->isReadOnly();
    if (auto *e = qobject_cast<const QTextEdit *>(w))
        return !e->isReadOnly();
    if (auto *c = qobject_cast<const QComboBox *>(w))
        return c->isEditable();
    return qobject_cast<const QAbstractSpinBox *>(w) != nullptr;
}

// A page of the embedded browser: the page's own accessibility tree names
// what it shows.
bool isWebContent(const QWidget *w)
{
    return w->inherits("QQuickWidget");
}

bool takesTab(const QWidget *w, const QWidget *window)
{
    return !isWebContent(w) && w->window() == window && w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
        && !w->focusProxy();
}

// A radio button Tab passes by: another of its exclusive group holds the
// choice (arrow keys move within the group).
bool skippedRadio(const QWidget *w)
{
    auto *radio = qobject_cast<const QRadioButton *>(w);
    if (!radio || radio->isChecked() || !radio->autoExclusive())
        return false;
    for (const QRadioButton *other : radio->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly))
        if (other != radio && other->isChecked() && other->autoExclusive())
            return true;
    return false;
}

// The controls Tab should visit, top to bottom, left to right.
QList<QWidget *> controlsInReadingOrder(QWidget *window)
{
    QList<QWidget *> out;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (takesTab(w, window) && !skippedRadio(w))
            out.append(w);
    std::stable_sort(out.begin(), out.end(), [window](QWidget *a, QWidget *b) {
        const QPoint pa = a->mapTo(window, QPoint()), pb = b->mapTo(window, QPoint());
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    return out;
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// What a keyboard and screen-reader user meets in one window: where the
// focus starts, where Tab takes it, which controls have no name, and
// whether Escape closes the window. Faults are returned, one per line.
QStringList keyboardFaults(QWidget *window)
{
    QStringList faults;
    // Activations still queued (the window closed last gives the focus back
    // to the main window) come first; then this window is the active one.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(window);
    const QList<QWidget *> controls = controlsInReadingOrder(window);
    QWidget *focus = QApplication::focusWidget();
    const auto firstText = std::find_if(controls.begin(), controls.end(), isTextField);
    if (firstText != controls.end()) {
        if (focus != *firstText && !(*firstText)->isAncestorOf(focus))
            faults << QStringLiteral("opens with the focus on %1, not on the first field %2")
                          .arg(describe(focus), describe(*firstText));
    } else if (!focus || focus->window() != window) {
        faults << QStringLiteral("opens with the focus on %1").arg(describe(focus));
    }
    if (!focus || focus->window() != window) {
        window->close();
        window->hide();
        return faults;
    }

    QList<QWidget *> visited;
    for (QWidget *at = focus; at && visited.size() <= controls.size() + 1;) {
        QTest::keyClick(at, Qt::Key_Tab);
        QWidget *next = QApplication::focusWidget();
        if (next == at) {
            if (controls.size() == 1)  // nowhere else to go
                visited << next;
            else
                faults << QStringLiteral("Tab does not leave %1").arg(describe(at));
            break;
        }
        visited << next;
        at = next;
        if (at == focus)
            break;
    }
    for (QWidget *c : controls) {
        if (visited.count(c) != 1)
            faults << QStringLiteral("Tab visits %1 %2 times").arg(describe(c)).arg(visited.count(c));
        if (accessibleName(c).isEmpty())
            faults << QStringLiteral("%1 has no accessible name").arg(describe(c));
    }
    for (QWidget *v : std::as_const(visited))
        if (!controls.contains(v))
            faults << QStringLiteral("Tab stops on %1, which is not an enabled control").arg(describe(v));

    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    if (!buttons.isEmpty() && std::none_of(buttons.begin(), buttons.end(), [](QPushButton *b) {
            return b->isDefault() && b->isVisible();
        }))
        faults << QStringLiteral("no default button for Enter");

    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
    if (window->isVisible()) {
        faults << QStringLiteral("Escape does not close it");
        window->close();
        window->hide();
    }
    return faults;
}

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir"), m_dir.filePath(QStringLiteral("data"))}));
        m_shell = std::make_unique<TApplicationShell>();
        m_shell->installSubsystems = installSubsystems;
        m_shell->quit = [] {};
        m_shell->start({QStringLiteral("quorvant")});
        QCoreApplication::processEvents();
        form = m_shell->Form1();
        m_shell->TaskManager()->findChild<QPushButton *>(QStringLiteral("NewBlankPage"))->click();
        MessageService::takeRecorded();
    }

    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_shell.reset();
        MessageService::resetTestHook();
    }

    // Runs open and returns the window it brought up, after check has looked
    // at it (inside the dialog's own event loop when it runs one).
    QString openWindow(const std::function<void()> &open, const std::function<void(QWidget *)> &check)
    {
        QSet<QWidget *> before;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                before << w;
        QString opened;
        auto look = [&] {
            if (!opened.isEmpty())
                return;
            // A dialog waiting in its own loop is what the command opened,
            // whatever else an earlier command showed late meanwhile.
            QList<QWidget *> candidates = QApplication::topLevelWidgets();
            if (QWidget *modal = QApplication::activeModalWidget())
                candidates.prepend(modal);
            for (QWidget *w : std::as_const(candidates)) {
                if (w->isVisible() && !before.contains(w) && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) {
                    opened = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()).section(QStringLiteral("::"), -1)
                                                    : w->objectName();
                    check(w);
                    return;
                }
            }
        };
        // A window left open in a modal loop of its own (a second dialog the
        // walk did not close) would hold open() for ever: after a while it is
        // named as a fault and closed.
        QElapsedTimer sinceOpened;
        auto closeForgottenModal = [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || opened.isEmpty() || !sinceOpened.isValid() || sinceOpened.elapsed() < kForgottenModalMs)
                return;
            ADD_FAILURE() << "still open after the walk of " << opened.toStdString() << ": " << describe(modal).toStdString();
            modal->close();
            sinceOpened.restart();
        };
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool wasOpen = !opened.isEmpty();
            look();
            if (!wasOpen && !opened.isEmpty())
                sinceOpened.start();
            closeForgottenModal();
        });
        poll.start(20);
        open();
        poll.stop();
        look();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && !before.contains(w))
                w->hide();
        if (!form->documents()->currentBuffer())
            form->documents()->blankDocument();
        return opened;
    }

    // Every command of the menus that reaches the outside (printers, web
    // sites, files) or ends the program is left out.
    QList<QAction *> menuCommands() const
    {
        static const QStringList outside = QStringLiteral(
            "Exit1 PrintAll1 PrintSelectedBlock1 PrintAllOpenFiles1 PrinterSetup1 Open1 Save1 SaveAs1 SaveAll1 Close1 "
            "CloseAll1 FullScreenMode1 WDGHTMLHelpWebSite1 SourceForge1 Visitourwebsite1 LivePreview1 NoBrowsers1 "
            "ReOpenTaskManager1 Import1 ConvertTextFileHTMLDocument1").split(u' ');
        QList<QAction *> out;
        std::function<void(QMenu *)> walk = [&](QMenu *menu) {
            emit menu->aboutToShow();
            for (QAction *a : menu->actions()) {
                if (a->menu())
                    walk(a->menu());
                else if (!a->isSeparator() && !outside.contains(a->objectName()))
                    out << a;
            }
        };
        for (QAction *m : form->menuBar()->actions())
            if (m->menu())
                walk(m->menu());
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TApplicationShell> m_shell;
    TForm1 *form = nullptr;
};

} // namespace

TEST_F(AccessibilityTest, EveryDialogStartsOnItsFirstFieldTabsThroughEveryControlOnceAndClosesWithEscape)
{
    // The menus' commands, then the dialogs of the sidebar pages, the bars
    // and the network page.
    QList<std::pair<QString, std::function<void()>>> openers;
    for (QAction *command : menuCommands())
        openers.append({command->objectName(), [command] { command->trigger(); }});
    auto *sidebar = form->findChild<QTabWidget *>(QStringLiteral("Sidebar"));
    ASSERT_NE(sidebar, nullptr);
    for (int page = sidebar->count() - 1; page >= 0; --page)  // pages are built when first shown
        sidebar->setCurrentIndex(page);
    for (const char *name : {"Createanewproject1", "CreateCodeSnippetButton"}) {
        QAction *action = form->findChild<QAction *>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        openers.append({QLatin1String(name), [action] { action->trigger(); }});
    }
    for (const char *id : {"SoundWizard", "OpenInNewWindow", "InsertTarget", "GotoTarget", "DefineScript", "ServerVariables",
                           "SSIVariables"})
        openers.append({QLatin1String(id), [this, id] { EXPECT_TRUE(form->commands().run(QLatin1String(id))) << id; }});
    auto *mainPages = form->findChild<QTabWidget *>(QStringLiteral("tabholder"));
    ASSERT_NE(mainPages, nullptr);
    for (int page = 0; page < mainPages->count(); ++page) {
        if (mainPages->tabText(page).startsWith(QLatin1String("Network")))
            mainPages->setCurrentIndex(page);
    }
    auto *connectButton = form->findChild<QPushButton *>(QStringLiteral("NetworkConnectButton"));
    ASSERT_NE(connectButton, nullptr);
    openers.append({QStringLiteral("NetworkConnectButton"), [connectButton] { connectButton->click(); }});

    QStringList seen;
    for (const auto &entry : openers) {
        // Named, not bound: clang 14 cannot capture a structured binding.
        const QString &opener = entry.first;
        const auto &open = entry.second;
        const QString opened = openWindow(open, [&](QWidget *window) {
            const QStringList faults = keyboardFaults(window);
            EXPECT_TRUE(faults.isEmpty()) << opener.toStdString() << " opens " << describe(window).toStdString()
                                          << ":\n  " << faults.join(QStringLiteral("\n  ")).toStdString();
        });
        if (!opened.isEmpty())
            seen << opened;
    }
    // The walk met the dialogs of every subsystem.
    for (const char *name : {"FindDialog", "ReplaceDialog", "GoToLineDialog", "FindInFileFrm", "LoadFromWeb", "mnutables",
                             "mnuimages", "MnuAnchorLink", "MnuEmail", "HRMenu", "MnuListInsert", "MnuComment",
                             "MnuJavaApplet", "mnufont", "MnuProperties", "MnuMargins", "MnuPageTransitions", "MnuHTMLTidy",
                             "OptionsMenu", "EnvironmentOptionsDialog", "MnuAbout", "MnuJavaScript", "MnuObjectTree",
                             "NewProjectDialog", "MnuCodeSnippet", "MnuDefineJS", "MnuASP", "MnuSSI", "THalvornNetworkMonitor",
                             "MnuSound", "MnuOpenInNewWindow", "MnuInsertTarget", "MnuGotoTarget"})
        EXPECT_TRUE(seen.contains(QLatin1String(name))) << name << " not met; met " << seen.join(u' ').toStdString();
}

// A screen reader names every control of the main window: the document,
// the bars and each page of the sidebar, shown in turn.
TEST_F(AccessibilityTest, EveryControlOfTheMainWindowHasAName)
{
    auto *sidebar = form->findChild<QTabWidget *>(QStringLiteral("Sidebar"));
    ASSERT_NE(sidebar, nullptr);
    QStringList unnamed;
    for (int page = 0; page < sidebar->count(); ++page) {
        sidebar->setCurrentIndex(page);
        QCoreApplication::processEvents();
        for (QWidget *c : controlsInReadingOrder(form)) {
            const QString fault = describe(c) + QStringLiteral(" (sidebar page ") + sidebar->tabText(page) + u')';
            if (accessibleName(c).isEmpty() && !unnamed.contains(fault))
                unnamed << fault;
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
}

// The editor keeps Tab for itself: F6 and Shift+F6 take the keyboard from
// the document to the sidebar and the bars and back.
TEST_F(AccessibilityTest, F6MovesTheFocusFromTheDocumentThroughThePanesAndBack)
{
    QWidget *editor = form->DCMemo1()->widget();
    QApplication::setActiveWindow(form);
    editor->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor->hasFocus());
    auto *sidebar = form->findChild<QTabWidget *>(QStringLiteral("Sidebar"));
    ASSERT_NE(sidebar, nullptr);

    QTest::keyClick(editor, Qt::Key_F6);
    QWidget *next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(sidebar->isAncestorOf(next)) << describe(next).toStdString();

    QStringList visited;
    for (int i = 0; i < 8 && QApplication::focusWidget() != editor; ++i) {
        visited << describe(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    }
    EXPECT_EQ(QApplication::focusWidget(), editor) << visited.join(QStringLiteral(", ")).toStdString();
    QTest::keyClick(editor, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_NE(QApplication::focusWidget(), editor);
    EXPECT_FALSE(sidebar->isAncestorOf(QApplication::focusWidget()));  // backwards: the last pane first
}

// Standard actions show the desktop theme's picture of their freedesktop
// name; where the theme has none, the program's own drawing of the same thing.
TEST(StandardActionIcons, ComeFromTheDesktopThemeElseFromTheProgramsOwnDrawings)
{
    QTemporaryDir themes;
    ASSERT_TRUE(themes.isValid());
    ASSERT_TRUE(QDir(themes.path()).mkpath(QStringLiteral("TestTheme/16x16/actions")));
    QFile index(themes.filePath(QStringLiteral("TestTheme/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=TestTheme\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(themes.filePath(QStringLiteral("TestTheme/16x16/actions/edit-cut.png"))));

    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    const QString fallbackTheme = QIcon::fallbackThemeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("TestTheme"));
    QIcon::setFallbackThemeName(QStringLiteral("TestTheme"));
    std::unique_ptr<TForm1> window = Quorvant::Test::openMainWindow();

    const QIcon cut = window->action(QStringLiteral("Cut1"))->icon();
    EXPECT_EQ(cut.name(), QStringLiteral("edit-cut"));
    EXPECT_EQ(cut.pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    for (const char *name : {"Paste1", "Copy1", "Find1"}) {
        const QIcon icon = window->action(QLatin1String(name))->icon();
        EXPECT_TRUE(icon.name().isEmpty()) << name;
    }
    EXPECT_EQ(window->action(QStringLiteral("Paste1"))->icon().pixmap(16).toImage(),
              ownActionIcon(QStringLiteral("edit-paste")).pixmap(16).toImage());
    EXPECT_FALSE(ownActionIcon(QStringLiteral("edit-paste")).pixmap(16).isNull());

    Quorvant::Test::closeMainWindow(window);
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallbackTheme);
}
