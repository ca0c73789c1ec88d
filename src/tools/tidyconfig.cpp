#include "tidyconfig.h"

#include "tagscanning.h"
#include "textfileformat.h"
#include "tidypagecodec.h"

#include <QSaveFile>

namespace Quorvant {

namespace {

const char *const DoctypeNames[] = {"omit", "auto", "strict", "loose"};
const char *const EncodingNames[] = {"raw", "ascii", "latin1", "utf8", "iso2022", "document"};

template <typename Enum, size_t N>
bool matchChoice(const QString &value, const char *const (&names)[N], Enum *out)
{
    const QString upper = value.toUpper();
    for (size_t i = 0; i < N; ++i) {
        if (upper == QString::fromLatin1(names[i]).toUpper()) {
            *out = Enum(i);
            return true;
        }
    }
    return false;
}

} // namespace

namespace HtmlTidyMenu {

QString GetText(const QString &line)
{
    QString value = GetValue(1, u' ', line);
    value.remove(u' ');
    return value;
}

int GetInt(const QString &line)
{
    bool ok = false;
    const int n = GetText(line).toInt(&ok);
    return ok ? n : -1;
}

bool RevYesNo(const QString &value)
{
    return value.toUpper() == QLatin1String("YES");
}

QString YesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace HtmlTidyMenu

using namespace HtmlTidyMenu;

QString TTidyConfig::doctypeName(TidyDoctype d)
{
    return QLatin1String(DoctypeNames[int(d)]);
}

QString TTidyConfig::charEncodingName(TidyCharEncoding e)
{
    return QLatin1String(EncodingNames[int(e)]);
}

QStringList TTidyConfig::lines() const
{
    auto flag = [](const char *name, bool v) { return QLatin1String(name) + QLatin1String(": ") + YesNo(v); };
    return {
        flag("tidy-mark", TidyMark),
        flag("markup", Markup),
        flag("wrap-attributes", WrapAttributes),
        flag("literal-attributes", LiteralAttributes),
        QStringLiteral("tab-size: %1").arg(TabSize),
        flag("output-xhtml", OutputXhtml),
        QStringLiteral("doctype: ") + doctypeName(Doctype),
        flag("quote-marks", QuoteMarks),
        flag("quote-nbsp", QuoteNbsp),
        flag("quote-ampersand", QuoteAmpersand),
        flag("fix-backslash", FixBackslash),
        flag("break-before-br", BreakBeforeBr),
        flag("uppercase-tags", UppercaseTags),
        flag("uppercase-attributes", UppercaseAttributes),
        flag("drop-empty-paras", DropEmptyParas),
        flag("enclose-text", EncloseText),
        QStringLiteral("wrap: %1").arg(Wrap),
        flag("wrap-asp", WrapAsp),
        flag("wrap-jtse", WrapJtse),
        flag("wrap-php", WrapPhp),
        flag("input-xml", InputXml),
        flag("output-xml", OutputXml),
        CharEncoding == TidyCharEncoding::Document ? QString::fromLatin1(DocumentEncodingLine)
                                                   : QStringLiteral("char-encoding: ") + charEncodingName(CharEncoding),
        flag("numeric-entities", NumericEntities),
        flag("fix-bad-comments", FixBadComments),
        flag("add-xml-space", AddXmlSpace),
        QStringLiteral("error-file: error.dat"),
        QStringLiteral("show-warnings: yes"),
        QStringLiteral("quiet: no"),
    };
}

void TTidyConfig::applyLines(const QStringList &lines)
{
    bool *const flags[] = {
        &TidyMark, &Markup, &WrapAttributes, &LiteralAttributes, nullptr, &OutputXhtml, nullptr,
        &QuoteMarks, &QuoteNbsp, &QuoteAmpersand, &FixBackslash, &BreakBeforeBr, &UppercaseTags,
        &UppercaseAttributes, &DropEmptyParas, &EncloseText, nullptr, &WrapAsp, &WrapJtse, &WrapPhp,
        &InputXml, &OutputXml, nullptr, &NumericEntities, &FixBadComments, &AddXmlSpace,
    };
    const int n = int(qMin<qsizetype>(lines.size(), SettingLines));
    for (int i = 0; i < n; ++i) {
        const QString &line = lines.at(i);
        if (flags[i]) {
            *flags[i] = RevYesNo(GetText(line));
        } else if (i == 4) {
            TabSize = GetInt(line);
        } else if (i == 16) {
            Wrap = GetInt(line);
        } else if (i == 6) {
            matchChoice(GetText(line), DoctypeNames, &Doctype);
        } else if (i == 22) {
            matchChoice(GetText(line), EncodingNames, &CharEncoding);
        }
    }
}

TTidyConfig TTidyConfig::fromLines(const QStringList &lines)
{
    TTidyConfig config;
    config.applyLines(lines);
    return config;
}

bool TTidyConfig::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QString &line : lines())
        bytes += line.toUtf8() + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool TTidyConfig::readLines(const QString &path, QStringList *lines, QString *error)
{
    QByteArray bytes;
    if (!readDataFile(path, &bytes, error))
        return false;
    QString text = decodeDataFile(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    QStringList out = text.split(u'\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    *lines = out;
    return true;
}

TidyCharEncoding TTidyConfig::charEncodingIn(const QStringList &lines)
{
    TidyCharEncoding e = TidyCharEncoding::Document;
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        const qsizetype colon = trimmed.indexOf(u':');
        if (colon < 0 || trimmed.left(colon).trimmed().compare(QLatin1String("char-encoding"), Qt::CaseInsensitive) != 0)
            continue;
        matchChoice(trimmed.mid(colon + 1).trimmed(), EncodingNames, &e);
    }
    return e;
}

} // namespace Quorvant
