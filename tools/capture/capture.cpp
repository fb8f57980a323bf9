// The show's video renderer: draws the show frame by frame on a clock of its own, with the
// spectrum the live show would see, into an MP4 with its soundtrack, numbered PNGs, or a
// contact sheet of chosen times.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"
#include "audio/decoded_music.h"
#include "audio/music.h"
#include "show/timeline.h"
#include "tools/capture/capture_clock.h"
#include "tools/capture/capture_context.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/frame_sheet.h"
#include "tools/capture/interrupt.h"
#include "tools/capture/memory_bound.h"
#include "tools/capture/output_files.h"
#include "tools/capture/progress.h"
#include "tools/capture/video_pipe.h"
#include "tools/common/image_io.h"

static const char* const k_soundtrack = "data/" VL_SOUNDTRACK_FILE;

static int fail(const std::string& message, int status = 1)
{
    std::fprintf(stderr, "vellamor-capture: %s\n", message.c_str());
    return status;
}

static std::string frame_path(const std::string& dir, long k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06ld.png", k);
    return dir + name;
}

static std::string still_path(const std::string& dir, float t)
{
    char name[32];
    std::snprintf(name, sizeof name, "/t%05.1f.png", static_cast<double>(t));
    return dir + name;
}

// Everything the run will write can be written, and replaces nothing without --force.
static bool check_outputs(const capture_options& o, std::string& ffmpeg, std::string& error)
{
    if (!o.video.empty()) {
        ffmpeg = find_ffmpeg();
        if (ffmpeg.empty()) {
            error = "--video needs ffmpeg, which is not on PATH (Debian: apt-get install ffmpeg)";
            return false;
        }
        if (!check_output_file(o.video, o.force, error)) return false;
    }
    if (!o.times.empty() && !check_output_file(o.sheet, o.force, error)) return false;
    if (o.frames_dir.empty()) return true;
    if (!check_output_folder(o.frames_dir, error)) return false;
    long count = o.times.empty() ? span_frames(o) : static_cast<long>(o.times.size());
    for (long k = 0; k < count && !o.force; ++k) {
        std::string path = o.times.empty() ? frame_path(o.frames_dir, k) : still_path(o.frames_dir, o.times[k]);
        if (access(path.c_str(), F_OK) == 0) {
            error = path + " exists (add --force to replace it)";
            return false;
        }
    }
    return true;
}

// The frame at show time t, seeing the spectrum fetched after the frame before, 1/fps earlier.
static void render_at(const capture_options& o, const decoded_music& music, double t)
{
    if (o.fixed_spectrum) {
        for (float& v : g_spectrum) v = 0.0f;
        g_spectrum[6] = o.spectrum6;
        g_spectrum[7] = o.spectrum7;
    } else {
        decoded_spectrum(music, frame_heard_at(music, t - 1.0 / o.fps), g_spectrum);
    }
    set_capture_time(static_cast<float>(t));
    g_show_over = false;
    render_frame();
}

static bool write_png_whole(const std::string& path, int width, int height, const unsigned char* rgb, std::string& error)
{
    std::string partial = make_partial(path, error);
    if (partial.empty()) return false;
    if (!write_png(partial, width, height, 3, rgb)) {
        error = "cannot write " + path;
        return false;
    }
    return commit_partial(partial, path, error);
}

// The soundtrack under the span as a WAV file for ffmpeg: from the sample heard at the first
// frame, as long as the frames last, silence past the end of the file.
static bool write_sound_span(const capture_options& o, const decoded_music& music, long frames, const std::string& path)
{
    std::int64_t first = frame_heard_at(music, o.from);
    std::int64_t count = static_cast<std::int64_t>(static_cast<double>(frames) * music.rate / o.fps + 0.5);
    std::vector<std::int16_t> span(static_cast<std::size_t>(count) * 2, 0);
    std::int64_t available = std::max<std::int64_t>(0, std::min(count, music.frames - first));
    std::memcpy(span.data(), music.samples + first * 2, static_cast<std::size_t>(available) * 4);
    return write_wav(path, span.data(), count, music.rate);
}

static bool start_video_output(const capture_options& o, const decoded_music& music, long frames,
                               const std::string& ffmpeg, std::string& partial, std::string& sound, std::string& error)
{
    partial = make_partial(o.video, error);
    if (partial.empty()) return false;
    sound = make_partial(o.video, error);
    if (sound.empty()) return false;
    if (!write_sound_span(o, music, frames, sound)) {
        error = "cannot write the soundtrack's span beside " + o.video;
        return false;
    }
    return start_video(video_settings{ffmpeg, partial, sound, o.width, o.height, o.fps}, error);
}

// The span from --from to --to, frame by frame, to the video, the numbered frames or nowhere.
static bool render_span(const capture_options& o, const decoded_music& music, const std::string& ffmpeg,
                        std::string& error)
{
    long frames = span_frames(o);
    std::string partial, sound;
    if (!o.video.empty() && !start_video_output(o, music, frames, ffmpeg, partial, sound, error)) return false;

    start_progress(frames, 1.0 / o.fps);
    for (long k = 0; k < frames; ++k) {
        if (interrupted()) return false;
        render_at(o, music, frame_time(o.from, k, o.fps));
        const std::vector<unsigned char>& rgb = presented_frame();
        if (!o.video.empty() && !write_video_frame(rgb.data(), rgb.size(), error)) return false;
        if (!o.frames_dir.empty() &&
            !write_png_whole(frame_path(o.frames_dir, k), o.width, o.height, rgb.data(), error))
            return false;
        show_progress(k + 1);
    }

    if (!o.video.empty()) {
        if (!finish_video(error)) return false;
        if (interrupted() || !commit_partial(partial, o.video, error)) return false;
        unlink(sound.c_str());
    }
    std::string what = !o.video.empty() ? "wrote " + o.video
        : !o.frames_dir.empty()         ? "wrote " + o.frames_dir + "/frame_*.png"
                                        : "rendered";
    char span[128];
    std::snprintf(span, sizeof span, " (%dx%d, %d fps, %.3f-%.3f s, %s driver)", o.width, o.height, o.fps, o.from,
                  frame_time(o.from, frames, o.fps), capture_video_driver().c_str());
    finish_progress(frames, what + span);
    return true;
}

// The frames at the chosen times, each shrunk into its cell of the contact sheet as soon as it is
// drawn (and each written on its own with --frames): one frame is held at a time.
static bool render_sheet(const capture_options& o, const decoded_music& music, std::string& error)
{
    int count = static_cast<int>(o.times.size());
    contact_sheet sheet = start_sheet(count, o.columns, o.shrink, o.width, o.height);
    start_progress(count, 0.0);
    for (int i = 0; i < count; ++i) {
        if (interrupted()) return false;
        render_at(o, music, o.times[i]);
        const std::vector<unsigned char>& rgb = presented_frame();
        place_in_sheet(sheet, i, rgb.data());
        if (!o.frames_dir.empty() &&
            !write_png_whole(still_path(o.frames_dir, o.times[i]), o.width, o.height, rgb.data(), error))
            return false;
        show_progress(i + 1);
    }
    if (!write_png_whole(o.sheet, sheet.width, sheet.height, sheet.rgb.data(), error)) return false;
    finish_progress(count, "wrote " + o.sheet);
    return true;
}

int main(int argc, char** argv)
{
    capture_options o;
    std::string error, ffmpeg;
    if (!parse_capture_options(argc, argv, o, error)) return fail(error + " (see --help)", 2);
    if (o.help) {
        std::fputs(capture_usage().c_str(), stdout);
        return 0;
    }
    if (!check_memory_bound(o, error)) return fail(error, 2);
    if (!check_outputs(o, ffmpeg, error)) return fail(error);
    if (access(k_soundtrack, R_OK) != 0)
        return fail(std::string("no ") + k_soundtrack + " here: run it from the folder that holds data/");

    catch_interrupts();
    decoded_music music;
    if (!open_decoded_music(k_soundtrack, music)) return fail(std::string("cannot decode ") + k_soundtrack);
    if (!open_capture_context(o.width, o.height, o.supersample, error)) {
        close_decoded_music(music);
        return fail(error);
    }
    load_textures();

    bool done = o.times.empty() ? render_span(o, music, ffmpeg, error) : render_sheet(o, music, error);
    if (!done) abort_video();

    free_textures();
    close_capture_context();
    close_decoded_music(music);
    if (done) {
        keep_run_files();
        return 0;
    }
    remove_run_files();
    if (interrupted()) return fail("interrupted; nothing written", 130);
    return fail(error);
}
