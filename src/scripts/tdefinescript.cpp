#include "tdefinescript.h"

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
    return QStringLiteral("<script language=\"") + language + QStringLiteral("\" src=\"") + src
           + QStringLiteral("\" type=\"") + type + QStringLiteral("\">") + crlf + QStringLiteral("<!--") + crlf + code
           + crlf + QStringLiteral("//-->") + crlf + QStringLiteral("</script>") + crlf;
}

} // namespace Quorvant
