// xwindow: finds a top-level window by a part of its title on the X display
// and closes it the way a window manager's close button does (WM_DELETE_WINDOW).
//   xwindow wait  <title part> [timeout ms]   exit 0 once such a window is mapped
//   xwindow close <title part> [timeout ms]   waits for it, then asks it to close
//   xwindow size  <title part> [timeout ms]   prints "width height" of the window
//   xwindow geometry <title part> [timeout ms] prints "x y width height", x and y on the screen
//   xwindow id    <title part> [timeout ms]   prints the window's id (for xdotool)
//   xwindow gone  <title part> [timeout ms]   exit 0 once no such window is mapped
//   xwindow pixels <title part> <x> <y> <w> <h>
//                                             prints a hash of that area of the window
//   xwindow menu  - [timeout ms]              exit 0 once a menu popup is mapped
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string titleOf(Display* display, Window window) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

bool isMapped(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Window find(Display* display, Window parent, const std::string& part) {
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (titleOf(display, children[i]).find(part) != std::string::npos && isMapped(display, children[i]))
            found = children[i];
        else
            found = find(display, children[i], part);
    }
    if (children) XFree(children);
    return found;
}

// A mapped window whose window type is a menu (a popup of a menu bar or a context menu).
Window findMenu(Display* display, Window parent) {
    Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom menus[] = {XInternAtom(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", False),
                    XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False),
                    XInternAtom(display, "_NET_WM_WINDOW_TYPE_MENU", False)};
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], typeAtom, 0, 16, False, XA_ATOM, &type, &format, &n, &after,
                               &data) == Success &&
            data) {
            auto* atoms = reinterpret_cast<Atom*>(data);
            for (unsigned long k = 0; k < n && !found; ++k)
                for (Atom m : menus)
                    if (atoms[k] == m && isMapped(display, children[i])) found = children[i];
            XFree(data);
        }
    }
    if (children) XFree(children);
    return found;
}

// FNV-1a over the area's pixel values, row by row.
unsigned long long hashArea(Display* display, Window window, int x, int y, int w, int h) {
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
    if (!image) return 0;
    unsigned long long hash = 1469598103934665603ull;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            hash ^= XGetPixel(image, col, row) & 0xFFFFFF;
            hash *= 1099511628211ull;
        }
    XDestroyImage(image);
    return hash;
}

Window waitFor(Display* display, const std::string& part, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (Window w = find(display, DefaultRootWindow(display), part)) return w;
        if (std::chrono::steady_clock::now() > deadline) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: xwindow wait|close|size|id|gone|pixels|menu <title part> [arguments]\n");
        return 2;
    }
    std::string command = argv[1], part = argv[2];
    const bool area = command == "pixels";
    if (area && argc < 7) {
        std::fprintf(stderr, "usage: xwindow pixels <title part> <x> <y> <width> <height>\n");
        return 2;
    }
    int timeoutMs = area ? 10000 : argc > 3 ? std::atoi(argv[3]) : 10000;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xwindow: no display\n");
        return 2;
    }
    // Windows come and go while the tree is walked (a program that just
    // ended, a menu that closed): a request about a window that is gone
    // fails and counts as no answer, instead of ending this tool.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (command == "menu" || command == "gone") {
        for (;;) {
            bool present = command == "menu" ? findMenu(display, DefaultRootWindow(display)) != 0
                                             : find(display, DefaultRootWindow(display), part) != 0;
            if (present == (command == "menu")) break;
            if (std::chrono::steady_clock::now() > deadline) {
                XCloseDisplay(display);
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        XCloseDisplay(display);
        return 0;
    }
    Window window = waitFor(display, part, timeoutMs);
    if (!window) {
        std::fprintf(stderr, "xwindow: no window titled \"%s\"\n", part.c_str());
        return 1;
    }
    if (command == "size") {
        XWindowAttributes a{};
        XGetWindowAttributes(display, window, &a);
        std::printf("%d %d\n", a.width, a.height);
    } else if (command == "geometry") {
        XWindowAttributes a{};
        XGetWindowAttributes(display, window, &a);
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        std::printf("%d %d %d %d\n", x, y, a.width, a.height);
    } else if (command == "id") {
        std::printf("%lu\n", static_cast<unsigned long>(window));
    } else if (area) {
        std::printf("%llx\n", hashArea(display, window, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                        std::atoi(argv[6])));
    } else if (command == "close") {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }
    XCloseDisplay(display);
    return 0;
}
