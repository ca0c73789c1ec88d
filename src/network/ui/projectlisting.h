// The list of the server's shared projects; double-clicking one asks for its
// password and joins it.
#pragma once

#include "serverlistwindow.h"

namespace Quorvant::Network {

class TProjectListing : public TServerListWindow
{
    Q_OBJECT
public:
    explicit TProjectListing(QWidget *parent = nullptr);

    void joinSelected() override;

    std::function<void(const QString &project, const QString &password)> join;
};

} // namespace Quorvant::Network
