// Delimited text files.
#include "core/Delimited.h"

#include <iterator>

namespace {

constexpr char16_t kQuote = u'"';

char16_t LowerAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

}  // namespace

void AppendDelimitedCell(Text& out, TextView cell, char16_t delimiter) {
    const char16_t special[] = {delimiter, kQuote, u'\r', u'\n'};
    if (cell.find_first_of(TextView(special, std::size(special))) == TextView::npos) {
        out += cell;
        return;
    }
    out += kQuote;
    for (const char16_t unit : cell) {
        if (unit == kQuote) {
            out += kQuote;
        }
        out += unit;
    }
    out += kQuote;
}

template <typename Unit>
void AppendTabSeparatedCell(std::basic_string<Unit>& out, std::basic_string_view<Unit> cell) {
    for (const Unit unit : cell) {
        Unit escape = 0;
        switch (unit) {
            case Unit('\t'):
                escape = Unit('t');
                break;
            case Unit('\r'):
                escape = Unit('r');
                break;
            case Unit('\n'):
                escape = Unit('n');
                break;
            case Unit('\\'):
                escape = Unit('\\');
                break;
            default:
                out += unit;
                continue;
        }
        out += Unit('\\');
        out += escape;
    }
}

template void AppendTabSeparatedCell(std::string& out, std::string_view cell);
template void AppendTabSeparatedCell(Text& out, TextView cell);

bool HasCsvExtension(TextView path) {
    if (path.size() < kCsvExtension.size()) {
        return false;
    }
    const TextView extension = path.substr(path.size() - kCsvExtension.size());
    for (std::size_t unit = 0; unit < extension.size(); ++unit) {
        if (LowerAscii(extension[unit]) != kCsvExtension[unit]) {
            return false;
        }
    }
    return true;
}
