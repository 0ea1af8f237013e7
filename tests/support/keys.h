#ifndef HALTWICK_TESTS_SUPPORT_KEYS_H
#define HALTWICK_TESTS_SUPPORT_KEYS_H

#include <initializer_list>

namespace TestSupport {

// Puts a key into the library's keyboard buffer as readkey() will return it.
void TypeKey(int scancode, int ascii = 0);
// Types each character of text (letters, digits, blanks) with its scancode.
void TypeText(const char* text);
// Empties the keyboard buffer and releases every key in the key-state table.
void ClearKeys();

// Holds keys down in the key-state table (and Ctrl in the modifier flags) for its lifetime.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> scancodes, bool ctrl = false);
    ~HeldKeys();
};

}  // namespace TestSupport

#endif
