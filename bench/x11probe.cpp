// x11probe: watches a program's windows from outside, for startup-x11.sh.
//   x11probe wait TITLE [TIMEOUT_S]
//       waits until the window manager manages a window whose title matches
//       TITLE, a shell pattern (fnmatch: "*" for any text; a title without
//       *, ? or [ matches itself only); it is in _NET_CLIENT_LIST: shown.
//       Prints "<CLOCK_REALTIME seconds> <window id>"; exit 1 on time-out.
//   x11probe wm [TIMEOUT_S]
//       waits until a window manager has announced itself on the root
//       window (_NET_SUPPORTING_WM_CHECK); exit 1 on time-out.
//   x11probe ping WINDOW [INTERVAL_MS]
//       sends _NET_WM_PING to the window, one at a time, every INTERVAL_MS
//       (20) or when the last one is answered, until SIGTERM or SIGINT.
//       Prints "ping SENT ANSWERED" (CLOCK_REALTIME seconds; a ping still
//       waiting at the end is answered "-") for each, then
//       "max_stall_ms=M pings=N answered=A". The answer is sent by the
//       program's GUI thread, so a ping waits as long as its event loop is
//       kept from running.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fnmatch.h>
#include <string>
#include <sys/select.h>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

double now(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

int ignoreErrors(Display *, XErrorEvent *) { return 0; }

std::string windowTitle(Display *d, Window w, Atom netWmName, Atom utf8)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success
        && data && format == 8) {
        title.assign(reinterpret_cast<char *>(data), count);
    }
    if (data)
        XFree(data);
    if (title.empty()) {
        char *name = nullptr;
        if (XFetchName(d, w, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

std::vector<Window> clientList(Display *d, Window root, Atom clientListAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::vector<Window> out;
    if (XGetWindowProperty(d, root, clientListAtom, 0, 4096, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success
        && data && format == 32) {
        const auto *ids = reinterpret_cast<const unsigned long *>(data);
        out.assign(ids, ids + count);
    }
    if (data)
        XFree(data);
    return out;
}

// Waits for an X event or the time-out (seconds); false on time-out.
bool waitForEvent(Display *d, double seconds)
{
    if (XPending(d))
        return true;
    const int fd = ConnectionNumber(d);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval tv{};
    tv.tv_sec = long(seconds);
    tv.tv_usec = long((seconds - double(tv.tv_sec)) * 1e6);
    const int r = select(fd + 1, &set, nullptr, nullptr, &tv);
    return r > 0 || XPending(d);
}

int waitForWindow(Display *d, const std::string &wanted, double timeout)
{
    const Window root = DefaultRootWindow(d);
    const Atom clients = XInternAtom(d, "_NET_CLIENT_LIST", False);
    const Atom netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XSelectInput(d, root, SubstructureNotifyMask | PropertyChangeMask);
    const double deadline = now(CLOCK_MONOTONIC) + timeout;
    while (!g_stop) {
        // Listed from the moment the window manager takes it on to show it
        // until it is hidden again: a window shown only briefly is caught.
        for (Window w : clientList(d, root, clients)) {
            if (fnmatch(wanted.c_str(), windowTitle(d, w, netWmName, utf8).c_str(), 0) == 0) {
                printf("%.6f 0x%lx\n", now(CLOCK_REALTIME), w);
                return 0;
            }
        }
        const double left = deadline - now(CLOCK_MONOTONIC);
        if (left <= 0)
            return 1;
        // A title set after mapping arrives as a property change of the
        // client, which the root does not see: look again every 10 ms.
        if (waitForEvent(d, std::min(left, 0.01))) {
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
            }
        }
    }
    return 1;
}

int waitForWindowManager(Display *d, double timeout)
{
    const Window root = DefaultRootWindow(d);
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    XSelectInput(d, root, PropertyChangeMask);
    const double deadline = now(CLOCK_MONOTONIC) + timeout;
    while (!g_stop) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        const bool there = XGetWindowProperty(d, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data)
                               == Success
                           && count == 1;
        if (data)
            XFree(data);
        if (there)
            return 0;
        const double left = deadline - now(CLOCK_MONOTONIC);
        if (left <= 0)
            return 1;
        if (waitForEvent(d, std::min(left, 0.05))) {
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
            }
        }
    }
    return 1;
}

int pingWindow(Display *d, Window target, double interval)
{
    const Window root = DefaultRootWindow(d);
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(d, "_NET_WM_PING", False);
    // The answer goes to the root window for the window manager: Qt sends
    // it with StructureNotify | SubstructureRedirect, others with
    // SubstructureNotify.
    XSelectInput(d, root, StructureNotifyMask | SubstructureNotifyMask);
    double maxStall = 0;
    long sent = 0, answered = 0;
    unsigned long stamp = 1;
    while (!g_stop) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = protocols;
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(ping);
        e.xclient.data.l[1] = long(stamp);
        e.xclient.data.l[2] = long(target);
        const double start = now(CLOCK_MONOTONIC);
        const double startReal = now(CLOCK_REALTIME);
        XSendEvent(d, target, False, NoEventMask, &e);
        XFlush(d);
        ++sent;
        bool got = false;
        while (!got && !g_stop) {
            if (!waitForEvent(d, 0.05))
                continue;
            while (XPending(d)) {
                XEvent r;
                XNextEvent(d, &r);
                if (r.type == ClientMessage && r.xclient.message_type == protocols
                    && Atom(r.xclient.data.l[0]) == ping && (unsigned long)r.xclient.data.l[1] == stamp) {
                    got = true;
                }
            }
        }
        // A ping still unanswered at the end counts as long as it waited.
        maxStall = std::max(maxStall, now(CLOCK_MONOTONIC) - start);
        if (got) {
            ++answered;
            printf("ping %.6f %.6f\n", startReal, now(CLOCK_REALTIME));
        } else {
            printf("ping %.6f -\n", startReal);
        }
        ++stamp;
        const double rest = interval - (now(CLOCK_MONOTONIC) - start);
        if (rest > 0 && !g_stop) {
            timespec ts{long(rest), long((rest - double(long(rest))) * 1e9)};
            while (nanosleep(&ts, &ts) == -1 && errno == EINTR && !g_stop) {
            }
        }
    }
    printf("max_stall_ms=%.0f pings=%ld answered=%ld\n", maxStall * 1000.0, sent, answered);
    return 0;
}

int usage()
{
    fputs("usage: x11probe wait TITLE [TIMEOUT_S] | x11probe wm [TIMEOUT_S] | x11probe ping WINDOW [INTERVAL_MS]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || (argc < 3 && std::string(argv[1]) != "wm"))
        return usage();
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        fputs("x11probe: cannot open the display\n", stderr);
        return 2;
    }
    // Windows come and go while we look at them.
    XSetErrorHandler(ignoreErrors);
    const std::string command = argv[1];
    int result = 2;
    if (command == "wait")
        result = waitForWindow(d, argv[2], argc > 3 ? atof(argv[3]) : 30.0);
    else if (command == "wm")
        result = waitForWindowManager(d, argc > 2 ? atof(argv[2]) : 30.0);
    else if (command == "ping")
        result = pingWindow(d, Window(strtoul(argv[2], nullptr, 0)), argc > 3 ? atof(argv[3]) / 1000.0 : 0.02);
    else
        result = usage();
    fflush(stdout);
    XCloseDisplay(d);
    return result;
}
