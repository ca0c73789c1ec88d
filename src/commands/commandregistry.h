// Commands that other parts of the program offer to the main window by id:
// the catalogue's wizard and command buttons, and the program-wide keys. The
// window calls an id without knowing which part answers it.
#pragma once

#include <QHash>
#include <QString>

#include <functional>

namespace Quorvant {

class TCommandRegistry
{
public:
    // A later registration of the same id replaces the earlier one.
    void add(const QString &id, std::function<void()> handler);
    bool has(const QString &id) const { return m_handlers.contains(id); }
    // Runs the command; false when no part offers it.
    bool run(const QString &id) const;

private:
    QHash<QString, std::function<void()>> m_handlers;
};

// The ids of the program-wide keys, answered by whichever part owns them.
inline constexpr char KeyCommandF1[] = "key:F1";
inline constexpr char KeyCommandCtrlSpace[] = "key:Ctrl+Space";

} // namespace Quorvant
