#include "render/styles.h"

#include <cstring>
#include <gtest/gtest.h>

namespace pelmora {
namespace {

ExtensionStyle style(const char* extension, COLORREF color) {
    ExtensionStyle s;
    std::strcpy(s.extension, extension);
    s.color = color;
    return s;
}

TEST(FindExtensionStyle, MatchesTheLastDotsExtensionAndTheLastStyle) {
    VAROINFO label;
    label.extStyles = {style("TXT", 1), style("ZIP", 2), style("txt", 3), style("ME", 4),
                       style("", 5)};
    struct Case {
        const char* name;
        int expected;
    };
    const Case cases[] = {
        {"READ.ME.TXT", 2}, // the later of TXT and txt
        {"notes.Txt", 2},   // case does not matter
        {"ARCHIVE.ZIP", 1}, {"archive.zip", 1},
        {"READ.ME", 3},     {"MAKEFILE", 255}, // no dot: no style
        {"FILE.DOC", 255},                     // no style for the extension
        {"FILE.TX", 255},                      // prefixes do not match
        {"FILE.TXTX", 255}, {"TRAILING.", 4},  // an empty extension meets the empty style
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindExtensionStyle(label, c.name), c.expected) << c.name;
    }
}

TEST(FindExtensionStyle, NoStylesNoMatch) {
    VAROINFO label;
    EXPECT_EQ(FindExtensionStyle(label, "READ.ME.TXT"), kNoExtensionStyle);
    EXPECT_EQ(FindExtensionStyle(label, "."), kNoExtensionStyle);
}

} // namespace
} // namespace pelmora
