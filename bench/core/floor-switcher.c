/* floor-switcher CLASS=GROUP ...
 *
 * The least a per-application layout switcher can do, as the yardstick for
 * Tolvane's switching: on each change of the root window's _NET_ACTIVE_WINDOW
 * it reads the active window, reads its WM_CLASS and locks the XKB group
 * mapped to that class. Prints "ready" once it listens; runs until killed. */
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct mapping {
    const char* class_name;
    int group;
};

static int ignore_errors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

static Window active_window(Display* display, Window root, Atom property)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = NULL;
    Window window = None;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                           &data) == Success
        && data && count == 1 && format == 32)
        window = *(Window*)data;
    if (data)
        XFree(data);
    return window;
}

int main(int argc, char** argv)
{
    struct mapping mappings[16];
    int count = 0;
    for (int i = 1; i < argc && count < 16; ++i) {
        char* equals = strchr(argv[i], '=');
        if (!equals)
            continue;
        *equals = '\0';
        mappings[count].class_name = argv[i];
        mappings[count].group = atoi(equals + 1);
        ++count;
    }

    Display* display = XkbOpenDisplay(NULL, NULL, NULL, NULL, NULL, NULL);
    if (!display) {
        fprintf(stderr, "floor-switcher: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    const Window root = DefaultRootWindow(display);
    const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    XSelectInput(display, root, PropertyChangeMask);
    XSync(display, False);
    printf("ready\n");
    fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != PropertyNotify || event.xproperty.atom != active)
            continue;
        const Window window = active_window(display, root, active);
        if (window == None)
            continue;
        XClassHint hint = {NULL, NULL};
        if (!XGetClassHint(display, window, &hint))
            continue;
        for (int i = 0; i < count; ++i) {
            if (hint.res_class && strcmp(hint.res_class, mappings[i].class_name) == 0) {
                XkbLockGroup(display, XkbUseCoreKbd, (unsigned)mappings[i].group);
                XFlush(display);
                break;
            }
        }
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }
}
