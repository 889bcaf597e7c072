#include "Window/ScreenReaderKeys.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <glib.h>

#include <array>
#include <utility>

namespace {

// The keys that type nothing, by SDL's name and X's.
constexpr std::array<std::pair<SDL_Keycode, KeySym>, 48> namedKeys{{
    {SDLK_RETURN, XK_Return},
    {SDLK_ESCAPE, XK_Escape},
    {SDLK_BACKSPACE, XK_BackSpace},
    {SDLK_TAB, XK_Tab},
    {SDLK_DELETE, XK_Delete},
    {SDLK_INSERT, XK_Insert},
    {SDLK_HOME, XK_Home},
    {SDLK_END, XK_End},
    {SDLK_PAGEUP, XK_Prior},
    {SDLK_PAGEDOWN, XK_Next},
    {SDLK_LEFT, XK_Left},
    {SDLK_RIGHT, XK_Right},
    {SDLK_UP, XK_Up},
    {SDLK_DOWN, XK_Down},
    {SDLK_F1, XK_F1},
    {SDLK_F2, XK_F2},
    {SDLK_F3, XK_F3},
    {SDLK_F4, XK_F4},
    {SDLK_F5, XK_F5},
    {SDLK_F6, XK_F6},
    {SDLK_F7, XK_F7},
    {SDLK_F8, XK_F8},
    {SDLK_F9, XK_F9},
    {SDLK_F10, XK_F10},
    {SDLK_F11, XK_F11},
    {SDLK_F12, XK_F12},
    {SDLK_LSHIFT, XK_Shift_L},
    {SDLK_RSHIFT, XK_Shift_R},
    {SDLK_LCTRL, XK_Control_L},
    {SDLK_RCTRL, XK_Control_R},
    {SDLK_LALT, XK_Alt_L},
    {SDLK_RALT, XK_Alt_R},
    {SDLK_LGUI, XK_Super_L},
    {SDLK_RGUI, XK_Super_R},
    {SDLK_CAPSLOCK, XK_Caps_Lock},
    {SDLK_NUMLOCKCLEAR, XK_Num_Lock},
    {SDLK_MENU, XK_Menu},
    {SDLK_APPLICATION, XK_Menu},
    {SDLK_KP_ENTER, XK_KP_Enter},
    {SDLK_KP_PLUS, XK_KP_Add},
    {SDLK_KP_MINUS, XK_KP_Subtract},
    {SDLK_KP_MULTIPLY, XK_KP_Multiply},
    {SDLK_KP_DIVIDE, XK_KP_Divide},
    {SDLK_PRINTSCREEN, XK_Print},
    {SDLK_SCROLLLOCK, XK_Scroll_Lock},
    {SDLK_PAUSE, XK_Pause},
    {SDLK_KP_PERIOD, XK_KP_Decimal},
    {SDLK_KP_EQUALS, XK_KP_Equal},
}};

// The numeric keypad's digits without Num Lock are the keys printed under them: a screen
// reader's own key (KP_Insert) among them.
constexpr std::array<KeySym, 10> keypadWithoutNumLock{
    XK_KP_Insert, XK_KP_End,   XK_KP_Down, XK_KP_Next, XK_KP_Left,
    XK_KP_Begin,  XK_KP_Right, XK_KP_Home, XK_KP_Up,   XK_KP_Prior};

KeySym keySymbol(SDL_Keycode key, Uint16 modifiers) {
    const bool numLock = (modifiers & KMOD_NUM) != 0;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return numLock ? XK_KP_1 + (key - SDLK_KP_1) : keypadWithoutNumLock[key - SDLK_KP_1 + 1];
    if (key == SDLK_KP_0)
        return numLock ? XK_KP_0 : XK_KP_Insert;
    if (key == SDLK_KP_PERIOD && !numLock)
        return XK_KP_Delete;
    if (key == SDLK_TAB && (modifiers & KMOD_SHIFT))
        return XK_ISO_Left_Tab;
    for (const auto& [sdl, x] : namedKeys)
        if (sdl == key)
            return x;
    // What types: Latin-1 keys are their own symbols, shifted letters capitals.
    if (key >= 0x20 && key < 0x100) {
        if ((modifiers & (KMOD_SHIFT | KMOD_CAPS)) && key >= 'a' && key <= 'z')
            return static_cast<KeySym>(key - 'a' + 'A');
        return static_cast<KeySym>(key);
    }
    // Beyond Latin-1, X names a character by its code point.
    if (key > 0x100 && !(key & SDLK_SCANCODE_MASK))
        return static_cast<KeySym>(0x01000000 | key);
    return NoSymbol;
}

unsigned modifierBits(Uint16 modifiers) {
    unsigned bits = 0;
    if (modifiers & KMOD_SHIFT)
        bits |= ShiftMask;
    if (modifiers & KMOD_CAPS)
        bits |= LockMask;
    if (modifiers & KMOD_CTRL)
        bits |= ControlMask;
    if (modifiers & KMOD_ALT)
        bits |= Mod1Mask;
    if (modifiers & KMOD_NUM)
        bits |= Mod2Mask;
    if (modifiers & KMOD_GUI)
        bits |= Mod4Mask;
    return bits;
}

// The key's code on this display: X's, where the window is on X.
unsigned hardwareCode(SDL_Window* window, KeySym symbol) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (symbol == NoSymbol || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return 0;
    return XKeysymToKeycode(info.info.x11.display, symbol);
}

} // namespace

AtSpiKey screenReaderKey(const SDL_KeyboardEvent& event, SDL_Window* window) {
    AtSpiKey key;
    key.pressed = event.type == SDL_KEYDOWN;
    const KeySym symbol = keySymbol(event.keysym.sym, event.keysym.mod);
    key.keysym = static_cast<unsigned>(symbol);
    key.keycode = hardwareCode(window, symbol);
    key.modifiers = modifierBits(event.keysym.mod);
    key.time = event.timestamp;
    // What the key types, or else X's name for it (Tab, KP_Insert).
    const gunichar typed = symbol >= 0x20 && symbol < 0x100 ? static_cast<gunichar>(symbol)
                           : (symbol & 0xff000000) == 0x01000000
                               ? static_cast<gunichar>(symbol & 0x00ffffff)
                               : 0;
    if (typed) {
        char text[8] = {};
        key.text.assign(text, static_cast<std::size_t>(g_unichar_to_utf8(typed, text)));
    } else if (const char* name = symbol == NoSymbol ? nullptr : XKeysymToString(symbol)) {
        key.text = name;
    }
    return key;
}
