#include "webenginebrowser.h"

#include "webengineview.h"

#include <QQuickWindow>

namespace Quorvant {

IBrowserView *WebEngineBrowser::createView(QWidget *parent, const QString &objectName, BrowserViewEvents events)
{
    // Set by the engine itself when it is loaded before the application
    // starts; here it comes later, before the first view.
    static const bool graphics = [] {
        const auto api = QQuickWindow::graphicsApi();
        if (api != QSGRendererInterface::OpenGLRhi && api != QSGRendererInterface::VulkanRhi)
            QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
        return true;
    }();
    Q_UNUSED(graphics);
    return new WebEngineView(parent, objectName, std::move(events));
}

} // namespace Quorvant
