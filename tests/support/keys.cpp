#include "tests/support/keys.h"

#include <allegro.h>

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
        key[i] = 0;
    key_shifts = 0;
}

HeldKeys::HeldKeys(std::initializer_list<int> scancodes, bool ctrl) {
    for (int code : scancodes)
        key[code] = 1;
    if (ctrl)
        key_shifts |= KB_CTRL_FLAG;
}

HeldKeys::~HeldKeys() { ClearKeys(); }

}  // namespace TestSupport
