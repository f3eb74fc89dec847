// Case folding of the letters A to Z alone, as class names and file extensions compare.
#pragma once

#include "core/Text.h"

// The text with the letters A to Z made small; every other unit as it is.
[[nodiscard]] inline Text LowerAscii(TextView text) {
    Text lower(text);
    for (char16_t& unit : lower) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
    }
    return lower;
}
