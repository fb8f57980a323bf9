// Audio test support: MP3 files made with ffmpeg in a temporary folder, and ffmpeg's own decoding.
#include "tests/audio/mp3_fixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

bool make_mp3(const std::string& path, const std::string& expression, int rate, double seconds)
{
    // one expression means the same on both channels (upmixing a mono source would lower it 3 dB)
    std::string channels = expression;
    if (channels.find('|') == std::string::npos) channels += "|" + expression;

    // a comma would end the filter in ffmpeg's filter graph syntax
    std::string escaped;
    for (char c : channels) {
        if (c == ',') escaped += '\\';
        escaped += c;
    }
    char command[2048];
    std::snprintf(command, sizeof command,
                  "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc=%s:s=%d:d=%g\" "
                  "-ac 2 -c:a libmp3lame -b:a 256k \"%s\"",
                  escaped.c_str(), rate, seconds, path.c_str());
    return std::system(command) == 0;
}

std::vector<std::int16_t> decode_with_ffmpeg(const std::string& path, int rate)
{
    std::string raw = path + ".ffmpeg.raw";
    char resample[32] = "";
    if (rate) std::snprintf(resample, sizeof resample, "-ar %d", rate);
    char command[2048];
    std::snprintf(command, sizeof command, "ffmpeg -nostdin -v error -y -i \"%s\" -f s16le -ac 2 %s \"%s\"",
                  path.c_str(), resample, raw.c_str());
    if (std::system(command) != 0) return {};
    std::vector<std::int16_t> samples = read_s16_file(raw);
    std::remove(raw.c_str());
    return samples;
}

std::vector<std::int16_t> read_s16_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        unsigned lo = static_cast<unsigned char>(bytes[i * 2]);
        unsigned hi = static_cast<unsigned char>(bytes[i * 2 + 1]);
        samples[i] = static_cast<std::int16_t>(lo | (hi << 8));
    }
    return samples;
}

void sleep_seconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

double steady_seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
