#include "pluginmenu.h"

#include "plugins.h"
#include "textbuffer.h"

#include <QAction>
#include <QMenu>

namespace Quorvant {

TPluginMenu::TPluginMenu(TPlugins *plugins, std::function<ITextBuffer *()> currentBuffer, DebugOut debug,
                         QObject *parent)
    : QObject(parent)
    , m_plugins(plugins)
    , m_currentBuffer(std::move(currentBuffer))
    , m_debug(std::move(debug))
{
    setObjectName(QStringLiteral("PluginMenu"));
}

void TPluginMenu::RefreshPluginMenu(QMenu *Menu)
{
    if (!m_plugins || m_plugins->Count() == 0)
        return;
    if (!Menu) {
        debugOut(m_debug, QStringLiteral("Error: Plugins: RefreshPluginMenu: Menu Is NIL"));
        return;
    }
    for (const QPointer<QAction> &a : std::as_const(m_items))
        delete a.data();
    m_items.clear();
    Menu->clear();
    for (int i = 0; i < m_plugins->Count(); ++i) {
        // "&" in a caption is shown as it is, not as an accelerator mark.
        QString caption = m_plugins->GetPluginName(i);
        caption.replace(u'&', QLatin1String("&&"));
        auto *item = new QAction(caption, Menu);
        item->setObjectName(QStringLiteral("Plugin%1").arg(i + 1));
        item->setData(i);
        item->setToolTip(m_plugins->GetPluginPath(i));
        connect(item, &QAction::triggered, this, [this, item] { MenuItemClick(item); });
        Menu->addAction(item);
        m_items.append(item);
    }
}

void TPluginMenu::MenuItemClick(QAction *item)
{
    if (!item || !m_plugins)
        return;
    bool ok = false;
    const int index = item->data().toInt(&ok);
    if (!ok)
        return;
    ITextBuffer *buffer = m_currentBuffer ? m_currentBuffer() : nullptr;
    if (!buffer)
        return;
    // The text cannot change while the menu is open, so it is read at the
    // pick: opening the menu stays instant on big documents.
    m_plugins->SetValues(buffer->text(), buffer->selText());
    m_plugins->RunPlugin(index);
}

} // namespace Quorvant
