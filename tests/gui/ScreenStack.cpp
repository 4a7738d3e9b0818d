#include "ScreenStack.h"

#include <string>
#include <utility>

#ifdef _WIN32
#include <vector>

#include <windows.h>
#else
#include <vector>

#include <X11/Xatom.h>
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

// The top-level windows, bottom first: as a window manager stacks its clients where one
// runs (its frames, the root's children, carry no title), else the root's children.
std::vector<Window> stacking(Display* display) {
    std::vector<Window> windows;
    const Window root = DefaultRootWindow(display);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* value = nullptr;
    if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False), 0, 4096, False,
                           XA_WINDOW, &type, &format, &items, &after, &value) == Success &&
        value) {
        const auto* clients = reinterpret_cast<const Window*>(value);
        windows.assign(clients, clients + items);
        XFree(value);
        if (!windows.empty()) return windows;
    }
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) windows.assign(children, children + count);
    if (children) XFree(children);
    return windows;
}

// The visible top-level window of this title and its place among the screen's windows,
// bottom first.
std::pair<Window, int> findTopLevel(Display* display, const char* title) {
    XSetErrorHandler(ignoreXError);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
    const std::vector<Window> windows = stacking(display);
    int place = -1;
    Window found = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, windows[i], &attributes) || attributes.map_state != IsViewable) continue;
        // GTK writes the title as UTF-8 into _NET_WM_NAME.
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(display, windows[i], netWmName, 0, 1024, False, utf8String, &type, &format, &items,
                               &after, &value) == Success &&
            value) {
            if (std::string(reinterpret_cast<char*>(value), items) == title) {
                place = static_cast<int>(i);
                found = windows[i];
            }
            XFree(value);
        }
    }
    return {found, place};
}

}  // namespace

int stackPlace(Display* display, const char* title) {
    return findTopLevel(display, title).second;
}

ScreenRect windowRect(const char* title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {};
    ScreenRect rect;
    XWindowAttributes attributes;
    if (const Window window = findTopLevel(display, title).first;
        window && XGetWindowAttributes(display, window, &attributes)) {
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rect.x, &rect.y, &child);
        rect.width = attributes.width;
        rect.height = attributes.height;
    }
    XCloseDisplay(display);
    return rect;
}

bool closeWindow(const char* title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Window window = findTopLevel(display, title).first;
    if (window) {
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = window;
        close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &close);
        XFlush(display);
    }
    XCloseDisplay(display);
    return window != 0;
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
