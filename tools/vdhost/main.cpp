#include <iostream>

#include "DecoderHost.h"

// vdhost: stand-in decoder host, a timed model of one board.
int main(int argc, char** argv) {
    orx::DecoderHostOptions options;
    return orx::RunDecoderHost(
        "vdhost", orx::DecoderHostUsage(), argc, argv, options,
        [&](const std::vector<std::string>& args, bool& help, std::string& error) {
            return orx::ParseDecoderHostArgs(args, options, help, error);
        },
        [&] { return std::make_unique<orx::DecoderHost>(options, orx::SystemClock(), std::cout); });
}
