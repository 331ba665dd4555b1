// SPDX-License-Identifier: MIT
#include "platform/linux/X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "common/WindowTitleMatch.h"
#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/X11KeyTable.h"

namespace tapelark {

namespace {

// Xlib's own error handler ends the program; errors of our requests are
// collected here instead while a call runs.
int lastXError = 0;
int KeepXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

class Connection {
public:
    explicit Connection(const std::string& name)
        : display_(XOpenDisplay(name.empty() ? nullptr : name.c_str())) {
        if (display_ != nullptr) previous_ = XSetErrorHandler(KeepXError);
        lastXError = 0;
    }
    ~Connection() {
        if (display_ == nullptr) return;
        XSync(display_, False);
        XCloseDisplay(display_);
        XSetErrorHandler(previous_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return display_; }
    // Whether the requests since the last call went through without an X
    // error; a window that vanished while we looked is no failure of ours.
    bool Succeeded() const {
        XSync(display_, False);
        const bool clean = lastXError == 0;
        lastXError = 0;
        return clean;
    }

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

Atom Intern(Display* d, const char* name) { return XInternAtom(d, name, False); }

// One property of a window, freed on every way out.
struct WindowProperty {
    WindowProperty(Display* d, Window w, Atom property, long length, Atom wanted) {
        read = XGetWindowProperty(d, w, property, 0, length, False, wanted, &type, &format, &count, &after,
                                  &data) == Success;
    }
    ~WindowProperty() {
        if (data != nullptr) XFree(data);
    }
    WindowProperty(const WindowProperty&) = delete;
    WindowProperty& operator=(const WindowProperty&) = delete;

    bool read = false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
};

std::vector<unsigned long> Property32(Display* d, Window w, Atom property, Atom type) {
    const WindowProperty p(d, w, property, 1 << 16, type);
    if (!p.read || p.data == nullptr || p.type != type || p.format != 32) return {};
    const auto* items = reinterpret_cast<const unsigned long*>(p.data);
    return {items, items + p.count};
}

std::optional<std::string> Title(Display* d, Window w) {
    const Atom utf8 = Intern(d, "UTF8_STRING");
    {
        const WindowProperty p(d, w, Intern(d, "_NET_WM_NAME"), 4096, utf8);
        if (p.read && p.data != nullptr && p.type == utf8 && p.format == 8)
            return std::string(reinterpret_cast<char*>(p.data), p.count);
    }

    XTextProperty name{};
    if (XGetWMName(d, w, &name) == 0 || name.value == nullptr) return std::nullopt;
    std::string title(reinterpret_cast<char*>(name.value), name.nitems);
    char** list = nullptr;
    int items = 0;
    if (Xutf8TextPropertyToTextList(d, &name, &list, &items) == Success && items > 0 && list != nullptr) {
        title = list[0];
    }
    if (list != nullptr) XFreeStringList(list);
    XFree(name.value);
    return title;
}

// Every window listed is shown: the manager's clients, or the clients of
// the viewable top-level windows.
std::vector<TitledWindow> Titled(Display* d, const std::vector<Window>& windows) {
    std::vector<TitledWindow> titled;
    for (Window w : windows) {
        if (auto title = Title(d, w)) titled.push_back({static_cast<std::uintptr_t>(w), std::move(*title), true});
    }
    return titled;
}

std::vector<Window> Children(Display* d, Window parent) {
    Window rootReturn = 0;
    Window parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (XQueryTree(d, parent, &rootReturn, &parentReturn, &children, &count) != 0 && children != nullptr) {
        found.assign(children, children + count);
    }
    if (children != nullptr) XFree(children);
    return found;
}

bool HasWmState(Display* d, Window w) {
    const WindowProperty p(d, w, Intern(d, "WM_STATE"), 0, AnyPropertyType);
    return p.read && p.type != None;
}

// The application's window inside a top-level one: the one that the window
// manager marked with WM_STATE, breadth first, which a reparenting manager
// puts a level or two below its frame; the top-level window itself when no
// window below it is marked (no manager at all).
Window ClientOf(Display* d, Window topLevel) {
    if (HasWmState(d, topLevel)) return topLevel;
    std::vector<Window> level = Children(d, topLevel);
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
        std::vector<Window> below;
        for (Window w : level) {
            if (HasWmState(d, w)) return w;
            for (Window child : Children(d, w)) below.push_back(child);
        }
        level = std::move(below);
    }
    return topLevel;
}

// Without a manager's list of clients: the clients of the viewable top-level
// windows, topmost first.
std::vector<Window> TopLevelClients(Display* d, Window root) {
    std::vector<Window> clients;
    const std::vector<Window> topLevels = Children(d, root);
    for (auto w = topLevels.rbegin(); w != topLevels.rend(); ++w) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(d, *w, &attributes) == 0 || attributes.map_state != IsViewable) continue;
        clients.push_back(ClientOf(d, *w));
    }
    return clients;
}

Window SupportingWindow(Display* d, Window w) {
    const auto v = Property32(d, w, Intern(d, "_NET_SUPPORTING_WM_CHECK"), XA_WINDOW);
    return v.empty() ? Window{0} : static_cast<Window>(v[0]);
}

// A window manager that runs now: its check window names itself, which a
// manager that has died leaves no longer true (its root properties stay).
bool ManagerRuns(Display* d, Window root) {
    const Window check = SupportingWindow(d, root);
    return check != 0 && SupportingWindow(d, check) == check;
}

// The manager's list of its clients; none when it keeps no such list.
std::optional<std::vector<Window>> ManagerClients(Display* d, Window root) {
    {
        const WindowProperty listed(d, root, Intern(d, "_NET_CLIENT_LIST"), 0, XA_WINDOW);
        if (!listed.read || listed.type != XA_WINDOW) return std::nullopt;
    }
    std::vector<Window> clients;
    for (unsigned long w : Property32(d, root, Intern(d, "_NET_CLIENT_LIST"), XA_WINDOW)) {
        clients.push_back(static_cast<Window>(w));
    }
    return clients;
}

bool ManagerActivates(Display* d, Window root) {
    const Atom active = Intern(d, "_NET_ACTIVE_WINDOW");
    for (unsigned long atom : Property32(d, root, Intern(d, "_NET_SUPPORTED"), XA_ATOM)) {
        if (atom == active) return true;
    }
    return false;
}

void AskManagerToActivate(Display* d, Window root, Window target) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = Intern(d, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // asked for by the user, not by the application itself
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Whether `target` holds the input focus, itself or through a window of its own.
bool HasFocus(Display* d, Window target) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    for (int depth = 0; focus != 0 && focus != PointerRoot && depth < 8; ++depth) {
        if (focus == target) return true;
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(d, focus, &rootReturn, &parent, &children, &count) == 0) return false;
        if (children != nullptr) XFree(children);
        focus = parent;
    }
    return false;
}

// Keystrokes follow the activation at once, so give the manager a moment to
// carry it out; this is not a wait for our own focus. A manager that lists
// _NET_ACTIVE_WINDOW may still ignore the request (weston's does).
bool AwaitActive(Display* d, Window root, Window target) {
    const Atom active = Intern(d, "_NET_ACTIVE_WINDOW");
    for (int tries = 0; tries < 50; ++tries) {
        XSync(d, False);
        const auto v = Property32(d, root, active, XA_WINDOW);
        if (!v.empty() && static_cast<Window>(v[0]) == target && HasFocus(d, target)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

X11WindowSystem::X11WindowSystem(std::string displayName) : displayName_(std::move(displayName)) {}

bool X11WindowSystem::ActivateByTitle(const std::string& title, bool /*wait*/) {
    Connection connection(displayName_);
    Display* d = connection.get();
    if (d == nullptr) return false;
    const Window root = DefaultRootWindow(d);

    const bool managed = ManagerRuns(d, root);
    // Not every manager keeps the list (weston's does not): then the windows themselves.
    std::optional<std::vector<Window>> listed;
    if (managed) listed = ManagerClients(d, root);
    const std::vector<Window> candidates = listed ? std::move(*listed) : TopLevelClients(d, root);
    const auto picked = PickWindowByTitle(Titled(d, candidates), title);
    connection.Succeeded();  // forget windows that went away while we looked
    if (!picked) return false;
    const auto target = static_cast<Window>(*picked);

    focusedByUs_ = 0;
    if (managed && ManagerActivates(d, root)) {
        AskManagerToActivate(d, root, target);
        if (!connection.Succeeded()) return false;
        if (AwaitActive(d, root, target)) return true;
    }
    // No manager, or one that ignores the request: raise and focus it
    // ourselves. Some managers (weston's) take such a focus back at once, so
    // the keystrokes that follow give it again.
    XRaiseWindow(d, target);
    XSetInputFocus(d, target, RevertToParent, CurrentTime);
    if (!connection.Succeeded()) return false;
    focusedByUs_ = target;
    return true;
}

bool X11WindowSystem::SendKeystrokes(const std::string& keys, bool /*wait*/) {
    const auto presses = ParseSendKeys(keys);
    if (!presses) return false;
    Connection connection(displayName_);
    Display* d = connection.get();
    if (d == nullptr) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) return false;

    // Every key is looked up first, so that a text goes whole or not at all.
    const KeyCode shift = XKeysymToKeycode(d, kKeysymShift);
    const KeyCode control = XKeysymToKeycode(d, kKeysymControl);
    const KeyCode alt = XKeysymToKeycode(d, kKeysymAlt);
    struct Stroke {
        KeyCode code;
        std::vector<KeyCode> held;  // pressed before the key, released after it
    };
    std::vector<Stroke> strokes;
    for (const KeyStroke& press : *presses) {
        const std::uint32_t keysym = KeysymOf(press);
        Stroke stroke{XKeysymToKeycode(d, keysym), {}};
        if (stroke.code == 0) return false;
        // A character on the shifted level of its key needs Shift as well.
        const bool shifted = press.shift || (XkbKeycodeToKeysym(d, stroke.code, 0, 0) != keysym &&
                                             XkbKeycodeToKeysym(d, stroke.code, 0, 1) == keysym);
        for (const auto& [wanted, code] : {std::pair{shifted, shift}, std::pair{press.control, control},
                                           std::pair{press.alt, alt}}) {
            if (!wanted) continue;
            if (code == 0) return false;
            stroke.held.push_back(code);
        }
        strokes.push_back(stroke);
    }
    if (focusedByUs_ != 0 && !HasFocus(d, focusedByUs_)) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(d, focusedByUs_, &attributes) == 0 || attributes.map_state != IsViewable)
            return false;
        // In the same batch as the keys: they are handled before the manager can take the focus back.
        XSetInputFocus(d, focusedByUs_, RevertToParent, CurrentTime);
    }
    for (const Stroke& stroke : strokes) {
        for (KeyCode code : stroke.held) XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, stroke.code, True, CurrentTime);
        XTestFakeKeyEvent(d, stroke.code, False, CurrentTime);
        for (auto code = stroke.held.rbegin(); code != stroke.held.rend(); ++code)
            XTestFakeKeyEvent(d, *code, False, CurrentTime);
    }
    // Queued with the server; whether the window has handled them is not waited for.
    return connection.Succeeded();
}

bool X11WindowSystem::Launch(const std::string& commandLine, int /*windowStyle*/) {
    // The window style has no counterpart here: a program started under Wine
    // opens its normal window and takes the focus as the window manager allows.
    return LaunchDetached(LaunchArguments(commandLine));
}

}  // namespace tapelark
