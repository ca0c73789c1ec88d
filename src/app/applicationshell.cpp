#include "applicationshell.h"

#include "appglobals.h"
#include "automation/commandline.h"
#include "debugmenu.h"
#include "documentset.h"
#include "functionkeys.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "optionsmenu.h"
#include "taskmanager.h"
#include "tdcmemo.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>
#include <QTabWidget>
#include <QTimer>

#include <memory>
#include <utility>

#include <cstdio>
#include <unistd.h>

namespace Quorvant {

namespace {

TApplicationShell *g_shell = nullptr;

QPixmap splashPicture()
{
    QPixmap pixmap(480, 260);
    QPainter p(&pixmap);
    QLinearGradient gradient(0, 0, 0, pixmap.height());
    gradient.setColorAt(0, QColor(0x1F, 0x3A, 0x68));
    gradient.setColorAt(1, QColor(0x0B, 0x17, 0x2E));
    p.fillRect(pixmap.rect(), gradient);
    p.setPen(QColor(0xF2, 0xF5, 0xFA));
    QFont title(QStringLiteral("DejaVu Sans"), 34, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(0, 50, pixmap.width(), 60), Qt::AlignCenter, QStringLiteral("Quorvant"));
    QFont sub(QStringLiteral("DejaVu Sans"), 12);
    p.setFont(sub);
    p.setPen(QColor(0xA9, 0xC1, 0xE8));
    p.drawText(QRect(0, 110, pixmap.width(), 30), Qt::AlignCenter, QStringLiteral("HTML source editor \u00B7 Enterprise Edition"));
    p.setPen(QColor(0x4F, 0x7C, 0xC0));
    p.drawLine(40, 160, pixmap.width() - 40, 160);
    return pixmap;
}

// KiB of the program's own code in memory: what its starts touched of it.
qint64 residentOwnCodeKib()
{
    const QByteArray exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toLocal8Bit();
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (exe.isEmpty() || !smaps.open(QIODevice::ReadOnly))
        return -1;
    qint64 kib = 0;
    bool ownCode = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields.at(0).contains('-') && !fields.at(0).endsWith(':'))
            ownCode = fields.size() >= 6 && fields.at(5) == exe && fields.at(1).contains('x');
        else if (ownCode && fields.size() >= 2 && fields.at(0) == "Rss:")
            kib += fields.at(1).toLongLong();
    }
    return kib;
}

} // namespace

TApplicationShell::TApplicationShell(QObject *parent)
    : QObject(parent)
{
    g_shell = this;
    quit = [] { QCoreApplication::quit(); };
}

TApplicationShell::~TApplicationShell()
{
    if (!m_finalClosed && m_taskManager) {
        gClosingNow = true;
        finalClose();
    }
    qApp->removeEventFilter(m_keys);
    delete m_form1.data();
    delete m_taskManager.data();
    delete m_javaScript.data();
    delete m_dhtml.data();
    delete m_objectTree.data();
    delete m_optionsMenu.data();
    delete m_debugMenu.data();
    if (g_shell == this)
        g_shell = nullptr;
}

TApplicationShell *TApplicationShell::instance()
{
    return g_shell;
}

void TApplicationShell::splashStep(const QString &text)
{
    m_splashMessages.append(text);
    if (m_splash) {
        m_splash->showMessage(text, Qt::AlignBottom | Qt::AlignHCenter, QColor(0xF2, 0xF5, 0xFA));
        m_splash->raise();
        m_splash->repaint();
    }
}

QWidget *TApplicationShell::createEmptyWindow(const char *objectName, const QString &caption)
{
    auto *w = new QWidget(nullptr, Qt::Window);
    w->setObjectName(QLatin1String(objectName));
    w->setWindowTitle(caption);
    m_creationOrder.append(w->objectName());
    return w;
}

void TApplicationShell::start(const QStringList &args)
{
    QApplication::setQuitOnLastWindowClosed(false);
    m_splash = new QSplashScreen(splashPicture(), Qt::WindowStaysOnTopHint);
    m_splash->setObjectName(QStringLiteral("SplashScreen"));
    m_splash->show();
    // The splash stays on top: a box shown while it is up (the first-run
    // question) would be hidden behind it, so it steps back meanwhile.
    auto previousWatcher = std::make_shared<MessageService::BoxWatcher>();
    *previousWatcher = MessageService::setBoxWatcher([this, previousWatcher](bool showing) {
        if (m_splash) {
            m_splash->setVisible(!showing);
            if (!showing)
                m_splash->raise();
        }
        if (*previousWatcher)
            (*previousWatcher)(showing);
    });
    splashStep(QStringLiteral("Initialising Executable..."));

    splashStep(QStringLiteral("Creating Task Manager..."));
    m_taskManager = new TTaskManager(this);
    m_creationOrder.append(m_taskManager->objectName());

    splashStep(QStringLiteral("Initialising Javascript Parser..."));
    m_javaScript = createEmptyWindow("MnuJavaScript", QStringLiteral("Insert Javascript"));
    splashStep(QStringLiteral("Initialising DHTML Parser..."));
    m_dhtml = createEmptyWindow("MnuDHTML", QStringLiteral("Insert DHTML"));
    splashStep(QStringLiteral("Creating Javascript Object Tree..."));
    m_objectTree = createEmptyWindow("MnuObjectTree", QStringLiteral("Javascript Object Tree"));
    splashStep(QStringLiteral("Populating Task Manager..."));
    // The Options Menu takes its place here but is built when first opened:
    // nobody sees it at start, and it is one of the larger windows.
    m_creationOrder.append(QStringLiteral("OptionsMenu"));

    splashStep(QStringLiteral("Loading Program Settings..."));
    m_debugMenu = new TDebugMenu;
    m_creationOrder.append(m_debugMenu->objectName());

    splashStep(QStringLiteral("Activating Debug Environment..."));
    m_form1 = new TForm1;
    m_creationOrder.append(m_form1->objectName());
    m_form1->setShell(this);
    if (installSubsystems)
        installSubsystems(*m_form1);
    installFunctionKeys();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        m_form1->setGeometry(screen->availableGeometry());
    m_form1->showMaximized();
    m_splash->raise();  // the splash stays in front while the settings load
    m_form1->FormShow();

    splashStep(QStringLiteral("Creating Active Objects..."));
    MessageService::setBoxWatcher(*previousWatcher);
    m_splash->hide();
    delete m_splash;
    m_splash = nullptr;

    // Files named on the command line open as documents once the message
    // loop has shown the Task Manager, the principal window.
    const QStringList files = parseCommandLine(args).files;
    QTimer::singleShot(0, this, [this, files] { finishStart(files); });
}

void TApplicationShell::finishStart(const QStringList &files)
{
    showTaskManager();
    // A document that opened while the program started is where the user
    // is, as one named on the command line would be.
    if (m_form1 && m_form1->documents()->PagesOpen() > 0 && m_taskManager)
        m_taskManager->leaveForDocument();
    m_phase = StartPhase::OpeningFiles;
    openFiles(files + std::exchange(m_filesHandedOverAtStart, {}));
    m_phase = StartPhase::Started;
    if (qEnvironmentVariableIsSet("QUORVANT_STARTUP_PROBE"))
        QTimer::singleShot(0, this, &TApplicationShell::reportStartupAndQuit);
}

QWidget *TApplicationShell::OptionsMenu()
{
    if (!m_optionsMenu && !m_finalClosed) {
        auto *options = new TOptionsMenu(
            [this] {
                if (m_form1) {
                    m_form1->LoadAllViewSettings();
                    m_form1->LoadAllSecondaryOptions();
                    m_form1->LoadDefaultParser();
                }
            },
            [this](const TSystemSettings &settings) {
                if (m_form1)
                    m_form1->rebuildPreviewInBrowser(settings.Browsers);
            });
        if (m_form1)
            options->fillSystemSettings(m_form1->systemSettings());
        m_optionsMenu = options;
    }
    return m_optionsMenu;
}

void TApplicationShell::openFiles(const QStringList &files)
{
    if (m_phase == StartPhase::BuildingWindows) {
        m_filesHandedOverAtStart += files;
        return;
    }
    if (!m_form1)
        return;
    // Handed over while a big file loads: after it.
    if (m_form1->documents()->isLoading()) {
        QTimer::singleShot(200, this, [this, files] { openFiles(files); });
        return;
    }
    QStringList missing;
    bool opened = false;
    for (const QString &f : files) {
        if (!QFileInfo(f).isFile())
            missing.append(f);
        else if (m_form1->documents()->openOrShow(f))
            opened = true;
    }
    QWidget *front = m_form1;
    if (opened && m_taskManager)
        m_taskManager->leaveForDocument();
    else if (m_taskManager && m_taskManager->isVisible())
        front = m_taskManager;
    if (front->isMinimized())
        front->showNormal();
    front->raise();
    front->activateWindow();
    // One box for all of them, so a long list does not ask once per file.
    if (missing.size() == 1)
        MessageService::warning(m_form1,
                                QStringLiteral("The file %1 does not exist, so it was not opened.").arg(missing.first()));
    else if (!missing.isEmpty())
    {
        // A screenful at most, so the box's button stays on the screen.
        constexpr qsizetype Listed = 15;
        QString list = missing.mid(0, Listed).join(u'\n');
        if (missing.size() > Listed)
            list += QStringLiteral("\n... and %1 more.").arg(missing.size() - Listed);
        MessageService::warning(m_form1, QStringLiteral("These files do not exist, so they were not opened:\n%1").arg(list));
    }
}

void TApplicationShell::reportStartupAndQuit()
{
    // For the start-up benchmark: the time since the process started and the
    // memory in use, once the Task Manager is shown and the event loop idle.
    const long ticks = sysconf(_SC_CLK_TCK);
    double uptime = 0;
    long long started = 0;
    if (FILE *f = fopen("/proc/uptime", "r")) {
        if (fscanf(f, "%lf", &uptime) != 1)
            uptime = 0;
        fclose(f);
    }
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 19)
            started = fields.at(19).toLongLong();
    }
    // Whether the browser engine's libraries came in, though no browser exists.
    QFile maps(QStringLiteral("/proc/self/maps"));
    const bool engine = maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
    QFile status(QStringLiteral("/proc/self/status"));
    QByteArray rss;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &l : status.readAll().split('\n')) {
            if (l.startsWith("VmRSS:"))
                rss = l.mid(6).trimmed();
        }
    }
    const double ms = uptime * 1000.0 - double(started) * 1000.0 / double(ticks);
    fprintf(stdout, "startup_ms=%.0f browser_engine=%s code_kib=%lld rss=%s\n", ms, engine ? "loaded" : "no",
            static_cast<long long>(residentOwnCodeKib()), rss.constData());
    fflush(stdout);
    if (m_taskManager)
        m_taskManager->close();
}

void TApplicationShell::installFunctionKeys()
{
    m_keys = new FunctionKeyFilter(this);
    TForm1 *form = m_form1;
    m_keys->editorPage = [form] {
        form->tabholder()->setCurrentIndex(0);
        if (form->documents()->PagesOpen() > 0)
            form->DCMemo1()->setFocus();
    };
    m_keys->previewPage = [form] { form->previewByKey(); };
    m_keys->networkPage = [form] { form->tabholder()->setCurrentIndex(3); };
    m_keys->helpKey = [form] { form->commands().run(QLatin1String(KeyCommandF1)); };
    m_keys->ctrlSpace = [form] { form->commands().run(QLatin1String(KeyCommandCtrlSpace)); };
    qApp->installEventFilter(m_keys);
}

void TApplicationShell::showTaskManager()
{
    if (m_taskManager)
        m_taskManager->showManager();
}

void TApplicationShell::finalClose()
{
    if (m_finalClosed)
        return;
    m_finalClosed = true;
    if (m_form1)
        m_form1->setEnabled(true);
    if (m_taskManager)
        m_taskManager->freeLongLivedObjects();
    if (m_form1)
        m_form1->freeLongLivedObjects();
    if (m_debugMenu)
        m_debugMenu->close();
    if (quit)
        quit();
}

} // namespace Quorvant
