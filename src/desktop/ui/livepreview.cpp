#include "livepreview.h"

#include "browserengine.h"
#include "browserengineloader.h"
#include "browserpage.h"
#include "datafolder.h"
#include "desktoptexts.h"
#include "documentset.h"
#include "inifile.h"
#include "mainwindow.h"
#include "setuptools.h"
#include "tdcmemo.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <QLabel>

namespace Quorvant {

TLivePreview::TLivePreview(TForm1 &form)
    : QObject(&form)
    , m_form(form)
{
    setObjectName(QStringLiteral("LivePreview"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(400);
    connect(&m_timer, &QTimer::timeout, this, &TLivePreview::followNow);

    if (QMenu *view = form.menu(QStringLiteral("View1"))) {
        m_action = new QAction(DesktopText::LivePreviewCaption, view);
        m_action->setObjectName(QStringLiteral("LivePreview1"));
        m_action->setCheckable(true);
        view->addSeparator();
        view->addAction(m_action);
        connect(m_action, &QAction::triggered, this, [this](bool on) { setOn(on); });
    }
    if (TBrowserPage *page = form.previewPage()) {
        m_check = new QCheckBox(DesktopText::LivePreviewCaption, page);
        m_check->setObjectName(QStringLiteral("LivePreviewCheckBox"));
        m_check->setToolTip(QStringLiteral("Follow the text as you type, without saving it"));
        page->addToBar(m_check);
        connect(m_check, &QCheckBox::clicked, this, [this](bool on) { setOn(on); });
    }
    if (!DataFolder::path().isEmpty())
        m_on = IniFile(TSetupTools::mainIniPath()).readBool(iniSection(), iniKey(), false);
    if (m_action)
        m_action->setChecked(m_on);
    if (m_check)
        m_check->setChecked(m_on);

    connect(form.DCMemo1(), &IEditorView::changed, this, &TLivePreview::textChanged);
    connect(form.tabholder(), &QTabWidget::currentChanged, this, &TLivePreview::placePane);
    connect(form.documents(), &TDocumentSet::currentDocumentChanged, this, [this] {
        placePane();
        if (m_on && m_dock && m_dock->isVisible())
            m_timer.start();
    });
    placePane();
}

void TLivePreview::placePane()
{
    // Beside the editor page only: the Preview page shows the same itself.
    const bool wanted = m_on && m_form.tabholder()->currentIndex() == 0 && m_form.documents()->PagesOpen() > 0;
    if (!wanted) {
        if (m_dock)
            m_dock->hide();
        return;
    }
    if (!m_dock) {
        m_dock = new QDockWidget(QStringLiteral("Live Preview"), &m_form);
        m_dock->setObjectName(QStringLiteral("LivePreviewPane"));
        m_dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        // The browser engine is loaded now, when the pane is first wanted.
        QString error;
        if (IBrowserEngine *engine = TBrowserEngineLoader::engine(&error)) {
            m_view = engine->createView(m_dock, QStringLiteral("LivePreviewBrowser"), {});
            m_view->widget()->setMinimumWidth(320);
            m_dock->setWidget(m_view->widget());
        } else {
            m_dock->setWidget(TBrowserEngineLoader::failureLabel(error, m_dock));
        }
        m_form.addDockWidget(Qt::RightDockWidgetArea, m_dock);
        m_form.resizeDocks({m_dock}, {m_form.width() * 2 / 5}, Qt::Horizontal);
    }
    if (!m_dock->isVisible()) {
        m_dock->show();
        m_timer.start();
    }
}

QUrl TLivePreview::paneUrl() const
{
    return m_paneFile.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_paneFile);
}

void TLivePreview::showInPane(const QUrl &url)
{
    if (!m_view)
        return;
    m_paneFile = url.toLocalFile();
    if (m_view->url() != url) {
        m_view->load(url);
        return;
    }
    m_view->reloadKeepingScroll();
}

void TLivePreview::setOn(bool on)
{
    if (m_action)
        m_action->setChecked(on);
    if (m_check)
        m_check->setChecked(on);
    if (on == m_on)
        return;
    m_on = on;
    if (!DataFolder::path().isEmpty()) {
        IniFile ini(TSetupTools::mainIniPath());
        if (!ini.writeBool(iniSection(), iniKey(), on)) {
            if (DebugOut out = m_form.debugTarget())
                out(QStringLiteral("Error: TLivePreview: could not store the live preview option in %1").arg(ini.path()));
        }
    }
    placePane();
    if (on && previewShowing())
        m_timer.start();
    else
        m_timer.stop();
}

bool TLivePreview::previewPageShowing() const
{
    TBrowserPage *page = m_form.previewPage();
    return page && m_form.tabholder()->currentWidget() == page;
}

bool TLivePreview::previewShowing() const
{
    if (m_form.documents()->PagesOpen() == 0)
        return false;
    TBrowserPage *page = m_form.previewPage();
    return (page && page->isVisible()) || (m_dock && m_dock->isVisible());
}

void TLivePreview::textChanged()
{
    if (m_on && previewShowing())
        m_timer.start();
}

bool TLivePreview::followNow()
{
    if (!previewShowing())
        return false;
    QString error;
    if (m_form.refreshPreview(false, &error)) {
        if (m_dock && m_dock->isVisible())
            showInPane(QUrl::fromLocalFile(m_form.previewFileName()));
        return true;
    }
    const QString text = QStringLiteral("The preview could not be written: %1").arg(error);
    if (previewPageShowing())
        m_form.previewPage()->statusBar()->showMessage(text);
    else
        m_form.StatusBar1()->showMessage(text, 10000);
    return false;
}

} // namespace Quorvant
