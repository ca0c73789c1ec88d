#include "tidyfolder.h"

#include "tidyconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Quorvant {

namespace {

// name, or the spelling of an entry of the folder that matches it ignoring case.
QString resolve(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (!dir.exists(name)) {
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
    }
    return dir.filePath(name);
}

} // namespace

TTidyFolder::TTidyFolder(const QString &folder)
    : m_path(folder)
{
    if (!m_path.endsWith(u'/'))
        m_path += u'/';
}

bool TTidyFolder::ensureExists() const
{
    return QDir().mkpath(m_path);
}

QString TTidyFolder::configPath() const
{
    return resolve(m_path, QStringLiteral("Tidy.Cfg"));
}

QString TTidyFolder::defaultsPath() const
{
    return resolve(m_path, QStringLiteral("Default.Cfg"));
}

QString TTidyFolder::pagePath() const
{
    return m_path + QLatin1String(PageName);
}

QString TTidyFolder::reportPath() const
{
    return m_path + QLatin1String(ReportName);
}

QString TTidyFolder::toolPath() const
{
    const QFileInfo local(resolve(m_path, QStringLiteral("tidy")));
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("tidy"));
}

bool TTidyFolder::removeWorkingFiles(QString *error) const
{
    const QDir dir(m_path);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.compare(QLatin1String(PageName), Qt::CaseInsensitive) != 0
            && name.compare(QLatin1String(ReportName), Qt::CaseInsensitive) != 0)
            continue;
        QFile file(dir.filePath(name));
        if (!file.remove()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}

QStringList TTidyFolder::arguments(TidyCommand command, const QStringList &settings) const
{
    QStringList args{QStringLiteral("-config"), QFileInfo(configPath()).fileName()};
    args << settings;
    if (command == TidyCommand::SourceFormat || command == TidyCommand::ConvertToXml)
        args << QStringLiteral("-i");
    if (command == TidyCommand::ConvertToXml)
        args << QStringLiteral("-asxml");
    args << QStringLiteral("-m") << QLatin1String(PageName);
    return args;
}

bool TTidyFolder::readSettingsLines(QStringList *lines, bool *fromDefaults) const
{
    if (fromDefaults)
        *fromDefaults = false;
    if (TTidyConfig::readLines(configPath(), lines))
        return true;
    // Only the defaults are shipped; the saved settings are first written
    // when the settings are shown or a command runs.
    if (!TTidyConfig::readLines(defaultsPath(), lines))
        return false;
    if (fromDefaults)
        *fromDefaults = true;
    return true;
}

} // namespace Quorvant
