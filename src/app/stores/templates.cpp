#include "templates.h"

#include "editorview.h"
#include "textfileformat.h"
#include "veskfilesystems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

namespace Quorvant {

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString decodeLine(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

// Reads up to the first line end only: a template's name is its first line,
// and a large or binary file need not be read whole to find it.
bool readFirstLine(const QString &path, QString *line)
{
    line->clear();
    if (!isReadableRegularFile(path, DataFileSizeLimit, nullptr))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(4096);
        if (chunk.isEmpty())
            break;
        const qsizetype from = bytes.size();
        bytes.append(chunk);
        for (qsizetype i = from; i < bytes.size(); ++i) {
            if (bytes.at(i) == '\r' || bytes.at(i) == '\n') {
                *line = decodeLine(bytes.left(i));
                return true;
            }
        }
    }
    *line = decodeLine(bytes);
    return true;
}

// A caret line: decimal, blanks around it allowed; anything else, or a
// negative number, gives 0.
int caretValue(const QStringList &lines, int index, bool *ok)
{
    if (index >= lines.size()) {
        *ok = false;
        return 0;
    }
    bool parsed = false;
    const int value = lines.at(index).trimmed().toInt(&parsed, 10);
    *ok = parsed && value >= 0;
    return *ok ? value : 0;
}

// A line break in a name would make the file's first line differ from it.
QString singleLine(const QString &name)
{
    QString s = name;
    s.replace(CRLF, QStringLiteral(" "));
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

} // namespace

TTemplates::TTemplates(const QString &dataFolder, DebugOut debugger)
    : m_debug(std::move(debugger))
    , m_mainDir(dataFolder.endsWith(u'/') ? dataFolder : dataFolder + u'/')
{
    debugOut(m_debug, QStringLiteral("Templates Object Created Successfully"));
    CheckForTemplates();
}

TTemplates::~TTemplates()
{
    debugOut(m_debug, QStringLiteral("Templates Object Destroyed Successfully"));
}

QString TTemplates::templatesFolder() const
{
    return findProgramFile(m_mainDir, QStringLiteral("Templates"));
}

void TTemplates::CheckForTemplates()
{
    const QString folder = templatesFolder();
    if (QFileInfo(folder).isDir())
        return;
    debugOut(m_debug, QStringLiteral("Could not find templates directory, creating..."));
    if (!QDir().mkpath(folder))
        debugOut(m_debug, QStringLiteral("Could not create templates directory."));
}

QList<QString> TTemplates::templateFiles() const
{
    // Sorted by name so "the first template of that name" does not depend on
    // the order the file system happens to return.
    const QDir dir(templatesFolder());
    const QFileInfoList entries = entriesEndingWith(dir, QStringLiteral(".tmp"), QDir::Files | QDir::Hidden | QDir::System,
                                                    QDir::Name | QDir::IgnoreCase);
    QList<QString> paths;
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        // A pipe or device named like a template would hang or never end.
        QString why;
        if (QFileInfo::exists(dir.filePath(name)) && !isReadableRegularFile(dir.filePath(name), DataFileSizeLimit, &why)) {
            debugOut(m_debug, QStringLiteral("Skipped: %1").arg(why));
            continue;
        }
        paths.append(dir.filePath(name));
    }
    return paths;
}

QString TTemplates::GenerateFileName()
{
    QSet<QString> used;
    const QStringList names = QDir(templatesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names)
        used.insert(name.toLower());
    for (;;) {
        const int number = m_draw ? m_draw() : int(QRandomGenerator::global()->bounded(1000000));
        const QString candidate = QStringLiteral("Vesk%1.Tmp").arg(number);
        if (!used.contains(candidate.toLower()))
            return candidate;
    }
}

QString TTemplates::GetFileNameFor(const QString &TemplateName) const
{
    for (const QString &path : templateFiles()) {
        QString first;
        if (!readFirstLine(path, &first)) {
            debugOut(m_debug, QStringLiteral("Error: Templates Object: GetFileNameFor : Could not open file \"%1\"").arg(path));
            continue;
        }
        if (first.compare(TemplateName, Qt::CaseInsensitive) == 0)
            return path;
    }
    return {};
}

TSaveTemplateResult TTemplates::SaveTemplate(const QString &TemplateName, const QString &text, CaretPoint caret)
{
    if (TemplateName.isEmpty()) {
        debugOut(m_debug, QStringLiteral("Error: Templates Object: SaveTemplate: TemplateName=\"\""));
        return TSaveTemplateResult::EmptyName;
    }
    const QString content = singleLine(TemplateName) + CRLF + QString::number(caret.x) + CRLF
        + QString::number(caret.y) + CRLF + text;
    const QString path = QDir(templatesFolder()).filePath(GenerateFileName());
    if (!SaveTextFile(path, content)) {
        debugOut(m_debug, QStringLiteral("Error: Templates Object: SaveTemplate: Could Not Save Template File."));
        return TSaveTemplateResult::CouldNotSave;
    }
    return TSaveTemplateResult::Saved;
}

TSaveTemplateResult TTemplates::SaveTemplate(IEditorView *DCMemo, const QString &TemplateName)
{
    if (!DCMemo) {
        debugOut(m_debug, QStringLiteral("Error: Templates Object: SaveTemplate: Invalid Pointer To DCMemo"));
        return TSaveTemplateResult::NoView;
    }
    return SaveTemplate(TemplateName, DCMemo->text(), DCMemo->caretPoint());
}

TSaveTemplateResult TTemplates::SaveAsTemplate(const QString &TemplateName, const QString &text, CaretPoint caret)
{
    if (TemplateName.isEmpty())
        return TSaveTemplateResult::EmptyName;
    if (NameExists(singleLine(TemplateName)))
        return TSaveTemplateResult::NameInUse;
    return SaveTemplate(TemplateName, text, caret);
}

TLoadTemplateResult TTemplates::LoadTemplate(const QString &TemplateName, TTemplateContent *out) const
{
    const QString notFound = QStringLiteral("Error: Templates Object: LoadTemplate: Filename:=\"\"");
    const QString path = GetFileNameFor(TemplateName);
    if (path.isEmpty()) {
        debugOut(m_debug, notFound);
        return TLoadTemplateResult::NotFound;
    }
    QString content;
    if (!LoadTextFile(path, &content)) {
        debugOut(m_debug, notFound);
        return TLoadTemplateResult::CouldNotOpen;
    }
    const QStringList lines = splitTextLines(content);
    TTemplateContent result;
    result.Name = lines.value(0);
    bool xOk = false;
    bool yOk = false;
    result.Caret.x = caretValue(lines, 1, &xOk);
    result.Caret.y = caretValue(lines, 2, &yOk);
    if (!xOk || !yOk)
        debugOut(m_debug, QStringLiteral("Error: Templates Object: LoadTemplate: No valid caret position in \"%1\"").arg(path));
    result.Text = lines.mid(3).join(CRLF);
    *out = result;
    return TLoadTemplateResult::Loaded;
}

TLoadTemplateResult TTemplates::LoadTemplate(IEditorView *DCMemo, const QString &TemplateName) const
{
    if (!DCMemo) {
        debugOut(m_debug, QStringLiteral("Error: NIL Pointer passed in as DCMemo for loading a template."));
        return TLoadTemplateResult::NoView;
    }
    TTemplateContent content;
    const TLoadTemplateResult result = LoadTemplate(TemplateName, &content);
    if (result != TLoadTemplateResult::Loaded)
        return result;
    ITextBuffer *buffer = DCMemo->source();
    const bool wasModified = buffer && buffer->isModified();
    DCMemo->setText(content.Text);
    DCMemo->setCaretPoint(content.Caret);
    if (buffer && !wasModified)
        buffer->setModified(false);
    return result;
}

bool TTemplates::DeleteTemplate(const QString &TemplateName)
{
    if (TemplateName.isEmpty() || TemplateName.compare(QStringLiteral("DEFAULT"), Qt::CaseInsensitive) == 0)
        return false;
    const QString path = GetFileNameFor(TemplateName);
    if (path.isEmpty())
        return false;
    if (!QFile::remove(path)) {
        debugOut(m_debug, QStringLiteral("Error: Templates Object: DeleteTemplate: Could not delete file \"%1\"").arg(path));
        return false;
    }
    return true;
}

QList<TTemplateEntry> TTemplates::ShowAllInListView() const
{
    QList<TTemplateEntry> rows;
    const QList<QString> files = templateFiles();
    const auto cannotOpen = [this](const QString &name) {
        debugOut(m_debug, QStringLiteral("Error: Templates Object: ShowAllInListView: Could not open file \"%1\" ").arg(name));
    };
    if (files.isEmpty()) {
        cannotOpen(QString());
        return rows;
    }
    for (const QString &path : files) {
        QString first;
        if (!readFirstLine(path, &first)) {
            cannotOpen(QFileInfo(path).fileName());
            break;
        }
        rows.append({first, path});
    }
    return rows;
}

} // namespace Quorvant
