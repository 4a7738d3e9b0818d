#include "ScreenStack.h"

#include <string>

#include <X11/Xlib.h>

namespace orvenna::gui {

namespace {

// On a desktop in use, a window listed a moment ago may be gone when it is asked about:
// Xlib's default handler would end the process on that BadWindow.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int stackPlace(Display* display, const char* title) {
    XSetErrorHandler(ignoreXError);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    int place = -1;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
                continue;
            // GTK writes the title as UTF-8 into _NET_WM_NAME.
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* value = nullptr;
            if (XGetWindowProperty(display, children[i], netWmName, 0, 1024, False, utf8String, &type, &format, &items,
                                   &after, &value) == Success &&
                value) {
                if (std::string(reinterpret_cast<char*>(value), items) == title) place = static_cast<int>(i);
                XFree(value);
            }
        }
    }
    if (children) XFree(children);
    return place;
}

int stackPlace(const char* title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return -1;
    const int place = stackPlace(display, title);
    XCloseDisplay(display);
    return place;
}

}  // namespace orvenna::gui
