// Drags one file over the middle of an X window and drops it there, as a
// file manager does through the XDND protocol (version 5), for the
// end-to-end tests:
//
//   x_drop WINDOW PATH
//
// Prints "accepted" or "refused", the target's answer to the drag; drops
// only what was accepted, and then waits until the target has finished.
// Exit status 1 when the target does not answer within 10 seconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

Display* display;
Window source;
Atom XdndAware, XdndSelection, XdndEnter, XdndPosition, XdndStatus, XdndLeave, XdndDrop, XdndFinished,
    XdndActionCopy, UriList;
std::string uri;

void Send(Window target, Atom type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(source);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// Hands the file's URI to whoever asks for the drag's data.
void Serve(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    if (request.target == UriList) {
        const Atom property = request.property != None ? request.property : request.target;
        XChangeProperty(display, request.requestor, property, UriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uri.data()), static_cast<int>(uri.size()));
        reply.xselection.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

// Serves data requests until the target sends `type`; false after 10 seconds.
bool WaitFor(Atom type, XClientMessageEvent& answer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) Serve(event.xselectionrequest);
            if (event.type == ClientMessage && event.xclient.message_type == type) {
                answer = event.xclient;
                return true;
            }
        }
        struct timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x_drop WINDOW PATH\n");
        return 2;
    }
    display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_drop: no display\n");
        return 1;
    }
    const Window target = std::strtoul(argv[1], nullptr, 0);
    uri = std::string("file://") + argv[2] + "\r\n";  // the test's paths need no escaping
    for (const auto& [atom, name] : {std::pair{&XdndAware, "XdndAware"}, {&XdndSelection, "XdndSelection"},
                                     {&XdndEnter, "XdndEnter"}, {&XdndPosition, "XdndPosition"},
                                     {&XdndStatus, "XdndStatus"}, {&XdndLeave, "XdndLeave"}, {&XdndDrop, "XdndDrop"},
                                     {&XdndFinished, "XdndFinished"}, {&XdndActionCopy, "XdndActionCopy"},
                                     {&UriList, "text/uri-list"}}) {
        *atom = XInternAtom(display, name, False);
    }
    const Window root = DefaultRootWindow(display);
    source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, XdndSelection, source, CurrentTime);

    XWindowAttributes attributes;
    XGetWindowAttributes(display, target, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, target, root, attributes.width / 2, attributes.height / 2, &x, &y, &child);

    Send(target, XdndEnter, 5L << 24, static_cast<long>(UriList), None, None);
    Send(target, XdndPosition, 0, (static_cast<long>(x) << 16) | y, CurrentTime, static_cast<long>(XdndActionCopy));
    XClientMessageEvent status;
    if (!WaitFor(XdndStatus, status)) {
        std::fprintf(stderr, "x_drop: no XdndStatus from the window\n");
        return 1;
    }
    if ((status.data.l[1] & 1) == 0) {
        Send(target, XdndLeave, 0, 0, 0, 0);
        std::puts("refused");
        return 0;
    }
    Send(target, XdndDrop, 0, CurrentTime, 0, 0);
    XClientMessageEvent finished;
    if (!WaitFor(XdndFinished, finished)) {
        std::fprintf(stderr, "x_drop: no XdndFinished from the window\n");
        return 1;
    }
    std::puts("accepted");
    XCloseDisplay(display);
    return 0;
}
