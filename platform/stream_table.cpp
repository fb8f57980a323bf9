// Our audio layer's stream table: the streams that exist, by handle.
#include "platform/stream_table.h"

#include <atomic>

// Handle h is slot h - 1; an empty slot holds null. Every slot is empty while no output is open.
static std::atomic<bass_stream*> g_bass_streams[k_max_streams];

DWORD add_stream(const char* path)
{
    int slot = 0;
    while (slot < k_max_streams && g_bass_streams[slot].load()) ++slot;
    if (slot == k_max_streams) return 0;

    bass_stream* s = new bass_stream;
    if (!open_mp3(path, &s->decoder)) {
        delete s;
        return 0;
    }
    start_pcm(s->pcm);
    stand_at(s->heard, 0.0);
    g_bass_streams[slot].store(s, std::memory_order_release);
    return static_cast<DWORD>(slot + 1);
}

bass_stream* find_stream(DWORD handle)
{
    if (handle == 0 || handle > static_cast<DWORD>(k_max_streams)) return nullptr;
    return g_bass_streams[handle - 1].load(std::memory_order_acquire);
}

void free_all_streams()
{
    for (auto& slot : g_bass_streams) {
        bass_stream* s = slot.exchange(nullptr);
        if (s) close_mp3(&s->decoder);
        delete s;
    }
}
