// The show's files on a page: fetched from the server's data/ folder into the program's own file
// system under the paths the show opens, and the pictures checked and decoded by the browser.
#include "shell/show_files_web.h"

#include <emscripten/wget.h>
#include <sys/stat.h>

#include <cstdio>

#include "assets/image_loader.h"
#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"

static int g_fetches_pending = 0;
static void (*g_ready)() = nullptr;

static void after_fetches()
{
    for (const texture_entry& entry : g_texture_table) decode_picture_ahead(entry.path);
    when_pictures_decoded(g_ready);
}

static void fetch_settled()
{
    if (--g_fetches_pending == 0) after_fetches();
}

static void on_fetched(void* path, void* bytes, int size)
{
    std::FILE* file = std::fopen(static_cast<const char*>(path), "wb");
    if (file) {
        std::fwrite(bytes, 1, static_cast<size_t>(size), file);
        std::fclose(file);
    }
    fetch_settled();
}

static void on_fetch_failed(void* path)
{
    std::fprintf(stderr, "not on the server: %s\n", static_cast<const char*>(path));
    fetch_settled();
}

static void fetch_file(const char* path)
{
    ++g_fetches_pending;
    emscripten_async_wget_data(path, const_cast<char*>(path), on_fetched, on_fetch_failed);
}

void fetch_show_files(bool with_soundtrack, void (*ready)())
{
    g_ready = ready;
    mkdir("data", 0755);
    // counted before any fetch can settle
    g_fetches_pending = 1;
    for (const texture_entry& entry : g_texture_table) fetch_file(entry.path);
    if (with_soundtrack) {
        // the server's folder is data/, as the pictures spell it; the audio layer finds it under "Data/" too
        fetch_file("data/" VL_SOUNDTRACK_FILE);
    }
    fetch_settled();
}
