// The list of the server's chat channels; double-clicking one joins it.
#pragma once

#include "serverlistwindow.h"

namespace Quorvant::Network {

class TChatChannelListMenu : public TServerListWindow
{
    Q_OBJECT
public:
    explicit TChatChannelListMenu(QWidget *parent = nullptr);

    void joinSelected() override;

    std::function<void(const QString &room)> join;
};

} // namespace Quorvant::Network
