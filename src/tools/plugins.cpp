#include "plugins.h"

#include "textfileformat.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace Quorvant {

namespace {

QString fromPlugin(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

TPlugins::TPlugins(PtextFunc pPtextCommand, DebugOut Debugger)
    : PtextCommand(std::move(pPtextCommand))
    , DebugMemo(std::move(Debugger))
{
    log(QStringLiteral("  Plugin Loader CORE Loaded."));
}

TPlugins::~TPlugins()
{
    UnloadAllPlugins();
}

void TPlugins::LoadAllPlugins(const QString &Path)
{
    log(QStringLiteral("  Loading All Plugins:"));
    const QDir dir(Path);
    if (Path.isEmpty() || !dir.exists())
        return;
    const QFileInfoList files = entriesEndingWith(dir, QStringLiteral(".so"), QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString path = file.absoluteFilePath();
        bool known = false;
        for (const QString &loaded : std::as_const(gPlugins.Path))
            known = known || QFileInfo(loaded).fileName() == file.fileName();
        if (known) {
            log(QStringLiteral("Plugins: %1 skipped: a plug-in of that name is already loaded").arg(path));
            continue;
        }
        // Anyone could have put code there.
        if (file.permissions() & QFileDevice::WriteOther) {
            log(QStringLiteral("Error: Plugins: %1 not loaded: the file is writable by everyone").arg(path));
            continue;
        }
        auto *library = new QLibrary(path);
        if (!library->load()) {
            log(QStringLiteral("Error: Plugins: %1 not loaded: %2").arg(path, library->errorString()));
            delete library;
            continue;
        }
        auto output = reinterpret_cast<TDLLOutPutFunc>(library->resolve("DLLOutPut"));
        auto name = reinterpret_cast<TDLLNameFunc>(library->resolve("DLLName"));
        auto data = reinterpret_cast<TSetMemoDataFunc>(library->resolve("SetMemoData"));
        if (!output || !name || !data) {
            QStringList missing;
            if (!name)
                missing << QStringLiteral("DLLName");
            if (!data)
                missing << QStringLiteral("SetMemoData");
            if (!output)
                missing << QStringLiteral("DLLOutPut");
            log(QStringLiteral("Error: Plugins: %1 not loaded: it does not export %2")
                    .arg(path, missing.join(QLatin1String(", "))));
            library->unload();
            delete library;
            continue;
        }
        gPlugins.DLLInstances.append(library);
        gPlugins.Caller.append(output);
        gPlugins.Name.append(name);
        gPlugins.DLLData.append(data);
        gPlugins.OutputMode.append(reinterpret_cast<TDLLOutPutModeFunc>(library->resolve("DLLOutPutMode")));
        gPlugins.Path.append(path);
        log(QStringLiteral("Loaded Plugin At: %1 Named: %2").arg(path, fromPlugin(name())));
    }
}

void TPlugins::UnloadAllPlugins()
{
    if (gPlugins.DLLInstances.isEmpty())
        return;
    log(QStringLiteral("  Unloading Plugins"));
    for (QLibrary *library : std::as_const(gPlugins.DLLInstances)) {
        library->unload();
        delete library;
    }
    gPlugins = TPluginRec();
    log(QStringLiteral("  Plugins Successfully Unloaded"));
}

bool TPlugins::checkIndex(int Index, const char *operation) const
{
    if (Index < 0) {
        log(QStringLiteral("Error: Plugins: %1: Index Must Be Greater Then 0").arg(QLatin1String(operation)));
        return false;
    }
    if (Index >= Count()) {
        log(QStringLiteral("Error: Plugins: %1: Index is greater then plugins loaded").arg(QLatin1String(operation)));
        return false;
    }
    return true;
}

QString TPlugins::GetPluginName(int Index) const
{
    if (!checkIndex(Index, "GetPluginName"))
        return {};
    return fromPlugin(gPlugins.Name.at(Index)());
}

QString TPlugins::GetPluginPath(int Index) const
{
    return (Index >= 0 && Index < Count()) ? gPlugins.Path.at(Index) : QString();
}

int TPlugins::GetPluginIndex(const QString &Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetPluginName(i).compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TPlugins::SetValues(const QString &MemoText, const QString &MemoSelText)
{
    gMemoText = MemoText;
    gMemoSelText = MemoSelText;
    m_bytesCurrent = false;
}

QString TPlugins::ExecutePlugin(int Index, std::optional<TPluginOutput> *mode)
{
    if (mode)
        *mode = TPluginOutput::Insert;
    if (!checkIndex(Index, "ExecutePlugin"))
        return {};
    if (!m_bytesCurrent) {
        m_text = gMemoText.toUtf8();
        m_selText = gMemoSelText.toUtf8();
        m_bytesCurrent = true;
    }
    gPlugins.DLLData.at(Index)(m_text.constData(), m_selText.constData());
    // The answer belongs to the plug-in: copied at once, never freed.
    const QString answer = fromPlugin(gPlugins.Caller.at(Index)());
    if (const TDLLOutPutModeFunc outputMode = gPlugins.OutputMode.at(Index)) {
        const int value = outputMode();
        const bool known = value >= int(TPluginOutput::Insert) && value <= int(TPluginOutput::Message);
        if (mode)
            *mode = known ? std::optional(TPluginOutput(value)) : std::nullopt;
        if (!known)
            log(QStringLiteral("Error: Plugins: ExecutePlugin: %1 answered the unknown output mode %2")
                    .arg(gPlugins.Path.at(Index))
                    .arg(value));
    }
    return answer;
}

void TPlugins::RunPlugin(int Index)
{
    std::optional<TPluginOutput> mode;
    const QString result = ExecutePlugin(Index, &mode);
    if (result.isEmpty() || !mode)
        return;
    switch (*mode) {
    case TPluginOutput::Insert:
        if (PtextCommand)
            PtextCommand(result, QString());
        break;
    case TPluginOutput::ReplaceSelection:
        if (ReplaceSelectionCommand)
            ReplaceSelectionCommand(result);
        break;
    case TPluginOutput::Message:
        if (MessageCommand)
            MessageCommand(result);
        break;
    }
}

QString TPlugins::RemoveCharFromStr(QChar C, const QString &S)
{
    QString out = S;
    out.remove(C);
    return out;
}

} // namespace Quorvant
