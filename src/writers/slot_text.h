// A short text built from characters picked by position out of time and date
// slots (SlotChar): a terminator ends the text, as a formatted text would.
#pragma once

#include <cstddef>
#include <string_view>

namespace geoplait {

struct SlotText {
    char text[32];
    size_t length = 0;
    bool ended = false;

    void Add(char c) {
        if (ended) return;
        if (c == '\0') {
            ended = true;
            return;
        }
        if (length + 1 < sizeof text) text[length++] = c;
    }
    void Add(const char* literal) {
        for (; *literal != '\0'; ++literal) Add(*literal);
    }
    std::string_view View() const { return {text, length}; }
};

}  // namespace geoplait
