// From starting the program to its shown window with a catalog of 8,000 generated photographs,
// against opening the same catalog headless in the same run (catalog, view record, layout and
// one full drawing of the view into its offscreen, as the window does): the ratio is the cost
// the window, wx and GTK add. Runs under an X display (xvfb-run); needs xdotool.
//
//   xvfb-run -a startup_bench [--items N] [--rounds N] [--program path/to/lyrex-ondrel]
#include "CatalogBenchData.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/save/CatalogSave.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/resources/ResourceStrings.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& args, bool quiet) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool WindowShown(const std::string& title) {
    const pid_t pid = Spawn({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}, true);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string MakeCatalog(int items, const std::string& folder) {
    const std::string path = folder + "/Bench.lxc", work = folder + "/bench.work";
    std::filesystem::remove(path);
    std::filesystem::remove(work);
    FSSpec spec, workSpec;
    FSMakeFSSpecFromPath(path, &spec);
    FSMakeFSSpecFromPath(work, &workSpec);
    CatalogRec* catalog = nullptr;
    Check(CatalogOpen(&catalog, nullptr, &workSpec, nullptr, nullptr, nullptr, 0), "new catalog");
    AddBenchItems(catalog, items);
    CatalogSetViewMode(catalog, 1);
    Check(CatalogSave(catalog, &spec, nullptr, 0), "save");
    CatalogClose(catalog, false);
    std::filesystem::remove(work);
    return path;
}

double OpenHeadless(const std::string& path, const std::string& folder) {
    const std::string work = folder + "/open.work";
    std::filesystem::remove(work);
    FSSpec spec, workSpec;
    FSMakeFSSpecFromPath(path, &spec);
    FSMakeFSSpecFromPath(work, &workSpec);
    const auto t0 = Clock::now();
    CatalogRec* catalog = nullptr;
    Check(CatalogOpen(&catalog, &spec, &workSpec, nullptr, nullptr, nullptr, 0), "open");
    ViewPort* port = ViewPortNew(900, 600);
    ViewRec* view = nullptr;
    Check(ViewCreate(&view, port, nullptr, catalog), "view");
    const Rect r{0, 0, 600, 900};
    ViewSetRect(view, &r);
    ViewRedraw(view, nullptr);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    ViewDispose(view);
    ViewPortDispose(port);
    CatalogClose(catalog, false);
    std::filesystem::remove(work);
    return ms;
}

double StartProgram(const std::string& program, const std::string& path) {
    const auto t0 = Clock::now();
    const pid_t pid = Spawn({program, path}, true);
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }
    while (!WindowShown("Bench - Lyrex Ondrel")) {
        if (Clock::now() - t0 > std::chrono::seconds(60)) {
            std::fprintf(stderr, "the window did not show within a minute\n");
            kill(pid, SIGKILL);
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    int items = 8000, rounds = 3;
    std::string program = LYREX_PROGRAM_PATH;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--program")) program = argv[i + 1];
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "startup_bench needs an X display: run it under xvfb-run\n");
        return 1;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-startup-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/runtime");
    std::filesystem::permissions(folder + "/runtime", std::filesystem::perms::owner_all);
    // The program runs with settings of its own, an installation record and no other instance.
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder + "/runtime").c_str(), 1);
    setenv("LYREX_MACHINE_STORE", (folder + "/machine").c_str(), 1);
    std::filesystem::create_directories(folder + "/machine");
    std::ofstream(folder + "/machine/machine-registry.txt")
        << "LyrexRegistry 1\n[SOFTWARE\\Lyrex\\Ondrel2]\n\"Path\"=sz:\"" << folder << "\"\nend\n";

    SetResourceModule(GetBuiltInResourceModule("en"));
    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    Check(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), "catalog engine");
    const std::string path = MakeCatalog(items, folder);

    double headless = 1e300, shown = 1e300;
    for (int i = 0; i < rounds; ++i) {
        headless = std::min(headless, OpenHeadless(path, folder));
        shown = std::min(shown, StartProgram(program, path));
    }
    std::printf("start-up with a catalog of %d items, best of %d rounds\n", items, rounds);
    std::printf("%-44s %10.1f ms\n", "open headless (catalog, view, layout, draw)", headless);
    std::printf("%-44s %10.1f ms  %6.2fx\n", "program started to window shown", shown, shown / headless);
    CatalogEngineShutdown();
    KindEngineShutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
