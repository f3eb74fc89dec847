// The skin file's format.
#include "skin/SkinFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "core/Failure.h"

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower;
}

// Strict UTF-8: no stray or missing continuation bytes, no overlong forms, no surrogates, nothing
// beyond U+10FFFF, so that no byte sequence can stand for a character it does not spell.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t least = 0;  // the smallest code point of the form, against overlong ones
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1;
            least = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            least = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3;
            least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= extra) {
            return false;
        }
        char32_t codePoint = lead & (0x3F >> extra);
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        const bool surrogate = codePoint >= 0xD800 && codePoint < 0xE000;
        if (codePoint < least || surrogate || codePoint > 0x10FFFF) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

constexpr char16_t kDelete = 0x7F;

bool IsControl(char16_t unit) {
    return unit < 0x20 || unit == kDelete;
}

// Text from the file for a message, its control characters shown as the Unicode pictures of
// them (U+2400 onwards), so that none cuts or garbles the message.
Text Visible(std::string_view utf8) {
    constexpr char16_t kControlPictures = 0x2400;
    constexpr char16_t kDeletePicture = 0x2421;
    Text text = Utf8ToText(utf8);
    std::transform(text.begin(), text.end(), text.begin(), [](char16_t unit) {
        if (!IsControl(unit)) {
            return unit;
        }
        return unit == kDelete ? kDeletePicture : static_cast<char16_t>(kControlPictures + unit);
    });
    return text;
}

// "#RRGGBB" as a COLORREF.
std::optional<Colour> ParseColour(std::string_view value) {
    if (value.size() != 7 || value[0] != '#') {
        return std::nullopt;
    }
    unsigned rgb = 0;
    const auto result = std::from_chars(value.data() + 1, value.data() + 7, rgb, 16);
    if (result.ec != std::errc{} || result.ptr != value.data() + 7) {
        return std::nullopt;
    }
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// "Face name, size in points[, bold]".
std::optional<SkinFont> ParseFont(std::string_view value) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= value.size();) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        parts.push_back(Trim(value.substr(start, comma - start)));
        start = comma + 1;
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[0].empty()) {
        return std::nullopt;
    }
    Text face = Utf8ToText(parts[0]);
    if (std::any_of(face.begin(), face.end(), IsControl)) {
        return std::nullopt;
    }
    double points = 0;
    const auto result = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), points);
    // Not a number and infinity pass no comparison: they are turned away first.
    if (result.ec != std::errc{} || result.ptr != parts[1].data() + parts[1].size() ||
        !std::isfinite(points) || points < 4 || points > 72) {
        return std::nullopt;
    }
    if (parts.size() == 3 && Lower(parts[2]) != "bold") {
        return std::nullopt;
    }
    return SkinFont{std::move(face), static_cast<int>(points * 100 + 0.5), parts.size() == 3};
}

// The settings a skin file may hold, by "section.name" in lower case: each takes its value's text
// into the skin and answers whether it was a valid value.
using SkinSettings = std::map<std::string, std::function<bool(std::string_view)>>;

SkinSettings SettingsOf(SkinDefinition& skin) {
    const auto colour = [](Colour& field) {
        return [&field](std::string_view value) {
            const auto parsed = ParseColour(value);
            if (parsed) {
                field = *parsed;
            }
            return parsed.has_value();
        };
    };
    return {
        {"window.background", colour(skin.windowBackground)},
        {"button.face", colour(skin.normal.face)},
        {"button.text", colour(skin.normal.text)},
        {"button.border", colour(skin.normal.border)},
        {"button.hotface", colour(skin.hot.face)},
        {"button.hottext", colour(skin.hot.text)},
        {"button.hotborder", colour(skin.hot.border)},
        {"button.pressedface", colour(skin.pressed.face)},
        {"button.pressedtext", colour(skin.pressed.text)},
        {"button.pressedborder", colour(skin.pressed.border)},
        {"button.focusborder", colour(skin.focusBorder)},
        {"button.font",
         [&skin](std::string_view value) {
             skin.buttonFont = ParseFont(value);
             return skin.buttonFont.has_value();
         }},
        {"list.background", colour(skin.listBackground)},
        {"list.text", colour(skin.listText)},
    };
}

// A skin file's lines taken one after the other into a skin, each numbered for the message about
// the first one that is wrong.
class SkinLines {
public:
    SkinLines(SkinDefinition& skin, const Text& fileName)
        : m_settings(SettingsOf(skin)), m_fileName(fileName) {}

    // Takes the file's next line, trimmed: nothing, a comment, a [section] or a setting in it.
    void Take(std::string_view line) {
        ++m_lineNumber;
        if (line.empty() || line[0] == ';') {
            return;
        }
        if (!IsUtf8(line)) {
            Fail(u"the line is not UTF-8 text; save the skin file as UTF-8.");
        }
        if (line.front() == '[') {
            TakeSection(line);
        } else {
            TakeSetting(line);
        }
    }

private:
    [[noreturn]] void Fail(const Text& what) const {
        throw Failure(u"The skin file " + m_fileName + u" cannot be used: line " +
                      DecimalText(m_lineNumber) + u": " + what);
    }

    void TakeSection(std::string_view line) {
        if (line.back() != ']') {
            Fail(u"a section name must end with \"]\".");
        }
        m_section = Lower(Trim(line.substr(1, line.size() - 2)));
        if (m_section != "window" && m_section != "button" && m_section != "list") {
            Fail(u"there is no section \"" + Visible(line) +
                 u"\"; the sections are [Window], [Button] and [List].");
        }
    }

    void TakeSetting(std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Fail(u"expected \"name = value\" or a [section].");
        }
        if (m_section.empty()) {
            Fail(u"a setting must follow a [section].");
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        const auto setting = m_settings.find(m_section + "." + Lower(name));
        if (setting == m_settings.end()) {
            Fail(u"there is no setting \"" + Visible(name) + u"\" in this section.");
        }
        if (!setting->second(value)) {
            Fail(u"\"" + Visible(value) + u"\" is not a valid value for " + Visible(name) +
                 u" (colours are written #RRGGBB, fonts \"Face, size[, bold]\").");
        }
    }

    const SkinSettings m_settings;
    const Text& m_fileName;
    std::string m_section;
    int m_lineNumber = 0;
};

}  // namespace

SkinDefinition ParseSkin(std::string_view text, const Text& fileName) {
    SkinDefinition skin;
    SkinLines lines(skin, fileName);
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.Take(Trim(text.substr(start, end - start)));
        start = end + 1;
    }
    return skin;
}
