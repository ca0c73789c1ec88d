// The "Plugins" menu: one entry per loaded plug-in; picking one hands the
// plug-in the document and the selection and inserts its answer.
#pragma once

#include "debugout.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;

namespace Quorvant {

class ITextBuffer;
class TPlugins;

class TPluginMenu : public QObject
{
    Q_OBJECT
public:
    // currentBuffer: the document the commands work on (none: nothing runs).
    TPluginMenu(TPlugins *plugins, std::function<ITextBuffer *()> currentBuffer, DebugOut debug,
                QObject *parent = nullptr);

    // Rebuilds the menu's entries, one per plug-in in load order; each entry
    // remembers its own plug-in.
    void RefreshPluginMenu(QMenu *Menu);
    // Runs the entry's plug-in on the current document.
    void MenuItemClick(QAction *item);

private:
    TPlugins *m_plugins;
    std::function<ITextBuffer *()> m_currentBuffer;
    DebugOut m_debug;
    QList<QPointer<QAction>> m_items;
};

} // namespace Quorvant
