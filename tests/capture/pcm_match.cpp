// Compares two mono 16-bit little-endian PCM files: the lag at which they agree best and how well.
// Usage: pcm_match A.raw B.raw MAX_LAG; prints "lag L correlation C" (B shifted by L samples).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

static std::vector<double> read_pcm(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<double> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        auto lo = static_cast<unsigned char>(bytes[2 * i]), hi = static_cast<unsigned char>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(lo | (hi << 8));
    }
    return samples;
}

// Normalised correlation of a[i] with b[i + lag] over the samples both have, away from the ends.
static double correlation(const std::vector<double>& a, const std::vector<double>& b, long lag, long margin)
{
    double ab = 0, aa = 0, bb = 0;
    for (long i = margin; i + margin < static_cast<long>(a.size()); ++i) {
        long j = i + lag;
        if (j < 0 || j >= static_cast<long>(b.size())) continue;
        ab += a[i] * b[j];
        aa += a[i] * a[i];
        bb += b[j] * b[j];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: pcm_match A.raw B.raw MAX_LAG\n");
        return 2;
    }
    std::vector<double> a = read_pcm(argv[1]), b = read_pcm(argv[2]);
    long max_lag = std::atol(argv[3]);
    if (a.size() < static_cast<std::size_t>(4 * max_lag) || b.empty()) {
        std::fprintf(stderr, "pcm_match: too few samples (%zu and %zu)\n", a.size(), b.size());
        return 1;
    }
    long best_lag = 0;
    double best = -2;
    for (long lag = -max_lag; lag <= max_lag; ++lag) {
        double c = correlation(a, b, lag, max_lag);
        if (c > best) {
            best = c;
            best_lag = lag;
        }
    }
    std::printf("lag %ld correlation %.4f\n", best_lag, best);
    return 0;
}
