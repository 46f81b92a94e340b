// Mesh drawing on a recording device, and the vertex normals it relies on.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/trace_device.h"
#include "scene/mesh3d.h"
#include "scene/scene_fixture.h"

namespace {

// n faces over their own three vertices each, corner A at (i, 0, 0).
std::unique_ptr<Mesh3d> handMesh(int faces, DWORD format) {
  auto vertices = std::make_unique<VertexList>(3 * faces);
  auto list = std::make_unique<FaceList>(faces);
  for (int i = 0; i < faces; ++i) {
    const float x = float(i);
    vertices->add(std::make_unique<vertex3d>(x, 0.0f, 0.0f));
    vertices->add(std::make_unique<vertex3d>(x + 1, 0.0f, 0.0f));
    vertices->add(std::make_unique<vertex3d>(x, 1.0f, 0.0f));
    vertex3d* a = (*vertices)[3 * i];
    vertex3d* b = (*vertices)[3 * i + 1];
    vertex3d* c = (*vertices)[3 * i + 2];
    a->u = 0.25f;
    a->v = 0.5f;
    for (vertex3d* corner : {a, b, c}) corner->addFaceRef(i);
    list->add(std::make_unique<face3d>(a, b, c));
  }
  return std::make_unique<Mesh3d>(std::move(vertices), std::move(list), format);
}

float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  float value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

class MeshDraw : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    trace->set_keep_vertices(true);
  }
  void TearDown() override {
    EXPECT_EQ(trace->misuse(), std::vector<std::string>{});
    SceneTest::TearDown();
  }
};

using Lines = std::vector<std::string>;

TEST_F(MeshDraw, TwoDrawsBuildOneBuffer) {
  auto mesh = handMesh(2, FVF_XYZ_DIFFUSE_TEX1);
  mesh->draw();
  mesh->draw();
  EXPECT_EQ(trace->calls_starting("CreateVertexBuffer"),
            Lines{"CreateVertexBuffer(144, 0, D3DFVF_XYZ|D3DFVF_DIFFUSE|D3DFVF_TEX1, 0) -> vb#1"});
  ASSERT_EQ(trace->draws().size(), 2u);
  EXPECT_EQ(trace->draws()[1].buffer_id, 1);
  EXPECT_EQ(trace->calls_starting("BeginScene").size(), 2u);
  mesh.reset();
  EXPECT_EQ(trace->calls_starting("Release"), Lines{"Release(vb#1)"});
}

TEST_F(MeshDraw, TexturedDrawSequence) {
  auto mesh = handMesh(1, FVF_XYZ_DIFFUSE_TEX1);
  mesh->draw();
  const Lines& calls = trace->calls();
  const Lines tail(calls.end() - 9, calls.end());
  EXPECT_EQ(
      tail,
      (Lines{"SetTexture(0, NULL)",
             "CreateVertexBuffer(72, 0, D3DFVF_XYZ|D3DFVF_DIFFUSE|D3DFVF_TEX1, 0) -> vb#1",
             "Lock(vb#1, 0, 72, 0)", "Unlock(vb#1)", "BeginScene()", "SetStreamSource(0, vb#1, 24)",
             "SetVertexShader(D3DFVF_XYZ|D3DFVF_DIFFUSE|D3DFVF_TEX1)",
             "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1)", "EndScene()"}));
  // x y z colour u v, white with zero alpha.
  const auto& bytes = trace->draws()[0].vertices;
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(floatAt(bytes, 0), 0.0f);
  EXPECT_EQ(wordAt(bytes, 12), 0x00FFFFFFu);
  EXPECT_EQ(floatAt(bytes, 16), 0.25f);
  EXPECT_EQ(floatAt(bytes, 20), 0.5f);
  EXPECT_EQ(floatAt(bytes, 24), 1.0f);  // corner B's x
}

TEST_F(MeshDraw, Format66ColoursAndNoTexture) {
  auto mesh = handMesh(1, FVF_XYZ_DIFFUSE);
  mesh->draw();
  EXPECT_TRUE(trace->calls_starting("SetTexture").empty());
  const auto& bytes = trace->draws()[0].vertices;
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(wordAt(bytes, 12), 0x0000FFFFu);
  EXPECT_EQ(wordAt(bytes, 28), 0x00FF00FFu);
  EXPECT_EQ(wordAt(bytes, 44), 0x00FFFF00u);
}

TEST_F(MeshDraw, LineStripJoinsEveryCorner) {
  auto mesh = handMesh(4, LINE_STRIP_MODE);
  mesh->draw();
  EXPECT_EQ(trace->calls_starting("CreateVertexBuffer"),
            Lines{"CreateVertexBuffer(192, 0, D3DFVF_XYZ|D3DFVF_DIFFUSE, 0) -> vb#1"});
  EXPECT_EQ(trace->calls_starting("DrawPrimitive"), Lines{"DrawPrimitive(D3DPT_LINESTRIP, 0, 11)"});
  const auto& bytes = trace->draws()[0].vertices;
  ASSERT_EQ(bytes.size(), 192u);
  EXPECT_EQ(wordAt(bytes, 12), 0x000000FFu);
  EXPECT_EQ(wordAt(bytes, 28), 0x000000FFu);
  EXPECT_EQ(wordAt(bytes, 44), 0x0000FFFFu);
}

TEST_F(MeshDraw, BlendingSetAndResetOnlyWhenEnabled) {
  auto mesh = handMesh(1, FVF_XYZ_DIFFUSE);
  mesh->draw();
  EXPECT_TRUE(trace->calls_starting("SetRenderState").empty());
  mesh->setBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
  trace->clear_trace();
  mesh->draw();
  const Lines& calls = trace->calls();
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 3),
            (Lines{"SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE)",
                   "SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA)",
                   "SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE)"}));
  EXPECT_EQ(calls.back(), "SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE)");
  EXPECT_TRUE(trace->draws()[0].state.bool_state(D3DRS_ALPHABLENDENABLE));
  mesh->blendOff();
  trace->clear_trace();
  mesh->draw();
  EXPECT_TRUE(trace->calls_starting("SetRenderState").empty());
  mesh->blendOn();
  EXPECT_EQ(mesh->srcBlend, D3DBLEND_SRCALPHA);
  EXPECT_EQ(mesh->blendEnabled, 1);
}

TEST_F(MeshDraw, MaterialOnlyForTheLitFormat) {
  auto textured = handMesh(1, FVF_XYZ_DIFFUSE_TEX1);
  textured->setAmbient(1, 1, 1);
  textured->draw();
  EXPECT_TRUE(trace->calls_starting("SetMaterial").empty());

  auto lit = handMesh(1, FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  lit->draw();  // no material yet: none is set
  EXPECT_TRUE(trace->calls_starting("SetMaterial").empty());
  lit->setAmbient(1, 1, 1);
  trace->clear_trace();
  lit->draw();
  EXPECT_EQ(trace->calls()[0], "SetTexture(0, NULL)");
  EXPECT_EQ(trace->calls()[1],
            "SetMaterial(diffuse (0, 0, 0, 0), ambient (1, 1, 1, 1), specular (0, 0, 0, 0), "
            "emissive (0, 0, 0, 0), power 0)");
  EXPECT_EQ(trace->draws()[0].state.material.Ambient.g, 1.0f);
}

TEST_F(MeshDraw, LitRecordsCarryTheVertexNormals) {
  auto mesh = handMesh(1, FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  mesh->computeNormals();
  mesh->draw();
  const auto& bytes = trace->draws()[0].vertices;
  ASSERT_EQ(bytes.size(), 108u);
  EXPECT_EQ(floatAt(bytes, 12), 0.0f);
  EXPECT_EQ(floatAt(bytes, 20), 1.0f);  // nz of (1,0,0) x (0,1,0)
  EXPECT_EQ(wordAt(bytes, 24), 0x00FFFFFFu);
  EXPECT_EQ(floatAt(bytes, 28), 0.25f);
}

TEST_F(MeshDraw, RefusedBufferIsRetriedAndNeverDrawn) {
  auto mesh = handMesh(1, FVF_XYZ_DIFFUSE);
  trace->fail_next("CreateVertexBuffer", E_FAIL, 2);
  EXPECT_EQ(mesh->getFaceList()->buildVertexBuffer(FVF_XYZ_DIFFUSE), E_FAIL);
  mesh->draw();
  EXPECT_EQ(trace->calls_starting("CreateVertexBuffer").size(), 2u);
  EXPECT_TRUE(trace->draws().empty());
  EXPECT_EQ(trace->calls_starting("EndScene").size(), 1u);
  mesh->draw();  // the device agrees now
  EXPECT_EQ(trace->draws().size(), 1u);
}

TEST_F(MeshDraw, RefusedLockKeepsTheUnfilledBuffer) {
  auto mesh = handMesh(1, FVF_XYZ_DIFFUSE);
  trace->fail_next("Lock");
  EXPECT_EQ(mesh->getFaceList()->buildVertexBuffer(FVF_XYZ_DIFFUSE), E_FAIL);
  EXPECT_EQ(mesh->getFaceList()->buildVertexBuffer(FVF_XYZ_DIFFUSE), D3D_OK);
  EXPECT_EQ(trace->calls_starting("CreateVertexBuffer").size(), 1u);
}

TEST_F(MeshDraw, UnknownFormatBuildsNothing) {
  auto mesh = handMesh(1, 0x999);
  EXPECT_EQ(mesh->getFaceList()->buildVertexBuffer(0x999), D3D_OK);
  EXPECT_TRUE(trace->calls_starting("CreateVertexBuffer").empty());
}

TEST_F(MeshDraw, VertexNormalAveragesTheFirstThreeFaces) {
  // Vertex 0 at the origin is shared by faces with normals (0,0,1), (0,0,1)
  // and (1,0,0), then by a fourth that must not count.
  auto vertices = std::make_unique<VertexList>(8);
  for (const D3DXVECTOR3& p :
       {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(2, 0, 0),
        D3DXVECTOR3(0, 2, 0), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(9, 9, 9)}) {
    vertices->add(std::make_unique<vertex3d>(p.x, p.y, p.z));
  }
  auto faces = std::make_unique<FaceList>(4);
  const int corners[4][3] = {{0, 1, 2}, {0, 3, 4}, {0, 2, 5}, {0, 6, 1}};
  for (int i = 0; i < 4; ++i) {
    vertex3d* c[3];
    for (int k = 0; k < 3; ++k) {
      c[k] = (*vertices)[corners[i][k]];
      c[k]->addFaceRef(i);
    }
    faces->add(std::make_unique<face3d>(c[0], c[1], c[2]));
  }
  Mesh3d mesh(std::move(vertices), std::move(faces), FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  mesh.computeNormals();
  const vertex3d& shared = *(*mesh.getVertexList())[0];
  EXPECT_FLOAT_EQ(shared.normal.x, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(shared.normal.y, 0.0f);
  EXPECT_FLOAT_EQ(shared.normal.z, 2.0f / 3.0f);
  const face3d& second = *(*mesh.getFaceList())[1];
  ASSERT_NE(second.normal, nullptr);
  EXPECT_EQ(second.normal->getType(), vector3d::DX);
  EXPECT_EQ(second.normal->getZ(), 1.0f);  // (0,0,4) normalised
  const vertex3d& unused = *(*mesh.getVertexList())[7];
  EXPECT_EQ(unused.normal, D3DXVECTOR3(0, 0, 0));
}

TEST_F(MeshDraw, LitMeshesGetNormalsWhenLoaded) {
  writer3ds::MeshDesc desc;
  desc.name = "Tri";
  desc.vertices = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
  desc.faces = {{0, 1, 2}};
  writer3ds::SceneDesc scene;
  scene.meshes = {desc};
  writeScene("tri.3ds", scene);
  Mesh3d lit(path("tri.3ds").c_str(), "Tri", FVF_XYZ_NORMAL_DIFFUSE_TEX1, data());
  EXPECT_EQ((*lit.getVertexList())[1]->normal, D3DXVECTOR3(0, 0, -1));
  Mesh3d textured(path("tri.3ds").c_str(), "Tri", FVF_XYZ_DIFFUSE_TEX1, data());
  EXPECT_EQ((*textured.getVertexList())[1]->normal, D3DXVECTOR3(0, 0, 0));
}

TEST_F(MeshDraw, DumpsWriteTheirTexts) {
  auto mesh = handMesh(1, FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  mesh->computeNormals();
  mesh->dumpVertices();
  const std::string vertices = logText();
  EXPECT_EQ(vertices.rfind("\nVertex List :\n0 : \nvertex3d : [  0.00\t,", 0), 0u);
  EXPECT_NE(vertices.find("map : [  0.25\t,  0.50\t] norm : [  0.00\t,  0.00\t,  1.00\t]"),
            std::string::npos);
  mesh->dumpFaces();
  const std::string faces = logText().substr(vertices.size());
  EXPECT_EQ(faces.rfind("\nFace List :\n0 : \nface3d :\nvertex3d : [", 0), 0u);
  EXPECT_NE(faces.find("\nvector3d (type DX): [ 0.00, 0.00, 1.00]\nfin face3d."),
            std::string::npos);
}

}  // namespace
