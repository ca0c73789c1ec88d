#include "commandregistry.h"

namespace Quorvant {

void TCommandRegistry::add(const QString &id, std::function<void()> handler)
{
    m_handlers.insert(id, std::move(handler));
}

bool TCommandRegistry::run(const QString &id) const
{
    const auto it = m_handlers.constFind(id);
    if (it == m_handlers.cend() || !*it)
        return false;
    (*it)();
    return true;
}

} // namespace Quorvant
