#include <stdlib.h>

#include <iostream>

#include "MpvDecoderHost.h"

// vdhost-mpv: the decoder host that plays clips with libmpv.
int main(int argc, char** argv) {
    orx::MpvHostOptions options;
    return orx::RunDecoderHost(
        "vdhost-mpv", orx::MpvHostUsage(), argc, argv, options,
        [&](const std::vector<std::string>& args, bool& help, std::string& error) {
            return orx::ParseMpvHostArgs(args, options, help, error);
        },
        [&] {
            const char* display = ::getenv("DISPLAY");
            const char* wayland = ::getenv("WAYLAND_DISPLAY");
            if ((!display || !*display) && (!wayland || !*wayland))
                options.headless = true;
            return std::make_unique<orx::MpvDecoderHost>(options, std::cout);
        });
}
