// Writes the mix as an MP3 with LAME, with the info tag that lets decoders play it gaplessly.
#include "tools/soundtrack/synth.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int k_chunk = 8192;

bool write_all(FILE* f, const unsigned char* data, size_t n)
{
    return n == 0 || fwrite(data, 1, n, f) == n;
}
}  // namespace

bool encode_mp3(const stereo_bus& mix, const char* path, int kbps)
{
    lame_global_flags* gf = lame_init();
    if (!gf) return false;
    lame_set_in_samplerate(gf, k_rate);
    lame_set_out_samplerate(gf, k_rate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, kbps);
    lame_set_quality(gf, 2);
    // the info tag carries the encoder delay and padding: position 0 is the first sample
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return false;
    }
    FILE* f = fopen(path, "wb");
    if (!f) {
        lame_close(gf);
        return false;
    }
    std::vector<unsigned char> out(k_chunk * 5 / 4 + 7200);
    bool ok = true;
    long total = (long)mix.left.size();
    for (long at = 0; at < total && ok; at += k_chunk) {
        int n = (int)std::min<long>(k_chunk, total - at);
        int bytes = lame_encode_buffer_ieee_float(gf, &mix.left[at], &mix.right[at], n, out.data(), (int)out.size());
        ok = bytes >= 0 && write_all(f, out.data(), bytes);
    }
    if (ok) {
        int bytes = lame_encode_flush(gf, out.data(), (int)out.size());
        ok = bytes >= 0 && write_all(f, out.data(), bytes);
    }
    if (ok) {
        // the first frame of the stream was reserved for this tag; fill it in now the counts are known
        unsigned char tag[2880];
        size_t n = lame_get_lametag_frame(gf, tag, sizeof tag);
        ok = n > 0 && n <= sizeof tag && fseek(f, 0, SEEK_SET) == 0 && write_all(f, tag, n);
    }
    ok = fclose(f) == 0 && ok;
    lame_close(gf);
    return ok;
}
