// The Open Asset Import Library reading a DXF file into meshes. usage: peer_assimp FILE
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(argv[1], 0);
    if (!scene) {
        std::fprintf(stderr, "%s: %s\n", argv[1], importer.GetErrorString());
        return 1;
    }
    unsigned long long faces = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) faces += scene->mMeshes[i]->mNumFaces;
    std::printf("%llu faces in %u meshes\n", faces, scene->mNumMeshes);
    return 0;
}
