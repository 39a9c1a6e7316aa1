#include "library/Shortcut.h"

#include <gtest/gtest.h>

#include "library/MediaFiles.h"

namespace orx {
namespace {

ShortcutTarget Parse(const std::vector<uint8_t>& bytes, bool& ok) {
    ShortcutTarget target;
    target.path = "untouched";
    ok = ParseShortcut(bytes.data(), bytes.size(), target);
    return target;
}

TEST(ShortcutTest, TargetIsTheRecordedLocalPathOrTheShareFirst) {
    struct Case {
        test::LinkSpec spec;
        std::string path;
        uint32_t attributes;
    };
    const Case cases[] = {
        {{.localBase = "C:\\Videos\\", .suffix = "Sport\\goal_5.mpg"},
         "C:\\Videos\\Sport\\goal_5.mpg",
         0x20},
        {{.localBase = "/srv/clips", .attributes = 0x10, .idList = false}, "/srv/clips", 0x10},
        // Local and network information both recorded: the share comes first.
        {{.localBase = "Z:\\Clips\\a_1.mpg",
          .suffix = "Clips\\a_1.mpg",
          .netName = "\\\\srv\\media"},
         "\\\\srv\\media\\Clips\\a_1.mpg",
         0x20},
        {{.suffix = "", .netName = "\\\\srv\\media\\", .attributes = 0x11},
         "\\\\srv\\media\\",
         0x11},
    };
    for (const Case& c : cases) {
        bool ok = false;
        const ShortcutTarget target = Parse(test::ShellLink(c.spec), ok);
        EXPECT_TRUE(ok) << c.path;
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.attributes, c.attributes) << c.path;
    }
}

TEST(ShortcutTest, DamagedOrUnusableLinksFailWithoutTouchingTheResult) {
    const std::vector<uint8_t> good = test::ShellLink({.localBase = "C:\\v\\clip_3.mpg"});
    std::vector<std::vector<uint8_t>> bad;
    // Every cut of a valid link is refused (the last string loses its terminator, or an offset
    // points past the end).
    for (size_t size = 0; size + 4 < good.size(); ++size)
        bad.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        test::PutLe32(bytes, at, value);
        return bytes;
    };
    const size_t info = 0x4C + 2 + 22;              // after the item-ID list
    bad.push_back(patched(0, 0x4D));                // header size
    bad.push_back(patched(12, 0));                  // class id
    bad.push_back(patched(0x14, 0x1));              // no link information
    bad.push_back(patched(0x14, 0x103));            // link information switched off
    bad.push_back(patched(0x4C, 0xFFFF));           // item-ID list beyond the file
    bad.push_back(patched(info, 0xFFFFFFF0));       // link-info size beyond the file
    bad.push_back(patched(info, 4));                // link-info size below its header
    bad.push_back(patched(info + 4, 0x1000));       // header size beyond the block
    bad.push_back(patched(info + 8, 0));            // neither local nor network path
    bad.push_back(patched(info + 8, 2));            // network path claimed, none there
    bad.push_back(patched(info + 16, 0x7FFFFFFF));  // local base path offset
    bad.push_back(patched(info + 24, 0xFFFFFFFF));  // suffix offset
    bad.push_back(test::ShellLink({.localBase = ""}));
    bad.push_back(test::ShellLink({.localBase = std::string(250, 'a'), .suffix = "0123456789"}));
    bad.push_back(test::ShellLink({.localBase = "x", .netName = "\\\\s\\share"}));
    test::PutLe32(bad.back(), info + 20, 0xFFFFFF00);  // network link offset
    for (size_t i = 0; i < bad.size(); ++i) {
        bool ok = true;
        EXPECT_EQ(Parse(bad[i], ok).path, "untouched") << i;
        EXPECT_FALSE(ok) << i;
    }
    // The longest path a record holds still fits.
    bool ok = false;
    EXPECT_EQ(Parse(test::ShellLink({.localBase = std::string(259, 'a')}), ok).path.size(), 259u);
    EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace orx
