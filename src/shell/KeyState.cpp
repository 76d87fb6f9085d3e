#include "shell/KeyState.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibrary>
#include <QPointer>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
bool escapeDown = false;
bool escapePressed = false; // a press not yet asked about

void NotePress(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape) return;
    if (key->type() == QEvent::KeyRelease && key->isAutoRepeat()) return;
    escapeDown = key->type() == QEvent::KeyPress;
    if (escapeDown) escapePressed = true;
}

// While the shield stands, input and timer events do not get through: a
// long operation that must not be re-entered lets the window repaint and
// answer the window system, and nothing else. Keys typed (Escape apart,
// which the operation asks about) and a close request are held back and
// posted again once the shield is down, in their order: they reach their
// widget when the operation is over, or are held back again by the next
// shield. Pointer input is dropped (a click belongs to the window as it was
// when the click was made); a timer that is held back fires again later.
class InputShield : public QObject {
public:
    InputShield() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputShield() override {
        QCoreApplication::instance()->removeEventFilter(this);
        for (Held& h : held_)
            if (h.receiver) QCoreApplication::postEvent(h.receiver, h.event.release());
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        NotePress(event);
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Close:
            if (!IsEscape(event) && held_.size() < kHeldLimit)
                held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
            return true;
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Timer:
            return true;
        default:
            return false;
        }
    }

private:
    static bool IsEscape(const QEvent* event) {
        return event->type() != QEvent::Close &&
               static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    // Held events go round at every shield until none stands; a key held
    // down for minutes repeats, and no more than this many are kept.
    static constexpr size_t kHeldLimit = 256;
    std::vector<Held> held_;
};

// The few XCB calls needed, looked up in the library Qt's X11 platform has
// loaded already; declared here after the X protocol's own layouts.
struct XcbCookie {
    unsigned int sequence;
};
struct XcbSetup {
    uint8_t status, pad0;
    uint16_t protocolMajor, protocolMinor, length;
    uint32_t release, resourceIdBase, resourceIdMask, motionBufferSize;
    uint16_t vendorLength, maximumRequestLength;
    uint8_t rootsLength, pixmapFormatsLength, imageByteOrder, bitmapBitOrder, bitmapScanlineUnit,
        bitmapScanlinePad, minKeycode, maxKeycode;
    uint8_t pad1[4];
};
struct XcbKeyboardMappingReply {
    uint8_t responseType, keysymsPerKeycode;
    uint16_t sequence;
    uint32_t length;
    uint8_t pad0[24];
    // followed by the key symbols, 32 bits each
};
struct XcbQueryKeymapReply {
    uint8_t responseType, pad0;
    uint16_t sequence;
    uint32_t length;
    uint8_t keys[32];
};
static_assert(sizeof(XcbSetup) == 40 && sizeof(XcbKeyboardMappingReply) == 32 &&
              sizeof(XcbQueryKeymapReply) == 40);

struct Xcb {
    using GetSetup = const XcbSetup* (*)(void*);
    using GetKeyboardMapping = XcbCookie (*)(void*, uint8_t, uint8_t);
    using GetKeyboardMappingReply = XcbKeyboardMappingReply* (*)(void*, XcbCookie, void**);
    using QueryKeymap = XcbCookie (*)(void*);
    using QueryKeymapReply = XcbQueryKeymapReply* (*)(void*, XcbCookie, void**);

    void* connection = nullptr;
    GetSetup getSetup = nullptr;
    GetKeyboardMapping getKeyboardMapping = nullptr;
    GetKeyboardMappingReply getKeyboardMappingReply = nullptr;
    QueryKeymap queryKeymap = nullptr;
    QueryKeymapReply queryKeymapReply = nullptr;
    int escapeKeycode = -1;

    // The key code that carries the Escape key symbol.
    int FindEscape() {
        constexpr uint32_t kEscapeSym = 0xff1b;
        const XcbSetup* setup = getSetup(connection);
        if (!setup || setup->maxKeycode < setup->minKeycode) return -1;
        const uint8_t first = setup->minKeycode;
        const uint8_t count = uint8_t(setup->maxKeycode - first + 1);
        XcbKeyboardMappingReply* reply = getKeyboardMappingReply(
            connection, getKeyboardMapping(connection, first, count), nullptr);
        if (!reply) return -1;
        int found = -1;
        const auto* syms = reinterpret_cast<const uint32_t*>(reply + 1);
        const int per = reply->keysymsPerKeycode;
        for (int k = 0; k < count && found < 0; ++k)
            for (int s = 0; s < per; ++s)
                if (syms[k * per + s] == kEscapeSym) {
                    found = first + k;
                    break;
                }
        std::free(reply);
        return found;
    }

    static Xcb* Get() {
        static Xcb* xcb = []() -> Xcb* {
            auto* app =
                qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            if (!app || !app->connection()) return nullptr;
            static Xcb x;
            x.connection = app->connection();
            QLibrary lib(QStringLiteral("xcb"), 1);
            x.getSetup = reinterpret_cast<GetSetup>(lib.resolve("xcb_get_setup"));
            x.getKeyboardMapping =
                reinterpret_cast<GetKeyboardMapping>(lib.resolve("xcb_get_keyboard_mapping"));
            x.getKeyboardMappingReply = reinterpret_cast<GetKeyboardMappingReply>(
                lib.resolve("xcb_get_keyboard_mapping_reply"));
            x.queryKeymap = reinterpret_cast<QueryKeymap>(lib.resolve("xcb_query_keymap"));
            x.queryKeymapReply =
                reinterpret_cast<QueryKeymapReply>(lib.resolve("xcb_query_keymap_reply"));
            if (!x.getSetup || !x.getKeyboardMapping || !x.getKeyboardMappingReply ||
                !x.queryKeymap || !x.queryKeymapReply)
                return nullptr;
            x.escapeKeycode = x.FindEscape();
            return x.escapeKeycode < 0 ? nullptr : &x;
        }();
        return xcb;
    }
};
} // namespace

void KeyState::Track(const QEvent* event) {
    NotePress(event);
}

bool KeyState::EscapeDown() {
    return escapeDown;
}

std::optional<bool> KeyState::AskX11EscapeDown() {
    Xcb* xcb = Xcb::Get();
    if (!xcb) return std::nullopt;
    XcbQueryKeymapReply* reply =
        xcb->queryKeymapReply(xcb->connection, xcb->queryKeymap(xcb->connection), nullptr);
    if (!reply) return std::nullopt;
    const int k = xcb->escapeKeycode;
    const bool down = (reply->keys[k / 8] >> (k % 8)) & 1;
    std::free(reply);
    return down;
}

void KeyState::RunWindowEvents() {
    if (!QCoreApplication::instance()) return;
    InputShield shield;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool KeyState::AskEscapeDown() {
    if (const std::optional<bool> x11 = AskX11EscapeDown()) return *x11;
    RunWindowEvents();
    const bool pressed = escapePressed || escapeDown;
    escapePressed = false;
    return pressed;
}
