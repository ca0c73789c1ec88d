// quorvant-ctl: calls the automation interface of a running Quorvant.
#include "automation/busnames.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

enum Exit { Ok = 0, CallFailed = 1, Usage = 2, NoInstance = 3 };

// Argument kinds: s a string, i a number, b true or false, v a value (true,
// false, a whole number, else a string), p a path (made absolute here, as the
// editor runs in another folder), e a text with backslash escapes, a answers
// (path: ones made absolute) and l the remaining arguments, each as a list.
// After '?' the arguments may be left out.
struct Method
{
    const char *name;
    const char *args;
    const char *help;
    const char *interface = Quorvant::Bus::EditorInterface;
};
constexpr char Toolkit[] = "org.quorvant.Toolkit";

constexpr Method methods[] = {
    {"Trigger", "s", "OBJECTNAME      run a menu command, toolbar button or action"},
    {"Commands", "", "                list the object names Trigger accepts"},
    {"DocumentText", "", "                print the current document's text"},
    {"SetDocumentText", "s?b", "TEXT [KEEPMOD]  replace the current document's text; true: keep the modified flag"},
    {"CaretPoint", "", "                print the caret as \"X Y\" (column, line; from 0)"},
    {"SetCaretPoint", "ii", "X Y             move the caret"},
    {"Select", "iiii", "X1 Y1 X2 Y2     select from X1,Y1 to X2,Y2"},
    {"SelectedText", "", "                print the selected text"},
    {"TypeText", "e", "TEXT            type TEXT as keys into the editor (\\n Return, \\t Tab, \\b Backspace, \\\\ \\)"},
    {"DocumentCount", "", "                print the number of open documents"},
    {"CurrentFileName", "", "                print the current document's file (empty if unsaved)"},
    {"IsModified", "", "                print true or false"},
    {"OpenFile", "p", "PATH            open a file as a new document"},
    {"ActivePage", "", "                print the shown page (EditorPage, PreviewPage, ...)"},
    {"QueueAnswers", "a", "ANSWER...       answers for the next boxes: button:Yes, text:T, path:P, cancel"},
    {"TakeMessages", "", "                print the boxes shown since the last call, as JSON"},
    {"WindowTitles", "", "                print the titles of the visible windows"},
    {"Widgets", "?s", "[ROOT]          list the widgets, actions and menus: name, class, caption, flags"},
    {"Property", "ss", "NAME PROPERTY   print a property of a widget or action (text, checked, value, ...)"},
    {"SetProperty", "ssv", "NAME PROPERTY VALUE  set a field as a user would"},
    {"Rows", "s", "NAME            print a list's, tree's, table's or combo box's rows; then \"current N\""},
    {"SelectRow", "si", "NAME ROW        select a row"},
    {"ActivateRow", "si", "NAME ROW        double-click a row (a combo box: choose it)"},
    {"MenuItems", "s", "NAME            print a menu's items: caption, enabled, checked"},
    {"PopupMenu", "sl", "NAME CAPTION... choose an item of a widget's pop-up menu"},
    {"SelectPage", "si", "NAME INDEX      show a page of a tab widget"},
    {"Tabs", "", "                print the document tabs"},
    {"CurrentTab", "", "                print the current document tab's index (-1: none)"},
    {"SelectTab", "i", "INDEX           show a document tab"},
    {"Click", "ii", "X Y             click in the editor at a caret point"},
    {"Key", "s", "CHORD           send a key chord (ctrl+space, F5, Return) to the focused widget"},
    {"StatusText", "", "                print the status bar's text"},
    {"DebugLines", "", "                print the debug window's lines"},
    {"SyntaxMode", "", "                print the syntax mode (HTML, Perl, ...)"},
    {"SetTagCase", "sb", "TAG LOWER       the tag in lower (true) or upper case", Toolkit},
    {"GetTagValue", "ss", "TAGTEXT ATTR    an attribute's value in a tag's text", Toolkit},
    {"GetRelativePath", "ss", "DOCPATH FILE    the path of FILE relative to the document", Toolkit},
    {"ConvertFileName", "ss", "FILE DOCPATH    the text of a link to FILE from the document", Toolkit},
    {"HexToColor", "s", "COLOUR          #RRGGBB or a colour name as \"R G B\"", Toolkit},
    {"ColorToHex", "iii", "R G B           a colour as its name or #RRGGBB", Toolkit},
    {"GetPageTitle", "s", "HTML            the TITLE element's text", Toolkit},
    {"StripTags", "s", "HTML            the text without its tags", Toolkit},
};

// "\n" Return, "\t" Tab, "\b" Backspace, "\r" CR, "\\" a backslash; any
// other backslash stays as it is.
QString unescape(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            out.append(c);
            continue;
        }
        const QChar n = text.at(i + 1);
        const QString map = n == u'n' ? QStringLiteral("\n") : n == u't' ? QStringLiteral("\t")
                          : n == u'b' ? QStringLiteral("\b") : n == u'r' ? QStringLiteral("\r")
                          : n == u'\\' ? QStringLiteral("\\") : QString();
        if (map.isEmpty()) {
            out.append(c);
        } else {
            out.append(map);
            ++i;
        }
    }
    return out;
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The editor runs in another folder: file answers name absolute paths.
QStringList absoluteAnswers(const QStringList &answers)
{
    QStringList out;
    for (const QString &a : answers) {
        if (a.section(u':', 0, 0).trimmed().compare(QLatin1String("path"), Qt::CaseInsensitive) == 0 && a.contains(u':')) {
            QStringList paths = a.section(u':', 1).split(u'\n', Qt::SkipEmptyParts);
            for (QString &p : paths)
                p = absolute(p);
            out.append(QStringLiteral("path:") + paths.join(u'\n'));
        } else {
            out.append(a);
        }
    }
    return out;
}

QVariant valueOf(const QString &text)
{
    if (text == QLatin1String("true") || text == QLatin1String("false"))
        return text == QLatin1String("true");
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        return n;
    return text;
}

void usage(FILE *to)
{
    fputs("Usage: quorvant-ctl [--data-dir DIR | --service NAME] [--timeout SECONDS] METHOD [ARG...]\n"
          "       quorvant-ctl --list\n"
          "Calls the automation interface of a Quorvant started with --automation.\n"
          "Without --data-dir or --service: $QUORVANT_DATA_DIR's instance, else the only one running.\n"
          "\nMethods:\n",
          to);
    for (const Method &m : methods)
        fprintf(to, "  %-16s %s\n", m.name, m.help);
}

int fail(int code, const QString &text)
{
    fprintf(stderr, "quorvant-ctl: %s\n", qPrintable(text));
    return code;
}

QStringList runningServices(QDBusConnection &bus)
{
    QStringList out;
    const QStringList names = bus.interface()->registeredServiceNames().value();
    for (const QString &n : names) {
        if (n.startsWith(QLatin1String(Quorvant::Bus::ServicePrefix)))
            out.append(n);
    }
    return out;
}

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    fputc('\n', stdout);
}

void printMessages(const QVariant &value)
{
    QList<QVariantMap> boxes;
    value.value<QDBusArgument>() >> boxes;
    QJsonArray array;
    for (const QVariantMap &box : boxes)
        array.append(QJsonObject::fromVariantMap(box));
    print(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

QString plain(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(u'\n');
    return v.toString();
}

// Arrays of structures or of string lists: one a line, fields tab-separated.
void printArray(const QDBusArgument &arg)
{
    arg.beginArray();
    while (!arg.atEnd()) {
        QStringList fields;
        if (arg.currentType() == QDBusArgument::StructureType) {
            arg.beginStructure();
            while (!arg.atEnd()) {
                QVariant f = arg.asVariant();
                fields.append(plain(f));
            }
            arg.endStructure();
        } else {
            fields.append(plain(arg.asVariant()).split(u'\n'));
        }
        print(fields.join(u'\t'));
    }
    arg.endArray();
}

void printReply(const QString &method, const QDBusMessage &reply)
{
    const QList<QVariant> values = reply.arguments();
    if (method == QLatin1String("TakeMessages") && !values.isEmpty()) {
        printMessages(values.first());
        return;
    }
    if (method == QLatin1String("Rows") && values.size() == 2) {
        printArray(values.first().value<QDBusArgument>());
        print(QStringLiteral("current ") + values.at(1).toString());
        return;
    }
    if (!values.isEmpty() && values.first().canConvert<QDBusArgument>()) {
        printArray(values.first().value<QDBusArgument>());
        return;
    }
    if (!values.isEmpty() && values.first().canConvert<QDBusVariant>()) {
        print(plain(values.first().value<QDBusVariant>().variant()));
        return;
    }
    QStringList parts;
    for (const QVariant &v : values) {
        if (v.metaType().id() == QMetaType::QStringList) {
            if (!v.toStringList().isEmpty())
                print(v.toStringList().join(u'\n'));
        } else if (v.metaType().id() == QMetaType::Bool) {
            parts.append(v.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        } else {
            parts.append(v.toString());
        }
    }
    if (!parts.isEmpty())
        print(parts.join(u' '));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<QList<QVariantMap>>();
    QStringList args = QCoreApplication::arguments().mid(1);

    QString dataDir = qEnvironmentVariable("QUORVANT_DATA_DIR");
    QString service;
    int timeoutMs = 25000;
    bool list = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--help")) {
            usage(stdout);
            return Ok;
        }
        if (option == QLatin1String("--list")) {
            list = true;
            continue;
        }
        if (args.isEmpty())
            return fail(Usage, QStringLiteral("%1 needs a value.").arg(option));
        const QString value = args.takeFirst();
        if (option == QLatin1String("--data-dir")) {
            dataDir = value;
        } else if (option == QLatin1String("--service")) {
            service = value;
        } else if (option == QLatin1String("--timeout")) {
            bool ok = false;
            timeoutMs = int(value.toDouble(&ok) * 1000);
            if (!ok || timeoutMs <= 0)
                return fail(Usage, QStringLiteral("--timeout takes a number of seconds."));
        } else {
            return fail(Usage, QStringLiteral("Unknown option %1.").arg(option));
        }
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return fail(NoInstance, QStringLiteral("There is no session bus: %1").arg(bus.lastError().message()));
    if (list) {
        for (const QString &s : runningServices(bus))
            print(s);
        return Ok;
    }
    if (args.isEmpty()) {
        usage(stderr);
        return Usage;
    }

    const QString name = args.takeFirst();
    const Method *method = nullptr;
    for (const Method &m : methods) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
            method = &m;
    }
    if (!method)
        return fail(Usage, QStringLiteral("Unknown method %1 (see --help).").arg(name));

    const QString spec = QLatin1String(method->args);
    const QString required = spec.section(u'?', 0, 0);
    const QString kinds = QString(spec).remove(u'?');
    const bool rest = kinds.endsWith(u'l') || kinds.endsWith(u'a');
    const int fixed = rest ? int(kinds.size()) - 1 : int(kinds.size());
    if (args.size() < (rest ? fixed : int(required.size())) || (!rest && args.size() > kinds.size()))
        return fail(Usage, QStringLiteral("%1 takes %2 argument(s) (see --help).")
                               .arg(QLatin1String(method->name))
                               .arg(required.size() == kinds.size() ? QString::number(kinds.size())
                                                                    : QStringLiteral("%1 to %2").arg(required.size()).arg(kinds.size())));
    QList<QVariant> values;
    for (int i = 0; i < kinds.size() && i < args.size(); ++i) {
        const QChar kind = kinds.at(i);
        const QString &arg = args.at(i);
        if (kind == u'l' || kind == u'a') {
            const QStringList tail = args.mid(i);
            values.append(kind == u'a' ? absoluteAnswers(tail) : tail);
            break;
        }
        if (kind == u'i') {
            bool ok = false;
            const int n = arg.toInt(&ok);
            if (!ok)
                return fail(Usage, QStringLiteral("%1 is not a number.").arg(arg));
            values.append(n);
        } else if (kind == u'b') {
            if (arg != QLatin1String("true") && arg != QLatin1String("false"))
                return fail(Usage, QStringLiteral("%1 is neither true nor false.").arg(arg));
            values.append(arg == QLatin1String("true"));
        } else if (kind == u'v') {
            values.append(QVariant::fromValue(QDBusVariant(valueOf(arg))));
        } else if (kind == u'p') {
            values.append(absolute(arg));
        } else if (kind == u'e') {
            values.append(unescape(arg));
        } else {
            values.append(arg);
        }
    }
    if (rest && args.size() == fixed)
        values.append(QStringList());
    // Widgets without a root lists every window.
    if (kinds == QLatin1String("s") && required.isEmpty() && values.isEmpty())
        values.append(QString());

    if (service.isEmpty()) {
        if (!dataDir.isEmpty()) {
            service = Quorvant::Bus::serviceName(dataDir);
        } else {
            const QStringList running = runningServices(bus);
            if (running.isEmpty())
                return fail(NoInstance, QStringLiteral("No Quorvant is running."));
            if (running.size() > 1)
                return fail(Usage, QStringLiteral("Several Quorvants are running; choose one with --data-dir."));
            service = running.first();
        }
    }
    if (!bus.interface()->isServiceRegistered(service).value())
        return fail(NoInstance, QStringLiteral("No Quorvant is running with that data folder (%1).").arg(service));

    QDBusMessage call = QDBusMessage::createMethodCall(service, QLatin1String(Quorvant::Bus::ObjectPath),
                                                       QLatin1String(method->interface),
                                                       QLatin1String(method->name));
    call.setArguments(values);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        QString text = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface")
            || reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            text += QStringLiteral(" (is it running with --automation?)");
        return fail(CallFailed, text);
    }
    printReply(QLatin1String(method->name), reply);
    return Ok;
}
