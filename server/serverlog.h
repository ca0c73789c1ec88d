// The server's optional log file: one time-stamped line per event. Created
// readable by its owner only; reopened on request (after an outside
// rotation); past a size cap it is renamed to "<file>.1" (replacing the one
// before) and begun afresh.
#pragma once

#include <QFile>
#include <QString>

namespace Halvorn {

class ServerLog
{
public:
    // maxBytes 0: no cap.
    [[nodiscard]] bool open(const QString &path, qint64 maxBytes = 0);
    // Opens the file by its name again, e.g. after it was moved away.
    bool reopen();
    void write(const QString &line);

private:
    bool openFile();
    void rotate();

    QFile mFile;
    QString mPath;
    qint64 mMaxBytes = 0;
};

} // namespace Halvorn
