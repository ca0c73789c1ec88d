// The HTML Tidy folder "Tidy/" of the data folder, its working files and
// where the tool is found.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

enum class TidyCommand {
    FixAndFormat,   // the settings dialog's run button
    SourceFormat,   // "Apply source formatting"
    ConvertToXml,   // "Convert to XML"
};

class TTidyFolder
{
public:
    // folder: the data folder's "Tidy" folder.
    explicit TTidyFolder(const QString &folder);

    // Ends with '/'.
    QString path() const { return m_path; }
    // Creates the folder when missing.
    [[nodiscard]] bool ensureExists() const;

    // Each working file under its one spelling: an existing entry that
    // matches without regard to case, else the name as given here.
    QString configPath() const;   // "Tidy.Cfg"
    QString defaultsPath() const; // "Default.Cfg"
    // The page and the report have fixed names: the arguments and the
    // configuration's "error-file" line name them so.
    QString pagePath() const;     // "temp.htm"
    QString reportPath() const;   // "error.dat"

    // A "tidy" executable in the folder, otherwise "tidy" on the PATH;
    // empty when neither exists.
    QString toolPath() const;

    // Removes the page and the report under every letter case, so no result
    // of an earlier run is read back. False when one would not go.
    [[nodiscard]] bool removeWorkingFiles(QString *error = nullptr) const;

    // The tool's arguments for a command; the configuration by its file
    // name, then settings that override it.
    QStringList arguments(TidyCommand command, const QStringList &settings = {}) const;

    // The saved settings' lines ("Tidy.Cfg"), else the shipped defaults'
    // ("Default.Cfg", *fromDefaults set); false when neither can be read.
    [[nodiscard]] bool readSettingsLines(QStringList *lines, bool *fromDefaults = nullptr) const;

    static constexpr char PageName[] = "temp.htm";
    static constexpr char ReportName[] = "error.dat";

private:
    QString m_path;
};

} // namespace Quorvant
