#pragma once
// Lets GoogleTest show a Text in failure messages.
#include <ostream>

#include "paths/text.h"

inline void PrintTo(const Text& text, std::ostream* out) {
    *out << '"' << text.c_str() << '"';
}
