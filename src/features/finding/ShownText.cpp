// Window texts as the screen shows them.
#include "finding/ShownText.h"

#include <array>

#include "finding/ControlPath.h"

namespace {

// The classes whose windows draw their texts with mnemonics; "#32768" is a menu's window.
constexpr std::array<TextView, 5> kMnemonicClasses{u"Button", u"Static", u"SysTabControl32",
                                                   u"SysHeader32", u"#32768"};

}  // namespace

bool DrawsMnemonics(TextView className, std::uint32_t style) {
    for (const TextView mnemonicClass : kMnemonicClasses) {
        if (SameClassName(className, mnemonicClass)) {
            return !SameClassName(className, u"Static") || (style & kStaticNoPrefix) == 0;
        }
    }
    return false;
}

Text ShownText(TextView text) {
    Text shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'&' && at + 1 < text.size()) {
            ++at;  // the "&" marks the next unit, or is the first of "&&"
        }
        shown += text[at];
    }
    return shown;
}

std::optional<Text> ShownTextOf(TextView className, std::uint32_t style, TextView text) {
    if (text.find(u'&') == TextView::npos || !DrawsMnemonics(className, style)) {
        return std::nullopt;
    }
    Text shown = ShownText(text);
    if (shown == text) {
        return std::nullopt;
    }
    return shown;
}
