// soundtrack: renders the show's music and writes it as an MP3 (and, if asked, a WAV for inspection).
#include "tools/soundtrack/synth.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/soundtrack_file.h"

namespace {
void print_help()
{
    printf("usage: soundtrack [--out FILE.mp3] [--wav FILE.wav] [--kbps N]\n"
           "Renders the soundtrack (%.1f s, 44.1 kHz stereo) and encodes it with LAME.\n"
           "  --out FILE   MP3 to write (default data/" VL_SOUNDTRACK_FILE ")\n"
           "  --wav FILE   also write the unencoded mix as 16-bit WAV\n"
           "  --kbps N     constant bitrate, 96..320 (default 192)\n"
           "  --help       this text\n",
           k_piece_length);
}

void put_u32(FILE* f, unsigned v)
{
    for (int i = 0; i < 4; ++i) fputc((v >> (8 * i)) & 0xFF, f);
}
void put_u16(FILE* f, unsigned v)
{
    for (int i = 0; i < 2; ++i) fputc((v >> (8 * i)) & 0xFF, f);
}

short to_pcm16(float x)
{
    long v = std::lround(x * 32767.0f);
    return (short)(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

bool write_wav(const stereo_bus& mix, const char* path)
{
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    unsigned frames = (unsigned)mix.left.size();
    fwrite("RIFF", 1, 4, f);
    put_u32(f, 36 + frames * 4);
    fwrite("WAVEfmt ", 1, 8, f);
    put_u32(f, 16);
    put_u16(f, 1);
    put_u16(f, 2);
    put_u32(f, k_rate);
    put_u32(f, k_rate * 4);
    put_u16(f, 4);
    put_u16(f, 16);
    fwrite("data", 1, 4, f);
    put_u32(f, frames * 4);
    for (unsigned i = 0; i < frames; ++i) {
        put_u16(f, (unsigned short)to_pcm16(mix.left[i]));
        put_u16(f, (unsigned short)to_pcm16(mix.right[i]));
    }
    return fclose(f) == 0;
}
}  // namespace

int main(int argc, char** argv)
{
    const char* out = "data/" VL_SOUNDTRACK_FILE;
    const char* wav = nullptr;
    int kbps = 192;
    for (int i = 1; i < argc; ++i) {
        bool has_value = i + 1 < argc;
        if (!strcmp(argv[i], "--help")) {
            print_help();
            return 0;
        } else if (!strcmp(argv[i], "--out") && has_value) {
            out = argv[++i];
        } else if (!strcmp(argv[i], "--wav") && has_value) {
            wav = argv[++i];
        } else if (!strcmp(argv[i], "--kbps") && has_value) {
            kbps = atoi(argv[++i]);
            if (kbps < 96 || kbps > 320) {
                fprintf(stderr, "soundtrack: --kbps must be between 96 and 320\n");
                return 2;
            }
        } else {
            fprintf(stderr, "soundtrack: unknown or incomplete option '%s' (try --help)\n", argv[i]);
            return 2;
        }
    }
    stereo_bus mix = render_piece();
    if (wav && !write_wav(mix, wav)) {
        fprintf(stderr, "soundtrack: cannot write %s\n", wav);
        return 1;
    }
    if (!encode_mp3(mix, out, kbps)) {
        fprintf(stderr, "soundtrack: cannot encode %s\n", out);
        return 1;
    }
    printf("wrote %s (%.2f s)\n", out, (double)mix.left.size() / k_rate);
    return 0;
}
