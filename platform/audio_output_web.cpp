// The sound output on a page, in place of the SDL and silent outputs: a Web Audio node asks the
// mixer for each buffer from the browser's audio events. They run on the page's one thread,
// between the frames, never during a call of ours: the output needs no lock.
#include "platform/audio_output.h"

#include <emscripten.h>

// 4096 frames is 93 ms at 44.1 kHz: a frame drawn in software may hold the page's thread for
// tens of milliseconds, and the node's buffer must outlast it.
static const int k_buffer_frames = 4096;

static audio_output_fill g_fill = nullptr;
static std::int16_t g_buffer[k_buffer_frames * 2];

// Called by the node for each buffer; the samples stay valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* fill_web_output(int frames)
{
    g_fill(g_buffer, frames);
    return g_buffer;
}

// A context at the mixer's rate (the browser resamples to the device), paused, with a node that
// turns the mixer's 16-bit stereo into the node's two channels. 0 when the browser has no Web Audio.
// clang-format off
EM_JS(int, open_web_audio, (int rate, int frames), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    var output = {paused: true};
    try {
        output.context = new Context({sampleRate: rate, latencyHint: 'playback'});
        output.node = output.context.createScriptProcessor(frames, 0, 2);
    } catch (e) {
        console.warn('Web Audio: ' + e);
        return 0;
    }
    output.node.onaudioprocess = function(event) {
        var left = event.outputBuffer.getChannelData(0);
        var right = event.outputBuffer.getChannelData(1);
        if (output.paused) {
            left.fill(0);
            right.fill(0);
            return;
        }
        var at = _fill_web_output(frames) >> 1;
        for (var i = 0; i < frames; ++i) {
            left[i] = HEAP16[at + 2 * i] / 32768;
            right[i] = HEAP16[at + 2 * i + 1] / 32768;
        }
    };
    output.node.connect(output.context.destination);
    Module.webAudioOutput = output;
    return 1;
});
// clang-format on

// clang-format off
EM_JS(void, close_web_audio, (), {
    var output = Module.webAudioOutput;
    if (!output) return;
    output.paused = true;
    output.node.onaudioprocess = null;
    output.node.disconnect();
    output.context.close();
    Module.webAudioOutput = null;
});
// clang-format on

// clang-format off
EM_JS(void, pause_web_audio, (int paused), {
    var output = Module.webAudioOutput;
    if (!output) return;
    output.paused = !!paused;
    // a context made before any gesture of the user's waits for one; ask again now
    if (!paused && output.context.state == 'suspended') output.context.resume();
});
// clang-format on

// The page has one output, the sound device: no silent one (that serves tools, which do not run here).
bool audio_output_open(audio_output_kind kind, int rate, audio_output_fill fill)
{
    if (kind != audio_output_sound) return false;
    g_fill = fill;
    return open_web_audio(rate, k_buffer_frames) != 0;
}

void audio_output_close()
{
    close_web_audio();
}

void audio_output_lock() {}

void audio_output_unlock() {}

void audio_output_pause(bool paused)
{
    pause_web_audio(paused ? 1 : 0);
}
