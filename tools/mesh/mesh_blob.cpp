// Writes and reads the baked mesh blob and the offsets header the assembler needs to label it.
#include "tools/mesh/mesh_blob.h"

#include <cstdio>
#include <cstring>

namespace {

const char k_magic[4] = {'V', 'L', 'M', 'S'};

// The program and the tools both run on little-endian machines; refuse to write anything else.
bool little_endian()
{
    const uint32_t one = 1;
    unsigned char b;
    std::memcpy(&b, &one, 1);
    return b == 1;
}

bool write_all(FILE* f, const void* data, size_t bytes)
{
    return bytes == 0 || std::fwrite(data, 1, bytes, f) == bytes;
}

bool close_checked(FILE* f, const std::string& path, bool ok, std::string& error)
{
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) error = "error writing " + path;
    return ok;
}

}  // namespace

blob_layout layout_of(size_t vertex_count, size_t index_count, size_t strip_count)
{
    blob_layout l;
    l.positions = k_blob_header_bytes;
    l.normals = l.positions + 12 * vertex_count;
    l.texcoords = l.normals + 12 * vertex_count;
    l.indices = l.texcoords + 8 * vertex_count;
    l.strip_lengths = l.indices + 4 * index_count;
    l.size = l.strip_lengths + 4 * strip_count;
    return l;
}

bool write_mesh_blob(const mesh_arrays& m, const std::string& path, std::string& error)
{
    if (!little_endian()) {
        error = "this machine is not little-endian";
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot open " + path + " for writing";
        return false;
    }
    int32_t counts[3] = {int32_t(m.positions.size() / 3), int32_t(m.indices.size()), int32_t(m.strip_lengths.size())};
    bool ok = write_all(f, k_magic, 4) && write_all(f, counts, sizeof counts) &&
        write_all(f, m.positions.data(), m.positions.size() * 4) &&
        write_all(f, m.normals.data(), m.normals.size() * 4) &&
        write_all(f, m.texcoords.data(), m.texcoords.size() * 4) &&
        write_all(f, m.indices.data(), m.indices.size() * 4) &&
        write_all(f, m.strip_lengths.data(), m.strip_lengths.size() * 4);
    return close_checked(f, path, ok, error);
}

bool write_mesh_layout(const mesh_arrays& m, const std::string& path, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        error = "cannot open " + path + " for writing";
        return false;
    }
    blob_layout l = layout_of(m.positions.size() / 3, m.indices.size(), m.strip_lengths.size());
    int n = std::fprintf(f,
                         "// Byte offsets of the arrays in scene_mesh.bin; bake_mesh writes both together.\n"
                         "#define SCENE_MESH_POSITIONS_OFFSET %zu\n"
                         "#define SCENE_MESH_NORMALS_OFFSET %zu\n"
                         "#define SCENE_MESH_TEXCOORDS_OFFSET %zu\n"
                         "#define SCENE_MESH_INDICES_OFFSET %zu\n"
                         "#define SCENE_MESH_STRIP_LENGTHS_OFFSET %zu\n"
                         "#define SCENE_MESH_BLOB_SIZE %zu\n",
                         l.positions, l.normals, l.texcoords, l.indices, l.strip_lengths, l.size);
    return close_checked(f, path, n > 0, error);
}

bool read_mesh_blob(const std::string& path, mesh_arrays& m, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    char magic[4];
    int32_t counts[3];
    bool ok = std::fread(magic, 1, 4, f) == 4 && std::memcmp(magic, k_magic, 4) == 0 &&
        std::fread(counts, 4, 3, f) == 3 && counts[0] >= 0 && counts[1] >= 0 && counts[2] >= 0;
    if (!ok) {
        std::fclose(f);
        error = path + " is not a baked mesh (no VLMS header)";
        return false;
    }
    m.positions.resize(size_t(counts[0]) * 3);
    m.normals.resize(size_t(counts[0]) * 3);
    m.texcoords.resize(size_t(counts[0]) * 2);
    m.indices.resize(size_t(counts[1]));
    m.strip_lengths.resize(size_t(counts[2]));
    auto read = [&](void* data, size_t n) { return n == 0 || std::fread(data, 4, n, f) == n; };
    ok = read(m.positions.data(), m.positions.size()) && read(m.normals.data(), m.normals.size()) &&
        read(m.texcoords.data(), m.texcoords.size()) && read(m.indices.data(), m.indices.size()) &&
        read(m.strip_lengths.data(), m.strip_lengths.size());
    char extra;
    ok = ok && std::fread(&extra, 1, 1, f) == 0;
    std::fclose(f);
    if (!ok) error = path + ": file size does not match the counts in its header";
    return ok;
}
