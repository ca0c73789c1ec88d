#include "tdefinescript.h"

#include "attributetext.h"

namespace Quorvant {

const QStringList &TDefineScript::languages()
{
    static const QStringList list{
        QStringLiteral("Java"),     QStringLiteral("JavaScript 1.1"), QStringLiteral("JavaScript 1.2"),
        QStringLiteral("JScript"),  QStringLiteral("LiveScript"),     QStringLiteral("PHP"),
        QStringLiteral("tcl"),      QStringLiteral("VBScript"),
    };
    return list;
}

const QStringList &TDefineScript::types()
{
    static const QStringList list{
        QStringLiteral("text/javascript"), QStringLiteral("text/jscript"), QStringLiteral("text/livescript"),
        QStringLiteral("text/vbscript"),   QStringLiteral("text/php"),     QStringLiteral("text/tcl"),
    };
    return list;
}

QString TDefineScript::text(const QString &language, const QString &src, const QString &type, const QString &code)
{
    const QString crlf = QStringLiteral("\r\n");
    QString start = QStringLiteral("<script");
    const auto attribute = [&start](const char *name, const QString &value) {
        if (!value.trimmed().isEmpty())
            start += u' ' + QLatin1String(name) + QStringLiteral("=\"") + attributeText(value) + u'"';
    };
    attribute("language", language);
    attribute("src", src);
    attribute("type", type);
    return start + u'>' + crlf + QStringLiteral("<!--") + crlf + code + crlf + QStringLiteral("//-->") + crlf
           + QStringLiteral("</script>") + crlf;
}

} // namespace Quorvant
