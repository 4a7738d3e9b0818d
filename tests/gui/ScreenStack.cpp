#include "ScreenStack.h"

#include <string>

#ifdef _WIN32
#include <vector>

#include <windows.h>
#else
#include <X11/Xlib.h>
#endif

namespace orvenna::gui {

#ifdef _WIN32

int stackPlace(const char* title) {
    std::wstring wanted(MultiByteToWideChar(CP_UTF8, 0, title, -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, title, -1, wanted.data(), static_cast<int>(wanted.size()));
    wanted.pop_back();
    // Windows lists the top-level windows front first.
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (!IsWindowVisible(windows[i])) continue;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(windows[i])) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(windows[i], text.data(), static_cast<int>(text.size()))));
        if (text == wanted) return static_cast<int>(windows.size() - 1 - i);
    }
    return -1;
}

#else

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

#endif

}  // namespace orvenna::gui
