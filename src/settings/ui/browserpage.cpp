#include "browserpage.h"

#include "browserengine.h"
#include "browserengineloader.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace Quorvant {

const QList<QSize> &TBrowserPage::resolutions()
{
    static const QList<QSize> sizes = {QSize(), QSize(640, 480), QSize(800, 600), QSize(1024, 768), QSize(1152, 864),
                                       QSize(1280, 768), QSize(1280, 960), QSize(1280, 1024)};
    return sizes;
}

TBrowserPage::TBrowserPage(Kind kind, const QString &namePrefix, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_prefix(namePrefix)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (kind != Kind::TagList) {
        m_bar = new QWidget(this);
        auto *row = new QHBoxLayout(m_bar);
        row->setContentsMargins(2, 2, 2, 0);
        row->setSpacing(2);
        const QString suffix = kind == Kind::Documentation ? QStringLiteral("2") : QString();
        m_backGreen = addButton(QStringLiteral("GoBackGreenButton") + suffix, QStringLiteral("\u25C0"), QStringLiteral("Back..."));
        m_backGrey = addButton(QStringLiteral("GoBackGreyButton") + suffix, QStringLiteral("\u25C1"), QStringLiteral("Back..."));
        m_forwardGreen = addButton(QStringLiteral("GoForwardGreenButton") + suffix, QStringLiteral("\u25B6"), QStringLiteral("Forward..."));
        m_forwardGrey = addButton(QStringLiteral("GoForwardGreyButton") + suffix, QStringLiteral("\u25B7"), QStringLiteral("Forward..."));
        for (QToolButton *green : {m_backGreen, m_forwardGreen})
            green->setStyleSheet(QStringLiteral("color: #1B8A2E; font-weight: bold;"));
        for (QToolButton *grey : {m_backGrey, m_forwardGrey}) {
            grey->setStyleSheet(QStringLiteral("color: #9A9A9A;"));
            grey->setEnabled(false);
        }
        m_backGreen->hide();
        m_forwardGreen->hide();
        connect(m_backGreen, &QToolButton::clicked, this, &TBrowserPage::back);
        connect(m_forwardGreen, &QToolButton::clicked, this, &TBrowserPage::forward);
        QToolButton *refreshButton = addButton(kind == Kind::Preview ? QStringLiteral("SpeedButton13") : QStringLiteral("SpeedButton17"),
                                               QStringLiteral("\u21BB"), QStringLiteral("Refresh..."));
        connect(refreshButton, &QToolButton::clicked, this, &TBrowserPage::refresh);
        QToolButton *stopButton = addButton(kind == Kind::Preview ? QStringLiteral("SpeedButton12") : QStringLiteral("SpeedButton12b"),
                                            QStringLiteral("\u25A0"), QStringLiteral("Stop!"));
        connect(stopButton, &QToolButton::clicked, this, &TBrowserPage::stop);
        if (kind == Kind::Preview) {
            QToolButton *res = addButton(QStringLiteral("SpeedButton14"), QStringLiteral("Resolution"), QStringLiteral("Preview Resolution..."));
            m_resolutionMenu = new QMenu(this);
            m_resolutionMenu->setObjectName(QStringLiteral("ResolutionPopup"));
            auto *group = new QActionGroup(this);
            const char *names[] = {"Automatic1", "N640x4801", "N800x6001", "N1024x7681", "N1152x8641", "N1280x7681", "N1280x9601", "N1280x10241"};
            for (int i = 0; i < resolutions().size(); ++i) {
                const QSize s = resolutions().at(i);
                QAction *a = m_resolutionMenu->addAction(i == 0 ? QStringLiteral("Automatic")
                                                                : QStringLiteral("%1x%2").arg(s.width()).arg(s.height()));
                a->setObjectName(QLatin1String(names[i]));
                a->setCheckable(true);
                a->setChecked(i == 0);
                group->addAction(a);
                connect(a, &QAction::triggered, this, [this, i] { setResolution(i); });
            }
            connect(res, &QToolButton::clicked, this,
                    [this, res] { m_resolutionMenu->popup(res->mapToGlobal(QPoint(0, res->height()))); });
        }
        m_fullScreen = addButton(kind == Kind::Preview ? QStringLiteral("SpeedButton10") : QStringLiteral("SpeedButton21"),
                                 QStringLiteral("\u25A3"), QStringLiteral("Toggle Full Screen"));
        m_fullScreen->setCheckable(kind == Kind::Preview);
        connect(m_fullScreen, &QToolButton::clicked, this, &TBrowserPage::fullScreenClicked);
        if (kind == Kind::Preview) {
            m_title = new QLabel(m_bar);
            m_title->setObjectName(QStringLiteral("Label12"));
            m_title->setTextFormat(Qt::PlainText);
            row->addSpacing(12);
            row->addWidget(m_title, 1);
        } else {
            row->addStretch(1);
        }
        layout->addWidget(m_bar);
    }
    if (kind == Kind::Preview) {
        m_scroll = new QScrollArea(this);
        m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
        m_holder = new QWidget;
        new QVBoxLayout(m_holder);
        m_holder->layout()->setContentsMargins(0, 0, 0, 0);
        m_scroll->setWidget(m_holder);
        m_scroll->setWidgetResizable(true);
        layout->addWidget(m_scroll, 1);
        m_status = new QStatusBar(this);
        m_status->setObjectName(QStringLiteral("StatusBar2"));
        m_status->setSizeGripEnabled(false);
        layout->addWidget(m_status);
    } else {
        m_holder = this;
    }
}

QToolButton *TBrowserPage::addButton(const QString &name, const QString &text, const QString &hint)
{
    auto *b = new QToolButton(m_bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    m_bar->layout()->addWidget(b);
    return b;
}

void TBrowserPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_view && !m_failure)
        createBrowser();
}

void TBrowserPage::createBrowser()
{
    if (m_view || m_failure)
        return;
    IBrowserEngine *engine = TBrowserEngineLoader::engine(&m_error);
    if (!engine) {
        m_failure = TBrowserEngineLoader::failureLabel(m_error, m_holder);
        m_failure->setObjectName(m_prefix + QStringLiteral("Failure"));
        m_failure->setAlignment(Qt::AlignCenter);
        static_cast<QBoxLayout *>(m_holder->layout())->addWidget(m_failure, 1);
        return;
    }
    BrowserViewEvents events;
    if (m_kind == Kind::TagList) {
        // Only the home page opens here; every other link goes elsewhere.
        events.acceptNavigation = [this](const QUrl &url) {
            if (url.toString().compare(m_home.toString(), Qt::CaseInsensitive) == 0)
                return true;
            QMetaObject::invokeMethod(this, [this, url] { Q_EMIT redirected(url); }, Qt::QueuedConnection);
            return false;
        };
    } else {
        events.historyChanged = [this] { updateHistoryButtons(); };
    }
    if (m_title)
        events.titleChanged = [this](const QString &title) { m_title->setText(title); };
    if (m_status) {
        events.linkHovered = [this](const QString &link) { m_status->showMessage(link); };
        events.loadStarted = [this] { m_status->showMessage(QStringLiteral("Loading...")); };
        events.loadFinished = [this](bool ok) {
            m_status->showMessage(ok ? QStringLiteral("Done") : QStringLiteral("The page could not be loaded."));
        };
    }
    m_engineView = engine->createView(m_holder, m_prefix, std::move(events));
    m_view = m_engineView->widget();
    static_cast<QBoxLayout *>(m_holder->layout())->addWidget(m_view, 1);
    placeBrowser();
    if (m_url.isValid())
        m_engineView->load(m_url);
}

void TBrowserPage::updateHistoryButtons()
{
    if (!m_view || !m_backGreen)
        return;
    const bool canBack = m_engineView->canGoBack();
    const bool canForward = m_engineView->canGoForward();
    m_backGreen->setVisible(canBack);
    m_backGrey->setVisible(!canBack);
    m_forwardGreen->setVisible(canForward);
    m_forwardGrey->setVisible(!canForward);
}

void TBrowserPage::navigate(const QUrl &url)
{
    m_url = url;
    if (m_view)
        m_engineView->load(url);
}

void TBrowserPage::showAgainKeepingScroll(const QUrl &url)
{
    if (!m_engineView || m_engineView->url() != url) {
        navigate(url);
        return;
    }
    m_url = url;
    m_engineView->reloadKeepingScroll();
}

void TBrowserPage::addToBar(QWidget *widget)
{
    if (!m_bar)
        return;
    auto *row = static_cast<QBoxLayout *>(m_bar->layout());
    // Before the title, which takes the rest of the row.
    const int at = m_title ? row->indexOf(m_title) : row->count();
    row->insertWidget(at < 0 ? row->count() : at, widget);
}

void TBrowserPage::back()
{
    if (m_view)
        m_engineView->back();
}

void TBrowserPage::forward()
{
    if (m_view)
        m_engineView->forward();
}

void TBrowserPage::refresh()
{
    if (m_view)
        m_engineView->reload();
}

void TBrowserPage::stop()
{
    if (m_view)
        m_engineView->stop();
}

void TBrowserPage::setResolution(int index)
{
    if (index < 0 || index >= resolutions().size())
        return;
    m_resolution = index;
    if (m_resolutionMenu)
        m_resolutionMenu->actions().at(index)->setChecked(true);
    placeBrowser();
}

void TBrowserPage::placeBrowser()
{
    if (!m_scroll)
        return;
    const QSize size = resolutions().at(m_resolution);
    if (size.isEmpty()) {
        m_holder->setMinimumSize(0, 0);
        m_holder->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_scroll->setWidgetResizable(true);
    } else {
        m_scroll->setWidgetResizable(false);
        m_holder->setFixedSize(size);
        m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
}

} // namespace Quorvant
