// The real client against halvorn-server on 127.0.0.1: a 10 MB file booked
// out (download, store, open, booking) and booked back in, and the CPU an
// idle connected client uses. Targets: book-out under 0.5 s, idle under 0.5 %.
// With --tls the server serves TLS only (a test authority and certificate
// made with openssl for the run) and the client verifies it.
#include "client.h"
#include "clientbrain.h"
#include "networkglobals.h"
#include "networklog.h"
#include "networkrequests.h"
#include "recordingui.h"
#include "serverprocess.h"
#include "testcertificates.h"
#include "waituntil.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>

#include <sys/resource.h>

using namespace Quorvant::Network;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Session
{
    QTemporaryDir dir;
    ServerProcess server;
    TNetworkLog log;
    RecordingUi ui;
    RecordingBookings bookings;
    std::unique_ptr<TClientBrain> brain;
    QByteArray content;
    bool tls = false;

    bool start()
    {
        resetNetworkGlobals();
        // Room for the 10 MB file above the server's 8 MiB default.
        QStringList serverArgs{"--max-file-bytes", "16000000"};
        TestCertificates certificates;
        if (tls) {
            QString error;
            if (!QDir().mkpath(dir.filePath("certificates")) || !certificates.make(dir.filePath("certificates"), &error)) {
                std::fprintf(stderr, "could not make the certificates: %s\n", qPrintable(error));
                return false;
            }
            // The client trusts the test authority besides the system's.
            qputenv("QUORVANT_CA_FILE", certificates.authorityCert.toLocal8Bit());
            serverArgs << "--tls-cert" << certificates.serverCert << "--tls-key" << certificates.serverKey;
        }
        if (!server.start(dir.filePath("bench.db"), serverArgs))
            return false;
        brain = std::make_unique<TClientBrain>(ui, bookings, dir.filePath("data"));
        gUserName = "bench";
        gPassword = "pw";
        gCreatingNewAccount = true;
        gMyClient = brain->createClient(&log);
        if (!gMyClient->ClientConnect("127.0.0.1", server.port, tls ? QStringLiteral("localhost") : QString())
            || !waitUntil([&] { return ui.connected; }, 10000) || gMyClient->isEncrypted() != tls)
            return false;
        SendAddProject(*gMyClient, "Bench", "pw");
        if (!waitUntil([&] { return ui.projectActive; }, 5000))
            return false;
        content = QByteArray(10 * 1000 * 1000, '\0');
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = char('a' + (i * 31 + i / 977) % 26);
        gNextFile = false;
        SendAddFile(*gMyClient, "big.htm", content);
        return waitUntil([] { return gNextFile; }, 30000) && !ui.messageTexts().contains("Server Error: Unable To Add File");
    }
};

Session *gSession = nullptr;

void BookOut10MB(benchmark::State &state)
{
    Session &s = *gSession;
    for (auto _ : state) {
        s.ui.opened.clear();
        SendProjectFileRequest(*gMyClient, "GTFD", "big.htm");
        SendProjectFileRequest(*gMyClient, "BFOU", "big.htm");
        if (!waitUntil([&] { return !s.ui.opened.isEmpty(); }, 10000)) {
            state.SkipWithError("the file did not arrive");
            return;
        }
        state.PauseTiming();
        QFile file(s.ui.opened.first());
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != s.content) {
            state.SkipWithError("the stored file differs");
            return;
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * s.content.size());
}
BENCHMARK(BookOut10MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Upload in 2048-byte pieces, each sent when the socket reports the last one
// written, then release the booking.
void BookIn10MB(benchmark::State &state)
{
    Session &s = *gSession;
    for (auto _ : state) {
        s.ui.messages.clear();
        s.bookings.removed.clear();
        gFileBeingBookedIn = "big.htm";
        SendUploadFile(*gMyClient, "big.htm", s.content);
        SendProjectFileRequest(*gMyClient, "BFIN", "big.htm");
        if (!waitUntil([&] { return !s.bookings.removed.isEmpty(); }, 30000)) {
            state.SkipWithError("the book-in was not answered");
            return;
        }
        state.PauseTiming();
        SendProjectFileRequest(*gMyClient, "BFOU", "big.htm");
        waitUntil([] { return gMyClient->queuedPackets().isEmpty(); }, 5000);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * s.content.size());
}
BENCHMARK(BookIn10MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A connected, signed-in client left alone for 5 seconds.
void IdleClientCpu(benchmark::State &state)
{
    double percent = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        percent = (cpuSeconds() - before) / 5.0 * 100.0;
        if (!gMyClient || !gMyClient->isConnected()) {
            state.SkipWithError("the client lost its connection");
            return;
        }
    }
    state.counters["cpu_percent"] = percent;
}
BENCHMARK(IdleClientCpu)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Session session;
    for (int i = 1; i < argc; ++i)
        session.tls = session.tls || std::strcmp(argv[i], "--tls") == 0;
    if (!session.start()) {
        std::fprintf(stderr, "could not start the server and sign in\n");
        return 1;
    }
    gSession = &session;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    resetNetworkGlobals();
    return 0;
}
