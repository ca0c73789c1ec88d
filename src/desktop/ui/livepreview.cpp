#include "livepreview.h"

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
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>

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
    if (on && previewShowing())
        m_timer.start();
    else
        m_timer.stop();
}

bool TLivePreview::previewShowing() const
{
    TBrowserPage *page = m_form.previewPage();
    return page && page->isVisible() && m_form.documents()->PagesOpen() > 0;
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
    if (m_form.refreshPreview(false, &error))
        return true;
    if (QStatusBar *status = m_form.previewPage()->statusBar())
        status->showMessage(QStringLiteral("The preview could not be written: %1").arg(error));
    return false;
}

} // namespace Quorvant
