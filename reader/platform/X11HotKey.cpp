// The hot key on X11: a passive grab of the key on the root window, through
// a connection of our own to the X server, so that the grab does not depend
// on the toolkit's. The grab is repeated with CapsLock and NumLock, so that
// neither lock stops the key.
#include <xcb/xcb.h>

#include <X11/keysym.h>
#include <QSocketNotifier>
#include <cstdlib>
#include <vector>

#include "GlobalHotKey.h"

namespace {

class X11HotKey final : public GlobalHotKey {
public:
    explicit X11HotKey(QObject* parent) : GlobalHotKey(parent) {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        numLock_ = ModifierOf(XK_Num_Lock);
        auto* events = new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
        connect(events, &QSocketNotifier::activated, this, &X11HotKey::TakeEvents);
    }
    ~X11HotKey() override {
        Unregister();
        xcb_disconnect(connection_);
    }

    bool Register(int modifiers, int virtualKey) override {
        Unregister();
        if (!Connected() || virtualKey < kF1 || virtualKey > kF12) return false;
        keycode_ = KeycodeOf(XK_F1 + (virtualKey - kF1));
        if (keycode_ == 0) return false;
        modifiers_ = XModifiers(modifiers);
        bool grabbed = true;
        for (uint16_t locks : LockCombinations()) {
            xcb_void_cookie_t cookie =
                xcb_grab_key_checked(connection_, 1, root_, modifiers_ | locks, keycode_, XCB_GRAB_MODE_ASYNC,
                                     XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                free(error);
                grabbed = false;
            }
        }
        if (!grabbed) Unregister();
        TakeEvents();  // waiting for the replies may have queued events
        return grabbed;
    }

    void Unregister() override {
        if (!Connected() || keycode_ == 0) return;
        for (uint16_t locks : LockCombinations())
            xcb_ungrab_key(connection_, keycode_, root_, modifiers_ | locks);
        xcb_flush(connection_);
        keycode_ = 0;
    }

private:
    bool Connected() const { return connection_ && !xcb_connection_has_error(connection_); }

    static uint16_t XModifiers(int modifiers) {
        uint16_t mask = 0;
        if (modifiers & kShift) mask |= XCB_MOD_MASK_SHIFT;
        if (modifiers & kCtrl) mask |= XCB_MOD_MASK_CONTROL;
        if (modifiers & kAlt) mask |= XCB_MOD_MASK_1;
        return mask;
    }

    std::vector<uint16_t> LockCombinations() const {
        return {0, XCB_MOD_MASK_LOCK, numLock_, static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLock_)};
    }

    // The first keycode whose symbols include the keysym; 0 if none.
    xcb_keycode_t KeycodeOf(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        if (!mapping) return 0;
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping);
        const int perKey = mapping->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int k = 0; k < count * perKey && found == 0; ++k)
            if (symbols[k] == keysym) found = static_cast<xcb_keycode_t>(setup->min_keycode + k / perKey);
        free(mapping);
        return found;
    }

    // The modifier bit that carries the key with that keysym (NumLock is
    // usually Mod2, but the keyboard map decides); 0 if none.
    uint16_t ModifierOf(xcb_keysym_t keysym) {
        const xcb_keycode_t keycode = KeycodeOf(keysym);
        xcb_get_modifier_mapping_reply_t* mapping =
            xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr);
        if (!mapping || keycode == 0) {
            free(mapping);
            return 0;
        }
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping);
        const int perModifier = mapping->keycodes_per_modifier;
        uint16_t bit = 0;
        for (int k = 0; k < 8 * perModifier && bit == 0; ++k)
            if (keycodes[k] == keycode) bit = static_cast<uint16_t>(1u << (k / perModifier));
        free(mapping);
        return bit;
    }

    void TakeEvents() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7F) == XCB_KEY_PRESS) {
                auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
                const uint16_t held = press->state & ~(XCB_MOD_MASK_LOCK | numLock_);
                if (keycode_ != 0 && press->detail == keycode_ && held == modifiers_) emit pressed();
            }
            free(event);
        }
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    uint16_t numLock_ = 0;
    xcb_keycode_t keycode_ = 0;
    uint16_t modifiers_ = 0;
};

}  // namespace

std::unique_ptr<GlobalHotKey> DesktopHotKey(QObject* parent) { return std::make_unique<X11HotKey>(parent); }
