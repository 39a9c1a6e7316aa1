// demo-shortcut: writes a ".lnk" shortcut file for the demo program folder.
//
//   demo-shortcut OUT.lnk TARGET [--folder]
//
// The file follows the Shell Link binary format: the header (with the folder attribute 0x10 when
// --folder is given, else the archive attribute 0x20) and link information holding TARGET as the
// local base path and an empty common path suffix.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::vector<uint8_t> ShellLink(const std::string& target, bool folder) {
    std::vector<uint8_t> bytes(0x4C, 0);
    Put32(bytes, 0, 0x4C);
    const uint8_t classId[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::memcpy(bytes.data() + 4, classId, sizeof classId);
    Put32(bytes, 0x14, 0x2);  // has link information
    Put32(bytes, 0x18, folder ? 0x10 : 0x20);
    Put32(bytes, 0x3C, 1);  // show normal

    // Link information: header, an empty volume id, the base path, the empty suffix.
    std::vector<uint8_t> info(0x1C + 0x11, 0);
    Put32(info, 4, 0x1C);
    Put32(info, 8, 0x1);
    Put32(info, 12, 0x1C);
    Put32(info, 0x1C, 0x11);
    Put32(info, 0x1C + 4, 3);  // fixed drive
    Put32(info, 0x1C + 12, 0x10);
    Put32(info, 16, static_cast<uint32_t>(info.size()));
    info.insert(info.end(), target.begin(), target.end());
    info.push_back(0);
    Put32(info, 24, static_cast<uint32_t>(info.size()));
    info.push_back(0);
    Put32(info, 0, static_cast<uint32_t>(info.size()));

    bytes.insert(bytes.end(), info.begin(), info.end());
    bytes.insert(bytes.end(), 4, 0);  // no extra data
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const bool folder = argc == 4 && std::string(argv[3]) == "--folder";
    if (argc != 3 && !folder) {
        std::cerr << "usage: demo-shortcut OUT.lnk TARGET [--folder]\n";
        return 2;
    }
    const std::string target = argv[2];
    if (target.empty() || target.size() > 259) {
        std::cerr << "demo-shortcut: the target must have 1 to 259 characters\n";
        return 2;
    }
    const std::vector<uint8_t> bytes = ShellLink(target, folder);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::cerr << "demo-shortcut: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
