// The capture tool's options: what to render, how, and where to write it.
#include "tools/capture/capture_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

// The --help text; the show's span, from show/show_times.h, goes in at the %s.
static const char* const k_usage =
    "usage: vellamor-capture [--video FILE.mp4] [--frames DIR] [--null] [--fps N] [--from S]\n"
    "                        [--to S] [--size WxH] [--supersample N] [--spectrum V6,V7] [--force]\n"
    "       vellamor-capture --times T1,T2,... [--out SHEET.png] [--frames DIR] [--columns N]\n"
    "                        [--shrink N] [--size WxH] [--supersample N] [--spectrum V6,V7] [--force]\n"
    "\n"
    "Renders the show frame by frame, run from the folder that holds data/. Frame k stands at\n"
    "show time S + k/N exactly, and sees the spectrum the live show would have fetched after the\n"
    "previous frame. It needs no display: without a reachable X server it draws through SDL's\n"
    "offscreen driver; it never needs a sound device.\n"
    "\n"
    "  --video FILE.mp4  H.264 video (yuv420p, CRF 17) with the soundtrack's span as AAC, made\n"
    "                    by ffmpeg, which must be on PATH\n"
    "  --frames DIR      every frame as DIR/frame_000000.png, ... (DIR must exist)\n"
    "  --null            render every frame and write nothing (for timing)\n"
    "  --fps N           frames per second, a whole number from 1 to 240 (default 60)\n"
    "  --from S, --to S  the span in show seconds, within %s (default the whole show)\n"
    "  --size WxH        frame size, even numbers (default 1024x768); the show keeps its 4:3\n"
    "                    picture, pillarboxed (black bars left and right) in a wider frame and\n"
    "                    letterboxed (bars above and below) in a taller one\n"
    "  --supersample N   draw each frame N times as wide and high and average every N x N\n"
    "                    samples (in linear light) into a pixel, so the cards' cut-out edges and\n"
    "                    the model's outline come out smooth; 1 to 4, default 2 for a span\n"
    "                    (--video, --frames, --null) and 1 for --times, whose frames are then\n"
    "                    the live show's own pixels\n"
    "  --spectrum V6,V7  hold spectrum values 6 and 7 (how far the model jumps) fixed, for stills\n"
    "  --force           replace existing output files\n"
    "  --times T1,...    contact-sheet mode: the frames at these show times, laid out in a sheet\n"
    "  --out SHEET.png   where the sheet goes (default docs/show.png)\n"
    "  --columns N, --shrink N  sheet layout: frames per row, and the factor each is shrunk by\n"
    "\n"
    "A progress bar goes to stderr when it is a terminal, a one-line summary otherwise. Nothing\n"
    "half-written is left behind on an error or on Ctrl-C. A run whose frame size, supersampling\n"
    "and output would take more than 2 GB of memory (this tool and ffmpeg together) is refused\n"
    "before it starts, naming the largest frame that fits.\n";

// The span a capture may take: "0 to 83 s".
static std::string show_span()
{
    char text[64];
    std::snprintf(text, sizeof text, "%g to %g s", k_show_start, static_cast<double>(k_show_end));
    return text;
}

std::string capture_usage()
{
    std::string span = show_span();
    std::vector<char> text(std::strlen(k_usage) + span.size());
    std::snprintf(text.data(), text.size(), k_usage, span.c_str());
    return text.data();
}

static bool parse_number(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && !*end && std::isfinite(value);
}

static bool parse_whole(const std::string& text, int low, int high, int& value)
{
    double v = 0;
    if (!parse_number(text, v) || v != std::floor(v) || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

static bool parse_list(const std::string& text, std::vector<float>& values)
{
    values.clear();
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        double v = 0;
        if (!parse_number(item, v)) return false;
        values.push_back(static_cast<float>(v));
    }
    return !values.empty() && text.back() != ',';
}

static bool parse_size(const std::string& text, int& width, int& height)
{
    std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return parse_whole(text.substr(0, x), 16, 8192, width) && parse_whole(text.substr(x + 1), 16, 8192, height) &&
        width % 2 == 0 && height % 2 == 0;
}

// One option and its value; false with the reason.
static bool take_option(const std::string& arg, const char* value, capture_options& o, std::string& error)
{
    std::vector<float> pair;
    std::string v = value ? value : "";
    if (arg == "--video") o.video = v;
    else if (arg == "--frames") o.frames_dir = v;
    else if (arg == "--out") {
        o.sheet = v;
        o.sheet_given = true;
    } else if (arg == "--fps") {
        if (!parse_whole(v, 1, 240, o.fps)) error = "--fps takes a whole number from 1 to 240";
    } else if (arg == "--from") {
        if (!parse_number(v, o.from)) error = "--from takes a number of seconds";
    } else if (arg == "--to") {
        if (!parse_number(v, o.to)) error = "--to takes a number of seconds";
    } else if (arg == "--size") {
        if (!parse_size(v, o.width, o.height)) error = "--size takes WxH, even numbers from 16 to 8192";
    } else if (arg == "--supersample") {
        if (!parse_whole(v, 1, 4, o.supersample)) error = "--supersample takes a whole number from 1 to 4";
    } else if (arg == "--times") {
        if (!parse_list(v, o.times)) error = "--times takes a list of seconds, like 3,12.5,30";
    } else if (arg == "--columns") {
        if (!parse_whole(v, 1, 64, o.columns)) error = "--columns takes a whole number from 1 to 64";
    } else if (arg == "--shrink") {
        if (!parse_whole(v, 1, 64, o.shrink)) error = "--shrink takes a whole number from 1 to 64";
    } else if (arg == "--spectrum") {
        if (!parse_list(v, pair) || pair.size() != 2 || pair[0] < 0 || pair[1] < 0) {
            error = "--spectrum takes two values, not negative, like 0.2,0.15";
        } else {
            o.fixed_spectrum = true;
            o.spectrum6 = pair[0];
            o.spectrum7 = pair[1];
        }
    } else error = "unknown option '" + arg + "'";
    if (error.empty() && v.empty()) error = arg + " needs a value";
    return error.empty();
}

// The options together: one mode, something to write, a span that holds frames.
static bool check_together(const capture_options& o, std::string& error)
{
    bool sheet_mode = !o.times.empty();
    if (sheet_mode && (!o.video.empty() || o.null_output))
        error = "--times makes a contact sheet; --video and --null render a span (--from, --to)";
    else if (!sheet_mode && o.sheet_given) error = "--out names the contact sheet, which only --times makes";
    else if (!sheet_mode && o.video.empty() && o.frames_dir.empty() && !o.null_output)
        error = "nothing to write: give --video FILE.mp4, --frames DIR or --times T1,T2,...";
    else if (o.from < k_show_start || o.to > k_show_end)
        error = "the span must lie within the show, " + show_span();
    else if (!sheet_mode && span_frames(o) < 1) error = "the span from --from to --to holds no frame";
    return error.empty();
}

// A span is a video to watch: smooth edges. A sheet's frames are what the live show draws, and
// shrinking them into the sheet smooths them already.
static void choose_supersample(capture_options& o)
{
    if (o.supersample == 0) o.supersample = o.times.empty() ? 2 : 1;
}

bool parse_capture_options(int argc, char** argv, capture_options& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return true;
        }
        if (arg == "--force") {
            o.force = true;
            continue;
        }
        if (arg == "--null") {
            o.null_output = true;
            continue;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        if (!take_option(arg, value, o, error)) return false;
    }
    choose_supersample(o);
    return check_together(o, error);
}

long span_frames(const capture_options& o)
{
    if (!(o.to > o.from)) return 0;
    // the margin keeps 2.0 s at 30 fps at 60 frames, not 61, through rounding
    return static_cast<long>(std::ceil((o.to - o.from) * o.fps - 1e-6));
}
