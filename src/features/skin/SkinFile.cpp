// The skin file's format.
#include "skin/SkinFile.h"

#include <charconv>
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
    double points = 0;
    const auto result = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), points);
    if (result.ec != std::errc{} || result.ptr != parts[1].data() + parts[1].size() || points < 4 ||
        points > 72) {
        return std::nullopt;
    }
    if (parts.size() == 3 && Lower(parts[2]) != "bold") {
        return std::nullopt;
    }
    return SkinFont{Utf8ToText(parts[0]), static_cast<int>(points * 100 + 0.5), parts.size() == 3};
}

}  // namespace

SkinDefinition ParseSkin(std::string_view text, const Text& fileName) {
    SkinDefinition skin;
    const auto colour = [](Colour& field) {
        return [&field](std::string_view value) {
            const auto parsed = ParseColour(value);
            if (parsed) {
                field = *parsed;
            }
            return parsed.has_value();
        };
    };
    const std::map<std::string, std::function<bool(std::string_view)>> keys{
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
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::string section;
    int lineNumber = 0;
    const auto fail = [&](const Text& what) {
        throw Failure(u"The skin file " + fileName + u" cannot be used: line " +
                      DecimalText(lineNumber) + u": " + what);
    };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                fail(u"a section name must end with \"]\".");
            }
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            if (section != "window" && section != "button" && section != "list") {
                fail(u"there is no section \"" + Utf8ToText(line) +
                     u"\"; the sections are [Window], [Button] and [List].");
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            fail(u"expected \"name = value\" or a [section].");
        }
        if (section.empty()) {
            fail(u"a setting must follow a [section].");
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        const auto key = keys.find(section + "." + Lower(name));
        if (key == keys.end()) {
            fail(u"there is no setting \"" + Utf8ToText(name) + u"\" in this section.");
        }
        if (!key->second(value)) {
            fail(u"\"" + Utf8ToText(value) + u"\" is not a valid value for " + Utf8ToText(name) +
                 u" (colours are written #RRGGBB, fonts \"Face, size[, bold]\").");
        }
    }
    return skin;
}
