// Texts that name a resource: which texts do, what kind of window shows them, and what is shown.
#include <gtest/gtest.h>

#include <vector>

#include "extraction/ResourceText.h"

namespace {

struct ResourceCase {
    Text className;
    std::uint32_t style = 0;
    Text text;
    std::optional<std::uint16_t> ordinal;
    Text shown;  // the caption, for a text that names a resource
};

// SS_CENTERIMAGE and the window styles beside an icon's or bitmap's type bits.
constexpr std::uint32_t kMoreStyles = 0x50000000 | 0x200;

const std::vector<ResourceCase> kCases{
    {u"Static", kStaticIcon, Text{u'\xFFFF', u'\x0002'}, 2, u"(icon 2)"},
    {u"STATIC", kStaticIcon | kMoreStyles, Text{u'\xFFFF', u'\x0065'}, 101, u"(icon 101)"},
    {u"Static", kStaticBitmap, Text{u'\xFFFF', u'\x0007'}, 7, u"(bitmap 7)"},
    {u"Static", kStaticBitmap | kMoreStyles, Text{u'\xFFFF', u'\xFFFF'}, 65535, u"(bitmap 65535)"},
    {u"Afx:Static:400000", kStaticIcon, Text{u'\xFFFF', u'\x0003'}, 3, u"(icon 3)"},
    // A plain static, a static of another type and a button with such a text.
    {u"Static", 0, Text{u'\xFFFF', u'\x0002'}, 2, u"(resource 2)"},
    {u"Static", 0xF, Text{u'\xFFFF', u'\x0004'}, 4, u"(resource 4)"},
    {u"Button", kStaticIcon, Text{u'\xFFFF', u'\x0002'}, 2, u"(resource 2)"},
    // Not that shape: kept as they are.
    {u"Static", kStaticIcon, Text{u'\xFFFF'}, std::nullopt, {}},
    {u"Static", kStaticIcon, Text{u'\xFFFF', u'\0'}, std::nullopt, {}},
    {u"Static", kStaticIcon, Text{u'\xFFFF', u'\x0002', u'x'}, std::nullopt, {}},
    {u"Static", kStaticIcon, Text{u'\xFFFE', u'\x0002'}, std::nullopt, {}},
    {u"Static", kStaticIcon, u"#2", std::nullopt, {}},
    {u"Static", kStaticIcon, u"", std::nullopt, {}},
    {u"Static", 0, u"(icon 2)", std::nullopt, {}},
};

}  // namespace

TEST(ResourceTextTest, OnlyTheMarkAndANonzeroOrdinalNameAResourceShownByItsWindowsKind) {
    for (const ResourceCase& test : kCases) {
        SCOPED_TRACE(TextToUtf8(test.className) + " " + std::to_string(test.style) + " " +
                     std::to_string(test.text.size()) + " units");
        const std::optional<std::uint16_t> ordinal = ResourceOrdinalOf(test.text);
        EXPECT_EQ(ordinal, test.ordinal);
        if (ordinal) {
            EXPECT_EQ(ResourceCaption(ResourceKindOf(test.className, test.style), *ordinal),
                      test.shown);
        }
    }
}
