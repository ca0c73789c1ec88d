#include "functionkeys.h"

#include <QKeyEvent>

namespace Quorvant {

FunctionKeyFilter::FunctionKeyFilter(QObject *parent)
    : QObject(parent)
{
}

bool FunctionKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // One key reaches the window first and then the focus widget, and an
    // unhandled one its parents too: act on the first delivery only.
    const Delivery delivery{type, key->key(), key->timestamp(), key->isAutoRepeat()};
    const bool repeated = delivery == m_last && key->timestamp() != 0;
    m_last = delivery;
    const bool down = type == QEvent::KeyPress;
    auto run = [&](const std::function<void()> &handler, bool onRelease) {
        if (handler && !repeated && (down || onRelease))
            handler();
    };
    switch (key->key()) {
    case Qt::Key_Space:
        if (!(key->modifiers() & Qt::ControlModifier))
            return false;
        run(ctrlSpace, false);
        return true;
    case Qt::Key_F1:
        run(helpKey, false);
        return false;
    case Qt::Key_F10:
        run(editorPage, true);
        return true;
    case Qt::Key_F11:
        run(previewPage, true);
        return true;
    case Qt::Key_F9:
        run(networkPage, true);
        return true;
    default:
        return false;
    }
}

} // namespace Quorvant
