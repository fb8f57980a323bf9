// Reads only the headers of a PNG or JPEG file, so that no claimed size or length reaches the decoder unchecked.
#include "assets/image_guard.h"

#include <cstring>

static const unsigned char k_png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

static uint32_t big_endian_32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

static uint32_t big_endian_16(const unsigned char* p)
{
    return (uint32_t(p[0]) << 8) | uint32_t(p[1]);
}

static bool is_letter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// sides and pixel count within the limits; the product is taken in 64 bits, where it cannot wrap
static bool size_allowed(uint32_t width, uint32_t height)
{
    if (width == 0 || height == 0 || width > k_image_max_side || height > k_image_max_side) return false;
    return uint64_t(width) * height <= k_image_max_pixels;
}

// Whether PNG has this colour type with this bit depth.
static bool png_format_exists(unsigned colour_type, unsigned depth)
{
    bool eight_or_sixteen = depth == 8 || depth == 16;
    switch (colour_type) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || eight_or_sixteen;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return eight_or_sixteen;
    default:
        return false;
    }
}

// Every chunk (length, type, data, CRC) lies inside the file, IHDR first, IDAT present, IEND last.
static image_check check_png(const unsigned char* bytes, size_t size)
{
    image_check refused = {k_image_refused, k_ink_none, 0, 0};
    image_check found = {k_image_png, k_ink_none, 0, 0};
    bool image_data = false;
    size_t at = 8;
    for (;;) {
        if (size - at < 12) return refused;
        uint32_t length = big_endian_32(bytes + at);
        const unsigned char* type = bytes + at + 4;
        // lengths above 2^31 - 1 are not PNG; comparing with what is left cannot overflow
        if (length > 0x7FFFFFFFu || length > size - at - 12) return refused;
        if (!is_letter(type[0]) || !is_letter(type[1]) || !is_letter(type[2]) || !is_letter(type[3])) {
            return refused;
        }
        const unsigned char* data = type + 4;
        bool first = at == 8;
        if (first != (std::memcmp(type, "IHDR", 4) == 0)) return refused;
        if (first) {
            if (length != 13) return refused;
            found.width = big_endian_32(data);
            found.height = big_endian_32(data + 4);
            if (!png_format_exists(data[9], data[8])) return refused;
            if (!size_allowed(found.width, found.height)) return refused;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) image_data = true;
        if (std::memcmp(type, "IEND", 4) == 0) return image_data ? found : refused;
        at += 12 + size_t(length);
    }
}

// Start-of-frame markers: SOF0..SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
static bool is_frame_header(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Every marker segment of the file lies inside it, with one 8-bit frame header before the first
// scan, up to the end marker; only scan data may be cut short, which the decoder reads as far as
// it goes. A segment running past the end, before or after a scan, makes DevIL's reader spin.
static image_check check_jpeg(const unsigned char* bytes, size_t size)
{
    image_check refused = {k_image_refused, k_ink_none, 0, 0};
    image_check found = {k_image_jpeg, k_ink_none, 0, 0};
    bool frame = false;
    bool scan = false;     // at the scan data that follows a scan header
    bool scanned = false;  // past the first scan header
    bool adobe = false;
    uint32_t components = 0;
    size_t at = 2;
    for (;;) {
        if (scan) {
            // scan data runs to the first marker that is not a stuffed FF 00, a restart or fill
            while (at + 1 < size) {
                const void* ff = std::memchr(bytes + at, 0xFF, size - at - 1);
                if (!ff) {
                    at = size;
                    break;
                }
                at = size_t(static_cast<const unsigned char*>(ff) - bytes);
                unsigned char next = bytes[at + 1];
                bool in_scan = next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7);
                if (!in_scan) break;
                ++at;
            }
            if (at + 1 >= size) return found;
        }
        if (size - at < 2 || bytes[at] != 0xFF) return refused;
        unsigned char marker = bytes[at + 1];
        // fill bytes before a marker
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        scan = false;
        // markers without a segment: restarts and TEM
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (marker == 0xD9) return scanned ? found : refused;
        // a second start, or an end before any scan, is no picture
        if (marker == 0xD8 || marker == 0x00) return refused;
        if (size - at < 4) return refused;
        uint32_t length = big_endian_16(bytes + at + 2);
        if (length < 2 || length > size - at - 2) return refused;
        const unsigned char* data = bytes + at + 4;
        if (is_frame_header(marker)) {
            if (frame || length < 8) return refused;
            frame = true;
            found.height = big_endian_16(data + 1);
            found.width = big_endian_16(data + 3);
            components = data[5];
            if (data[0] != 8 || length != 8 + 3 * components) return refused;
            if (components != 1 && components != 3 && components != 4) return refused;
            // a height of 0 is set later by a DNL segment; not taken
            if (!size_allowed(found.width, found.height)) return refused;
        }
        if (marker == 0xEE && length >= 14 && std::memcmp(data, "Adobe", 5) == 0) adobe = true;
        if (marker == 0xDA) {
            if (!frame) return refused;
            if (components == 4) found.ink = adobe ? k_ink_cmyk_inverted : k_ink_cmyk;
            scan = true;
            scanned = true;
        }
        at += 2 + size_t(length);
    }
}

image_check check_image(const unsigned char* bytes, size_t size)
{
    image_check refused = {k_image_refused, k_ink_none, 0, 0};
    if (size > k_image_file_limit) return refused;
    if (size >= 8 && std::memcmp(bytes, k_png_signature, 8) == 0) return check_png(bytes, size);
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return check_jpeg(bytes, size);
    return refused;
}
