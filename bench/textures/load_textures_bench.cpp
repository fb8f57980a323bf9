// Times the texture bank's loading of a whole picture set, and the show's start-up steps around it.
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/texture_bank.h"
#include "bench/textures/data_option.h"
#include "tests/support/gl_window.h"

// Decoding and uploading the whole bank; uploads may still be queued when load_textures
// returns, and the show's first frame would wait for them.
static void bm_load_textures(benchmark::State& state)
{
    for (auto _ : state) {
        load_textures();
        glFinish();
        state.PauseTiming();
        free_textures();
        glFinish();
        state.ResumeTiming();
    }
}
// Once, before anything else: what the show pays, with the library and the GL driver still cold.
BENCHMARK(bm_load_textures)->Name("bm_load_textures_first_time")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
// Again and again: the steady cost, files in the page cache.
BENCHMARK(bm_load_textures)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

static void print_help()
{
    std::printf("usage: bench_textures --data=FOLDER [benchmark options]\n"
                "  Opens the show's window, then times load_textures on FOLDER/data/...\n"
                "  (FOLDER is the one holding data/, as the show's working directory).\n"
                "  --data=FOLDER   the folder holding data/ (required)\n"
                "  --help          this text; Google Benchmark's own options follow\n");
}

int main(int argc, char** argv)
{
    std::string folder;
    if (take_data_option(argc, argv, folder)) {
        print_help();
        benchmark::Initialize(&argc, argv);
        return 0;
    }
    if (folder.empty()) {
        std::fprintf(stderr, "bench_textures: --data=FOLDER is required (see --help)\n");
        return 2;
    }
    if (chdir(folder.c_str()) != 0 || access("data", R_OK) != 0) {
        std::fprintf(stderr, "bench_textures: %s holds no readable data/ folder\n", folder.c_str());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    if (!open_show_window()) {
        std::fprintf(stderr, "bench_textures: cannot open the show's window (no X display?)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
