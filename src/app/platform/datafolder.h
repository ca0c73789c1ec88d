// The data folder: where every file of the program lives (settings, tag
// lists, templates, help pages, working files), and the lookup of the
// program's own file names without regard to letter case.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

class DataFolder
{
public:
    // Chooses the folder from "--data-dir DIR" (or "--data-dir=DIR") in args,
    // else QUORVANT_DATA_DIR, else the user's application data folder;
    // creates it and copies in the shipped files it lacks. Returns false
    // when the folder cannot be created.
    [[nodiscard]] static bool initialise(const QStringList &args, QString *error = nullptr);

    static QString path();
    static void setPath(const QString &path);  // no seeding; for tests

    // The folder of shipped data: share/quorvant beside the program's
    // install prefix, else the source tree's data/ (a build folder run).
    static QString shippedDataDir();

    // Copies every file and folder of from that to lacks (names compared
    // without regard to case); existing files are never overwritten.
    // Returns the number of files copied.
    static int seed(const QString &from, const QString &to);

    // The path of relative (components separated by '/') below the data
    // folder: each component that exists under another letter case takes
    // the existing spelling; missing ones keep the given spelling.
    static QString file(const QString &relative);
    static QString resolve(const QString &base, const QString &relative);
};

} // namespace Quorvant
