// The program-wide function keys: an application-wide event filter that sees
// every key before the focused widget, in every window, and swallows the
// keys it handles.
#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

namespace Quorvant {

class FunctionKeyFilter : public QObject
{
    Q_OBJECT
public:
    explicit FunctionKeyFilter(QObject *parent = nullptr);

    // What each key does; an empty handler does nothing (the key is still
    // swallowed where the table says so).
    std::function<void()> ctrlSpace;   // Ctrl+Space, swallowed
    std::function<void()> helpKey;      // F1, passed on
    std::function<void()> editorPage;   // F10, swallowed
    std::function<void()> previewPage;  // F11, swallowed
    std::function<void()> networkPage;  // F9, swallowed

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Delivery
    {
        int type = 0;
        int key = 0;
        quint64 timestamp = 0;
        bool autoRepeat = false;
        friend bool operator==(const Delivery &, const Delivery &) = default;
    };
    Delivery m_last;
};

} // namespace Quorvant
