// A main() for a fuzz target built without libFuzzer (the normal build):
// every file of the given folders (or the given files) goes through the
// target once, then, for a bounded time, simple mutations of them drawn
// from a fixed seed: bit flips, interesting bytes, truncations,
// duplications, erasures and splices. A crash or a broken invariant aborts
// the run, and the input that did it is written to "crash-<program>" in the
// working folder first, ready to be kept in the corpus.
//
//   fuzz_<target> [--seconds N] [--seed N] FOLDER_OR_FILE...
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

#if defined(__SANITIZE_ADDRESS__)
#define FUZZ_REPLAY_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FUZZ_REPLAY_UNDER_ASAN 1
#endif
#endif

namespace {

// The most a mutation makes an input grow to.
constexpr qsizetype MaxMutatedBytes = 64 * 1024;

// The input being run, and where the crash handler saves it.
const char *gCurrentData = nullptr;
char gCrashFile[256] = "crash-input";
size_t gCurrentSize = 0;

void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            return;
        data += n;
        size -= size_t(n);
    }
}

// Only async-signal-safe calls: the input is saved, then the signal is
// raised again with its default action (a core, or the sanitizer's report).
void saveInputAndDie(int sig)
{
    const int fd = ::open(gCrashFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        writeAll(fd, gCurrentData, gCurrentSize);
        ::close(fd);
    }
    static const char note[] = "fuzz replay: the failing input is in ";
    writeAll(2, note, sizeof note - 1);
    writeAll(2, gCrashFile, std::strlen(gCrashFile));
    writeAll(2, "\n", 1);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void run(const QByteArray &input)
{
    gCurrentData = input.constData();
    gCurrentSize = size_t(input.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
}

// splitmix64: the same mutations on every machine for one seed.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1; 0 for a bound of 0.
    qsizetype below(qsizetype bound) { return bound <= 0 ? 0 : qsizetype(next() % quint64(bound)); }

private:
    quint64 m_state;
};

// Bytes the readers give meaning to: separators, quotes, line ends, the
// marks of the 8-bit stores, and the bytes that make UTF-8 invalid.
constexpr char InterestingBytes[] = {'\0', '\n', '\r', '=', '[', ']', ',', '"', '\'', '<', '>', '{', '}', '\t',
                                     '\\', '(', ')', ';', '#', '\x9E', '\xFE', '\x80', '\xC3', '\xEF', '\xFF'};

QByteArray mutate(const QList<QByteArray> &corpus, Random &random)
{
    QByteArray out = corpus.at(random.below(corpus.size()));
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const qsizetype at = random.below(out.size() + 1);
        switch (random.below(7)) {
        case 0:  // flip one bit
            if (!out.isEmpty())
                out[random.below(out.size())] ^= char(1 << random.below(8));
            break;
        case 1:  // an interesting byte in place of another, or added
            if (!out.isEmpty() && random.below(2))
                out[random.below(out.size())] = InterestingBytes[random.below(sizeof InterestingBytes)];
            else
                out.insert(at, InterestingBytes[random.below(sizeof InterestingBytes)]);
            break;
        case 2:  // cut the end off
            out.truncate(at);
            break;
        case 3: {  // a piece repeated in place
            const qsizetype length = 1 + random.below(qMin<qsizetype>(out.size() - at, 256));
            const QByteArray piece = out.mid(at, length);
            out.insert(at, piece.repeated(1 + int(random.below(3))));
            break;
        }
        case 4:  // a piece erased
            out.remove(at, 1 + random.below(qMin<qsizetype>(out.size() - at, 64)));
            break;
        case 5: {  // the start of this input, the end of another
            const QByteArray &other = corpus.at(random.below(corpus.size()));
            out = out.left(at) + other.mid(random.below(other.size() + 1));
            break;
        }
        default:  // a random byte
            out.insert(at, char(random.below(256)));
            break;
        }
    }
    out.truncate(MaxMutatedBytes);
    return out;
}

QList<QByteArray> readInputs(const QStringList &places)
{
    QList<QByteArray> inputs;
    for (const QString &place : places) {
        QStringList files;
        if (QFileInfo(place).isDir()) {
            for (const QFileInfo &info : QDir(place).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
                files << info.filePath();
        } else {
            files << place;
        }
        for (const QString &path : std::as_const(files)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "fuzz replay: cannot read %s\n", qPrintable(path));
                std::exit(2);
            }
            inputs << file.readAll();
        }
    }
    return inputs;
}

} // namespace

int main(int argc, char **argv)
{
    double seconds = 0;
    quint64 seed = 1;
    QStringList places;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if ((arg == "--seconds" || arg == "--seed") && i + 1 < argc) {
            bool ok = false;
            if (arg == "--seconds")
                seconds = QByteArray(argv[++i]).toDouble(&ok);
            else
                seed = QByteArray(argv[++i]).toULongLong(&ok);
            if (!ok) {
                std::fprintf(stderr, "fuzz replay: %s wants a number\n", arg.constData());
                return 2;
            }
        } else if (arg.startsWith('-')) {
            std::fprintf(stderr, "usage: %s [--seconds N] [--seed N] FOLDER_OR_FILE...\n", argv[0]);
            return 2;
        } else {
            places << QString::fromLocal8Bit(arg);
        }
    }
    const QList<QByteArray> corpus = readInputs(places);
    const QByteArray crashFile = "crash-" + QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toLocal8Bit();
    qstrncpy(gCrashFile, crashFile.constData(), sizeof gCrashFile);

#ifdef FUZZ_REPLAY_UNDER_ASAN
    // AddressSanitizer reports a fault itself, then aborts (abort_on_error).
    for (int sig : {SIGABRT})
#else
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
#endif
        std::signal(sig, saveInputAndDie);

    for (const QByteArray &input : corpus)
        run(input);
    qint64 mutated = 0;
    if (!corpus.isEmpty() && seconds > 0) {
        Random random(seed);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < qint64(seconds * 1000)) {
            run(mutate(corpus, random));
            ++mutated;
        }
    }
    std::printf("fuzz replay: %lld corpus inputs, %lld mutated inputs\n", qlonglong(corpus.size()), qlonglong(mutated));
    return 0;
}
