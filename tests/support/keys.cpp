#include "tests/support/keys.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cctype>

namespace TestSupport {

void TypeKey(int scancode, int ascii) { simulate_keypress((scancode << 8) | (ascii & 0xFF)); }

void TypeText(const char* text) {
    for (; *text; ++text) {
        int c = static_cast<unsigned char>(*text);
        int scancode = 0;
        if (std::isalpha(c))
            scancode = KEY_A + (std::tolower(c) - 'a');
        else if (c == '0')
            scancode = KEY_0;
        else if (std::isdigit(c))
            scancode = KEY_1 + (c - '1');
        else if (c == ' ')
            scancode = KEY_SPACE;
        TypeKey(scancode, c);
    }
}

void ClearKeys() {
    clear_keybuf();
    for (int i = 0; i < KEY_MAX; ++i)
        key[i] = _key[i] = 0;
    key_shifts = _key_shifts = 0;
}

// poll_keyboard() copies the library's internal state into key[] and key_shifts, so both
// copies are set.
HeldKeys::HeldKeys(std::initializer_list<int> scancodes, bool ctrl) {
    for (int code : scancodes)
        key[code] = _key[code] = 1;
    if (ctrl) {
        key_shifts |= KB_CTRL_FLAG;
        _key_shifts |= KB_CTRL_FLAG;
    }
}

HeldKeys::~HeldKeys() { ClearKeys(); }

}  // namespace TestSupport
