// 10,000 chat lines arriving in one room of the real main window, through
// the dispatcher: the time until every line is shown, and the longest time
// the event loop was kept from running meanwhile (responsiveness).
#include "chatroommenu.h"
#include "clientbrain.h"
#include "client.h"
#include "datafolder.h"
#include "halvornnetwork.h"
#include "mainwindow.h"
#include "memorybookings.h"
#include "messageservice.h"
#include "networkglobals.h"
#include "subsystems.h"
#include "wireformat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Quorvant;
using namespace Quorvant::Network;

static void BM_TenThousandChatLines(benchmark::State &state)
{
    QTemporaryDir dir;
    DataFolder::setPath(dir.path());
    MessageService::setTestHookEnabled(true);
    auto window = std::make_unique<TForm1>();
    installSubsystems(*window);
    window->show();
    auto *network = window->findChild<THalvornNetwork *>(QStringLiteral("HalvornNetwork"));
    TMemoryBookings bookings;
    TClientBrain brain(*network, bookings, dir.path());
    std::unique_ptr<TClient> client(brain.createClient(nullptr));
    QList<QByteArray> packets;
    for (int i = 0; i < 10000; ++i)
        packets.append(EncodeString("LOBBY") + EncodeString("someone: line " + QByteArray::number(i)
                                                             + " of the chat flood, with some more text in it"));
    qint64 worstGapMs = 0;
    for (auto _ : state) {
        TChatRoomMenu *room = network->CreateChatRoom();
        room->setRoom("LOBBY");
        room->show();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        // Packets arrive in socket-sized batches of 50, the loop running between them.
        int next = 0;
        QElapsedTimer gap;
        gap.start();
        while (next < packets.size() || room->ChatMemo->document()->blockCount() < 10000) {
            for (int k = 0; k < 50 && next < packets.size(); ++k)
                brain.ClientProcessPacket(packets[next++], "MESS", *client);
            QCoreApplication::processEvents();
            worstGapMs = std::max(worstGapMs, gap.restart());
            if (clock.elapsed() > 20000)
                break;
        }
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        state.counters["shown_ms"] = clock.nsecsElapsed() / 1e6;
        state.counters["worst_loop_gap_ms"] = double(worstGapMs);
        state.counters["lines"] = room->ChatMemo->document()->blockCount();
        room->close();
    }
    window.reset();
}
BENCHMARK(BM_TenThousandChatLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    resetNetworkGlobals();
    return 0;
}
