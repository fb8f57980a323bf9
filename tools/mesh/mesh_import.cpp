// Reads a model file with assimp into one indexed triangle list.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "tools/mesh/mesh_bake.h"

bool import_model(const std::string& path, raw_mesh& out, std::string& error)
{
    Assimp::Importer importer;
    // triangles only, node transforms baked in; welding is left to the baker, which welds on
    // all three attributes exactly
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_PreTransformVertices | aiProcess_ValidateDataStructure);
    if (!scene) {
        error = "cannot read " + path + ": " + importer.GetErrorString();
        return false;
    }
    out = raw_mesh{};
    bool all_normals = true, all_texcoords = true;
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        if (!(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
        all_normals = all_normals && mesh->HasNormals();
        all_texcoords = all_texcoords && mesh->HasTextureCoords(0);
    }
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        if (!(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
        uint32_t base = uint32_t(out.positions.size() / 3);
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            out.positions.insert(out.positions.end(), {p.x, p.y, p.z});
            if (all_normals) {
                const aiVector3D& n = mesh->mNormals[v];
                out.normals.insert(out.normals.end(), {n.x, n.y, n.z});
            }
            if (all_texcoords) {
                const aiVector3D& t = mesh->mTextureCoords[0][v];
                out.texcoords.insert(out.texcoords.end(), {t.x, t.y});
            }
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3) continue;  // points and lines left over from triangulation
            for (int k = 0; k < 3; ++k) out.indices.push_back(base + face.mIndices[k]);
        }
    }
    if (out.indices.empty()) {
        error = path + " has no triangle faces";
        return false;
    }
    return true;
}
