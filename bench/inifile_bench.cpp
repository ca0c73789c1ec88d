// Reading settings from very large INI files: a 50 MiB Main.INI looked up
// the way start-up does (a fresh store per value), and a Browsers.INI of
// 700,000 lines.
#include "datafolder.h"
#include "inifile.h"
#include "setuptools.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>

using namespace Quorvant;

namespace {

QTemporaryDir *gDir = nullptr;

double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Many sections of many keys, the asked-for values at the very end.
QString makeBigIni(qint64 bytes)
{
    const QString path = gDir->filePath(QStringLiteral("Main.INI"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QByteArray chunk;
    for (int section = 0; f.size() + chunk.size() < bytes; ++section) {
        chunk += "[SECTION" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 200; ++key)
            chunk += "KEY" + QByteArray::number(key) + "=some value of a setting " + QByteArray::number(key * 7) + "\r\n";
        chunk += "\r\n";
        if (chunk.size() > 1024 * 1024) {
            f.write(chunk);
            chunk.clear();
        }
    }
    chunk += "[GENERAL]\r\nFIRSTRUN=0\r\n[PARSER]\r\nSELECTED=2\r\n[DIRECTORIES]\r\nMAIN=/home/ann\r\n";
    f.write(chunk);
    return path;
}

void BigMainIni(benchmark::State &state)
{
    const QString path = makeBigIni(50 * 1024 * 1024);
    const QStringList asked = {"GENERAL/FIRSTRUN", "PARSER/SELECTED", "DIRECTORIES/MAIN", "SECTION5/KEY3", "NOSUCH/KEY"};
    for (auto _ : state) {
        // Another program's write: the store must read the file afresh.
        {
            QFile touch(path);
            if (!touch.open(QIODevice::ReadWrite)
                || !touch.setFileTime(QDateTime::currentDateTime().addSecs(-60 - state.iterations()),
                                      QFileDevice::FileModificationTime))
                return state.SkipWithError("cannot set the file's time");
        }
        const auto t0 = std::chrono::steady_clock::now();
        int found = 0;
        for (int round = 0; round < 10; ++round) {
            for (const QString &entry : asked) {
                const IniFile ini(path);
                found += ini.valueExists(entry.section(u'/', 0, 0), entry.section(u'/', 1));
            }
        }
        state.SetIterationTime(msSince(t0) / 1000.0);
        if (found != 40) {
            state.SkipWithError("wrong values read");
            return;
        }
    }
}

void BigBrowsersIni(benchmark::State &state)
{
    DataFolder::setPath(gDir->path());
    QFile f(TSetupTools::browsersIniPath());
    if (!f.open(QIODevice::WriteOnly))
        return state.SkipWithError("cannot write Browsers.INI");
    QByteArray all;
    for (int i = 0; i < 700000; ++i)
        all += "Browser " + QByteArray::number(i) + "=/usr/bin/browser-" + QByteArray::number(i) + "\r\n";
    f.write(all);
    f.close();
    TSetupTools tools;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto browsers = tools.LoadBrowsers();
        state.SetIterationTime(msSince(t0) / 1000.0);
        if (browsers.size() < 700000) {
            state.SkipWithError("browsers missing");
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    gDir = &dir;
    benchmark::RegisterBenchmark("IniFile/main_ini_50MiB_50_lookups", BigMainIni)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("SetupTools/browsers_ini_700000_lines", BigBrowsersIni)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gDir = nullptr;
    return 0;
}
