// Times the image check alone on the files of a data folder, as the bank runs it before decoding.
#include <benchmark/benchmark.h>
#include <dirent.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/image_guard.h"
#include "bench/textures/data_option.h"

static std::vector<std::vector<unsigned char>> g_files;

static bool read_folder(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() < 4) continue;
        std::string ending = name.substr(name.size() - 4);
        if (ending != ".png" && ending != ".jpg") continue;
        FILE* file = std::fopen((folder + "/" + name).c_str(), "rb");
        if (!file) continue;
        std::vector<unsigned char> bytes;
        unsigned char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        std::fclose(file);
        g_files.push_back(bytes);
    }
    closedir(dir);
    return !g_files.empty();
}

// Every file of the folder checked once per iteration, already in memory.
static void bm_check_every_file(benchmark::State& state)
{
    int accepted = 0;
    for (auto _ : state) {
        accepted = 0;
        for (const std::vector<unsigned char>& bytes : g_files) {
            image_check check = check_image(bytes.data(), bytes.size());
            benchmark::DoNotOptimize(check);
            accepted += check.kind != k_image_refused;
        }
    }
    state.counters["files"] = static_cast<double>(g_files.size());
    state.counters["accepted"] = accepted;
}
BENCHMARK(bm_check_every_file)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    std::string folder;
    if (take_data_option(argc, argv, folder)) {
        std::printf("usage: bench_image_check --data=FOLDER [benchmark options]\n"
                    "  Times check_image on every .png and .jpg file of FOLDER, held in memory.\n");
        benchmark::Initialize(&argc, argv);
        return 0;
    }
    if (folder.empty()) {
        std::fprintf(stderr, "bench_image_check: --data=FOLDER is required (see --help)\n");
        return 2;
    }
    if (!read_folder(folder)) {
        std::fprintf(stderr, "bench_image_check: no .png or .jpg file readable in %s\n", folder.c_str());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
