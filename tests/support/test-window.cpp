// tolvane-test-window --class CLASS [--pid N] [--gtk-app-id ID]
//
// tolvane-test-window --lock-group N
//   locks XKB group N, as another program or the user's layout hotkey would, and exits.
//
// tolvane-test-window --flood N WINDOW...
//   sets the root window's _NET_ACTIVE_WINDOW N times, to each WINDOW (hex) in
//   turn, as fast as the server takes it, and exits once the server has them all.
//
// Maps one ordinary top-level window, prints "window 0x..." and then one line
// "key <keycode> <state>" per key press it receives, until killed.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc == 3 && !std::strcmp(argv[1], "--lock-group")) {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return 1;
        XkbLockGroup(display, XkbUseCoreKbd, unsigned(std::atoi(argv[2])));
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }

    if (argc >= 4 && !std::strcmp(argv[1], "--flood")) {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return 1;
        const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        const long count = std::atol(argv[2]);
        const int windows = argc - 3;
        for (long i = 0; i < count; ++i) {
            const unsigned long window = std::strtoul(argv[3 + i % windows], nullptr, 16);
            XChangeProperty(display, DefaultRootWindow(display), active, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&window), 1);
            if (i % 64 == 0)
                XFlush(display);
        }
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }

    std::string className = "TolvaneTest";
    std::string gtkAppId;
    long pid = long(getpid());
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--class"))
            className = argv[i + 1];
        else if (!std::strcmp(argv[i], "--pid"))
            pid = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--gtk-app-id"))
            gtkAppId = argv[i + 1];
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 100, 100, 320, 200, 1,
                                        BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask | FocusChangeMask);

    XClassHint hint;
    hint.res_name = const_cast<char*>(className.c_str());
    hint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, className.c_str());

    XWMHints wmHints;
    wmHints.flags = InputHint;
    wmHints.input = True;
    XSetWMHints(display, window, &wmHints);

    char host[256] = {};
    gethostname(host, sizeof host - 1);
    XTextProperty machine;
    char* hostList[] = {host};
    if (XStringListToTextProperty(hostList, 1, &machine)) {
        XSetWMClientMachine(display, window, &machine);
        XFree(machine.value);
    }
    if (pid > 0) {
        const unsigned long value = static_cast<unsigned long>(pid);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
    }
    if (!gtkAppId.empty()) {
        XChangeProperty(display, window, XInternAtom(display, "_GTK_APPLICATION_ID", False),
                        XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(gtkAppId.c_str()), int(gtkAppId.size()));
    }

    XMapWindow(display, window);
    XFlush(display);
    std::printf("window 0x%lx\n", window);
    std::fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress) {
            std::printf("key %u %u\n", event.xkey.keycode, event.xkey.state);
            std::fflush(stdout);
        }
    }
}
