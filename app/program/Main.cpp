// The program's entry. Before any window or display: a start that finds the program running
// hands its arguments over and ends at once. Otherwise wx starts the application object.
#include "app/InstanceChannel.h"
#include "app/ui/CQuantaroApp.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::unique_ptr<InstanceServer> server;
    std::string error;
    switch (ClaimOrHandOver(arguments, &server, &error)) {
    case InstanceRole::kHandedOver: return 0;
    case InstanceRole::kFailed:
        // Without the channel the program still runs; later starts then run beside it.
        std::fprintf(stderr, "lyrex-ondrel: cannot claim the single-instance channel: %s\n", error.c_str());
        break;
    case InstanceRole::kFirst: break;
    }
    CQuantaroApp::SetStartArguments(std::move(server), std::move(arguments));
    return wxEntry(argc, argv);
}
