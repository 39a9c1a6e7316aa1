#include "library/Shortcut.h"

#include <gtest/gtest.h>

#include "library/MediaFiles.h"

namespace orx {
namespace {

// "path attributes", or "refused" for a link that is refused and left the result untouched.
std::string Target(const std::vector<uint8_t>& bytes) {
    ShortcutTarget target{.path = "untouched"};
    if (!ParseShortcut(bytes.data(), bytes.size(), target))
        return target.path == "untouched" ? "refused" : "refused but changed";
    return target.path + " " + std::to_string(target.attributes);
}

// Random and cut bytes are the fuzz target's; these are the layout's rules.
TEST(ShortcutTest, TargetIsTheLocalPathOrTheShareFirstAndUnusableLinksAreRefused) {
    using test::ShellLink;
    const std::vector<uint8_t> good = ShellLink({.localBase = "C:\\v\\clip_3.mpg"});
    const auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        test::PutLe32(bytes, at, value);
        return bytes;
    };
    const size_t info = 0x4C + 2 + 22;  // after the item-ID list
    const std::string longest(259, 'a');
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {ShellLink({.localBase = "C:\\Videos\\", .suffix = "Sport\\goal_5.mpg"}),
         "C:\\Videos\\Sport\\goal_5.mpg 32"},
        {ShellLink({.localBase = "/srv/clips", .attributes = 0x10, .idList = false}),
         "/srv/clips 16"},
        // Local and network information both recorded: the share comes first.
        {ShellLink({.localBase = "Z:\\a.mpg", .suffix = "Clips\\a.mpg", .netName = "\\\\srv\\m"}),
         "\\\\srv\\m\\Clips\\a.mpg 32"},
        {ShellLink({.netName = "\\\\srv\\media\\", .attributes = 0x11}), "\\\\srv\\media\\ 17"},
        {ShellLink({.localBase = longest}), longest + " 32"},  // the longest a record holds
        {ShellLink({.localBase = std::string(250, 'a'), .suffix = "0123456789"}), "refused"},
        {ShellLink({.localBase = ""}), "refused"},
        {patched(0, 0x4D), "refused"},                 // header size
        {patched(12, 0), "refused"},                   // class id
        {patched(0x14, 0x1), "refused"},               // no link information
        {patched(0x14, 0x103), "refused"},             // link information switched off
        {patched(info, 4), "refused"},                 // link-info size below its header
        {patched(info + 8, 0), "refused"},             // neither local nor network path
        {patched(info + 8, 2), "refused"},             // network path claimed, none there
        {patched(info + 24, 0xFFFFFFFF), "refused"}};  // suffix offset
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(Target(bytes), expected);
}

}  // namespace
}  // namespace orx
