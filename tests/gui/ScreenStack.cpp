#include "ScreenStack.h"

#include <string>

#include <X11/Xlib.h>

namespace orvenna::gui {

int stackPlace(const char* title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return -1;
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
    XCloseDisplay(display);
    return place;
}

}  // namespace orvenna::gui
