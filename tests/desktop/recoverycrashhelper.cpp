// Types into a 5 MB document and keeps it for recovery the way the program
// does, until it is killed. Each copy handed to the writer is reported as
// "snap <hash>" before it is queued, each finished write as "done <hash>".
#include "recoverystore.h"
#include "recoverywriter.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace Quorvant;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: recovery_crash_helper DATA_FOLDER\n");
        return 2;
    }
    auto store = std::make_shared<TRecoveryStore>(QString::fromLocal8Bit(argv[1]));
    QString error;
    if (!store->openSession(&error)) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    TRecoveryWriter writer(store);
    QObject::connect(&writer, &TRecoveryWriter::written, [](const QString &, quint64 hash) {
        printf("done %llu\n", static_cast<unsigned long long>(hash));
        fflush(stdout);
    });

    QByteArray text;
    text.reserve(5 * 1024 * 1024 + 4096);
    for (int i = 0; text.size() < 5 * 1024 * 1024; ++i)
        text += "<p class=\"row\">Line " + QByteArray::number(i) + " of the page, with some words in it.</p>\r\n";
    int keys = 0;
    QTimer typing;
    QObject::connect(&typing, &QTimer::timeout, [&] {
        // A few keys, then a copy, as after a short pause.
        for (int k = 0; k < 7; ++k, ++keys)
            text.insert((keys * 7919) % text.size(), char('a' + keys % 26));
        TRecoveryEntry entry;
        entry.id = QStringLiteral("doc-1");
        entry.fileName = QStringLiteral("/tmp/typed.htm");
        entry.savedAt = QDateTime::currentDateTimeUtc();
        entry.text = text;
        printf("snap %llu\n", static_cast<unsigned long long>(contentHash(text)));
        fflush(stdout);
        writer.write(entry);
    });
    typing.start(5);
    return app.exec();
}
