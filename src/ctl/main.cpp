// quorvant-ctl: calls the automation interface of a running Quorvant.
#include "automation/busnames.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

enum Exit { Ok = 0, CallFailed = 1, Usage = 2, NoInstance = 3 };

// Argument kinds: s a string, i a number, p a path (made absolute here, as
// the editor runs in another folder), l every remaining argument as a list.
struct Method
{
    const char *name;
    const char *args;
    const char *help;
};

constexpr Method methods[] = {
    {"Trigger", "s", "OBJECTNAME      run a menu command, toolbar button or action"},
    {"Commands", "", "                list the object names Trigger accepts"},
    {"DocumentText", "", "                print the current document's text"},
    {"SetDocumentText", "s", "TEXT            replace the current document's text"},
    {"CaretPoint", "", "                print the caret as \"X Y\" (column, line; from 0)"},
    {"SetCaretPoint", "ii", "X Y             move the caret"},
    {"Select", "iiii", "X1 Y1 X2 Y2     select from X1,Y1 to X2,Y2"},
    {"SelectedText", "", "                print the selected text"},
    {"TypeText", "s", "TEXT            type TEXT as keys into the editor"},
    {"DocumentCount", "", "                print the number of open documents"},
    {"CurrentFileName", "", "                print the current document's file (empty if unsaved)"},
    {"IsModified", "", "                print true or false"},
    {"OpenFile", "p", "PATH            open a file as a new document"},
    {"ActivePage", "", "                print the shown page (EditorPage, PreviewPage, ...)"},
    {"QueueAnswers", "l", "ANSWER...       answers for the next boxes: button:Yes, text:T, path:P, cancel"},
    {"TakeMessages", "", "                print the boxes shown since the last call, as JSON"},
    {"WindowTitles", "", "                print the titles of the visible windows"},
};

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

void printReply(const QString &method, const QDBusMessage &reply)
{
    const QList<QVariant> values = reply.arguments();
    if (method == QLatin1String("TakeMessages") && !values.isEmpty()) {
        printMessages(values.first());
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

    const QString kinds = QLatin1String(method->args);
    QList<QVariant> values;
    if (kinds == QLatin1String("l")) {
        values.append(args);
    } else {
        if (args.size() != kinds.size())
            return fail(Usage, QStringLiteral("%1 takes %2 argument(s).").arg(QLatin1String(method->name)).arg(kinds.size()));
        for (int i = 0; i < kinds.size(); ++i) {
            if (kinds.at(i) == u'i') {
                bool ok = false;
                const int n = args.at(i).toInt(&ok);
                if (!ok)
                    return fail(Usage, QStringLiteral("%1 is not a number.").arg(args.at(i)));
                values.append(n);
            } else if (kinds.at(i) == u'p') {
                values.append(QDir::cleanPath(QFileInfo(args.at(i)).absoluteFilePath()));
            } else {
                values.append(args.at(i));
            }
        }
    }

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
                                                       QLatin1String(Quorvant::Bus::EditorInterface),
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
