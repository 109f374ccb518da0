// Watches an X display and prints a line for every top-level window mapped:
//
//   <seconds since the epoch, to the microsecond> <window id> <WM_NAME>
//
// It prints "ready" once it watches, so that a script can start the program
// it times only then. The clock is the one bash's $EPOCHREALTIME reads.
// No window manager is needed: the program names its windows (WM_NAME)
// before it maps them.

#include <X11/Xlib.h>
#include <cstdio>
#include <ctime>

namespace {

// A window may be gone before its name is asked for; that is no error here.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_map_watch: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) {
            continue;
        }
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        char* name = nullptr;
        XFetchName(display, event.xmap.window, &name);
        std::printf("%lld.%06ld 0x%lx %s\n", static_cast<long long>(now.tv_sec), now.tv_nsec / 1000,
                    event.xmap.window, name != nullptr ? name : "");
        std::fflush(stdout);
        if (name != nullptr) {
            XFree(name);
        }
    }
}
