// The server's optional log file: one time-stamped line per event.
#pragma once

#include <QFile>
#include <QString>

namespace Halvorn {

class ServerLog
{
public:
    [[nodiscard]] bool open(const QString &path);
    void write(const QString &line);

private:
    QFile mFile;
};

} // namespace Halvorn
