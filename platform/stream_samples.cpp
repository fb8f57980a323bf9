// A stream's decoded samples, read-only, for tools: the one window on the stream table from outside.
#include "platform/stream_samples.h"

#include "platform/stream_table.h"

bool get_stream_samples(DWORD stream, stream_samples& out)
{
    const bass_stream* s = find_stream(stream);
    if (!s) return false;
    out.pcm = s->pcm.data();
    out.frames = s->frames;
    out.rate = s->rate;
    return true;
}
