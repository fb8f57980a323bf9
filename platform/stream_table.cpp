// Our audio layer's stream table: the decoded streams that exist, by handle.
#include "platform/stream_table.h"

std::atomic<bass_stream*> g_bass_streams[k_max_streams];

bass_stream* find_stream(DWORD handle)
{
    if (handle == 0 || handle > static_cast<DWORD>(k_max_streams)) return nullptr;
    return g_bass_streams[handle - 1].load(std::memory_order_acquire);
}

void free_all_streams()
{
    for (auto& slot : g_bass_streams) delete slot.exchange(nullptr);
}
