// dxflib reading a DXF file into faces, as an importer built on it would: every 3DFACE and
// SOLID kept with its layer and four corners. usage: peer_dxflib FILE
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct CFace {
    std::string layer;
    float corner[4][3];
};

class CCollector : public DL_CreationAdapter {
public:
    void add3dFace(const DL_3dFaceData& data) override { Keep(data); }
    void addSolid(const DL_SolidData& data) override { Keep(data); }
    std::vector<CFace> m_faces;

private:
    void Keep(const DL_TraceData& data)
    {
        CFace& face = m_faces.emplace_back();
        face.layer = getAttributes().getLayer();
        for (int k = 0; k < 4; ++k) {
            face.corner[k][0] = float(data.x[k]);
            face.corner[k][1] = float(data.z[k]);
            face.corner[k][2] = float(-data.y[k]);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    CCollector collector;
    DL_Dxf dxf;
    if (!dxf.in(argv[1], &collector)) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    std::printf("%zu faces\n", collector.m_faces.size());
    return 0;
}
