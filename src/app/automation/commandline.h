// The program's command line: options and the files to open. Header-only so
// the start sequence and main() read it the same way without a link
// dependency between their libraries.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace Quorvant {

struct CommandLine
{
    QStringList files;  // absolute paths, in the order given
    QString dataDir;
    QString answersFile;  // answers for the boxes, one a line (with automation)
    bool automation = false;
    bool help = false;
    bool version = false;
    QString error;      // the first unknown option or missing value
};

// args[0] is the program. "--" ends the options, so a file may begin with '-'.
// Relative file names are taken from the current folder.
inline CommandLine parseCommandLine(const QStringList &args)
{
    CommandLine out;
    bool options = true;
    auto fail = [&out](const QString &text) {
        if (out.error.isEmpty())
            out.error = text;
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            out.help = true;
        } else if (options && a == QLatin1String("--version")) {
            out.version = true;
        } else if (options && a == QLatin1String("--automation")) {
            out.automation = true;
        } else if (options && a == QLatin1String("--data-dir")) {
            if (i + 1 < args.size())
                out.dataDir = args.at(++i);
            else
                fail(QStringLiteral("--data-dir needs a folder."));
        } else if (options && a.startsWith(QLatin1String("--data-dir="))) {
            out.dataDir = a.mid(11);
        } else if (options && a == QLatin1String("--answers")) {
            if (i + 1 < args.size())
                out.answersFile = args.at(++i);
            else
                fail(QStringLiteral("--answers needs a file."));
        } else if (options && a.startsWith(QLatin1String("--answers="))) {
            out.answersFile = a.mid(10);
        } else if (options && a.startsWith(u'-') && a.size() > 1) {
            fail(QStringLiteral("Unknown option %1.").arg(a));
        } else if (!a.isEmpty()) {
            out.files.append(QDir::cleanPath(QFileInfo(a).absoluteFilePath()));
        }
    }
    return out;
}

inline QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: quorvant [OPTIONS] [FILE...]\n"
        "An HTML source editor.\n"
        "\n"
        "Opens each FILE as a document. When Quorvant already runs with the same\n"
        "data folder, the files open in that window and this command ends.\n"
        "\n"
        "Options:\n"
        "  --data-dir DIR   keep settings, tag lists and working files in DIR\n"
        "                   (default: $QUORVANT_DATA_DIR, else ~/.local/share/Quorvant)\n"
        "  --automation     offer the automation interface on the session bus\n"
        "                   (also when QUORVANT_AUTOMATION=1)\n"
        "  --answers FILE   with automation: answers for the boxes shown from the\n"
        "                   start on, one a line (button:Yes, text:T, path:P, cancel)\n"
        "  -h, --help       show this help and exit\n"
        "  --version        show the version and exit\n"
        "  --               end of options: every later argument is a file\n");
}

} // namespace Quorvant
