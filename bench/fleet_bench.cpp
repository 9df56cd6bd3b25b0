// fleet_bench: softswitchctl against 100 emulated printers on 127.0.0.2 to
// 127.0.0.101: read of all, discover of 127.0.0.1-254, apply of a profile
// changing one switch and the code page. Prints wall times and each as a
// ratio to the same command on one printer. Not a test: nothing is asserted.
//
//   build/bin/fleet_bench [--jobs N] [--set KEY=VALUE]...
//
// --set goes to every emulator (new8x16=on makes the 8x16 query answer at
// once instead of costing the exchange's full second of polling).

#include "ctlprocess.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>

namespace {

constexpr int kPrinters = 100;

double seconds(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    std::string jobs = "100";
    std::vector<std::string> sets;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--jobs")
            jobs = argv[i + 1];
        else if (arg == "--set")
            sets.push_back(argv[i + 1]);
    }
    // The emulator and softswitchctl sit beside this program.
    const std::string bin = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    setenv("SOFTSWITCH_BIN", bin.c_str(), 0);
    TempDir dir;
    int port = 0;
    std::vector<std::unique_ptr<EmulatorProcess>> printers;
    const auto start = [&](int host, std::vector<std::string> extra) {
        std::vector<std::string> args{"--tcp", "127.0.0." + std::to_string(host) + ":" + std::to_string(port)};
        for (const std::string& set : sets)
            args.insert(args.end(), {"--set", set});
        for (const std::string& set : extra)
            args.insert(args.end(), {"--set", set});
        printers.push_back(std::make_unique<EmulatorProcess>(args));
        if (port == 0)
            port = printers.back()->tcpPort();
        return "tcp:127.0.0." + std::to_string(host) + ":" + std::to_string(port);
    };
    std::vector<std::string> fleet;
    for (int host = 2; host < 2 + kPrinters; ++host)
        fleet.push_back(start(host, {}));
    const std::string source = start(2 + kPrinters, {"sw2=3", "codepage=17"});
    const std::string single = start(3 + kPrinters, {});
    const std::string profile = dir.file("profile.json");

    const auto ctl = [&](std::vector<std::string> args) {
        if (args[0] != "save")
            args.insert(args.end(), {"--jobs", jobs});
        const Finished run = runCtl(args, dir);
        if (run.status != 0)
            std::cerr << "softswitchctl " << args[0] << " exited " << run.status << ": " << run.err.substr(0, 300) << '\n';
    };
    std::vector<std::string> readAll{"read"};
    readAll.insert(readAll.end(), fleet.begin(), fleet.end());
    std::vector<std::string> applyAll{"apply", profile};
    applyAll.insert(applyAll.end(), fleet.begin(), fleet.end());
    const std::string p = ":" + std::to_string(port);

    ctl({"save", source, profile});
    struct Figure {
        const char* what;
        double one;
        double all;
    };
    const Figure figures[] = {
        {"read", seconds([&] { ctl({"read", single}); }), seconds([&] { ctl(readAll); })},
        {"discover", seconds([&] { ctl({"discover", "--tcp", "127.0.0.2" + p}); }),
         seconds([&] { ctl({"discover", "--tcp", "127.0.0.1-254" + p}); })},
        {"apply", seconds([&] { ctl({"apply", profile, single}); }), seconds([&] { ctl(applyAll); })},
    };
    std::printf("softswitchctl --jobs %s, %d emulators on 127.0.0.2-%d%s, 2 of this machine's cores shared\n",
                jobs.c_str(), kPrinters, 1 + kPrinters, p.c_str());
    std::printf("%-9s %12s %14s %8s\n", "command", "one printer", "100 printers", "ratio");
    for (const Figure& figure : figures)
        std::printf("%-9s %10.2f s %12.2f s %8.1f\n", figure.what, figure.one, figure.all, figure.all / figure.one);
    return 0;
}
