// Mesh import: progress texts, log texts, result codes, and what survives
// broken files.
#include "scene/mesh_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format3ds/chunk_file.h"
#include "scene/mesh3d.h"
#include "scene/scene_fixture.h"

namespace {

using namespace writer3ds;

MeshDesc triangle(const std::string& name, const std::string& material = "") {
  MeshDesc mesh;
  mesh.name = name;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.faces = {{0, 1, 2}};
  if (!material.empty()) mesh.materials = {{material, {0}}};
  return mesh;
}

class MeshImport : public SceneTest {};

TEST_F(MeshImport, VertexListTextsAndValues) {
  SceneDesc scene;
  scene.meshes = {triangle("Other"), triangle("Box01")};
  scene.meshes[1].vertices[1] = {1.5f, -2.0f, 3.25f};
  ChunkFile file(build_file(scene));
  StdoutCapture out;
  auto vertices = loadVertexList(file, "Box01");
  EXPECT_EQ(out.take(),
            "\n4D4D trouve\n3D3D trouve\nobject name : Other\nobject name : Box01\nnbvert:3\n");
  ASSERT_NE(vertices, nullptr);
  ASSERT_EQ(vertices->getCount(), 3);
  EXPECT_EQ((*vertices)[1]->x, 1.5f);
  EXPECT_EQ((*vertices)[1]->y, -2.0f);
  EXPECT_EQ((*vertices)[1]->z, 3.25f);
  EXPECT_EQ((*vertices)[1]->faceRefCount, 0);
}

TEST_F(MeshImport, LightNameGivesNoVertexList) {
  SceneDesc scene;
  scene.lights = {{"Omni01", {1, 2, 3}}};
  scene.meshes = {triangle("Box01")};
  ChunkFile file(build_file(scene));
  StdoutCapture out;
  EXPECT_EQ(loadVertexList(file, "Omni01"), nullptr);
  EXPECT_NE(out.take().find("\nfin du fichier"), std::string::npos);
}

TEST_F(MeshImport, FaceListTextsAndReferences) {
  // Vertex 0 is used by five faces: only the first three are recorded.
  MeshDesc mesh;
  mesh.name = "Fan";
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}};
  mesh.faces = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}, {0, 1, 2}};
  SceneDesc scene;
  scene.meshes = {mesh};
  ChunkFile file(build_file(scene));
  auto vertices = loadVertexList(file, "Fan");
  StdoutCapture out;
  auto faces = loadFaceList(file, "Fan", vertices.get());
  EXPECT_EQ(out.take(), "\n4D4D trouve\n3D3D trouve\n0x4000 trouve\nobject name : Fan\n");
  ASSERT_NE(faces, nullptr);
  EXPECT_EQ(faces->getCount(), 5);
  const vertex3d& shared = *(*vertices)[0];
  EXPECT_EQ(shared.faceRefCount, 3);
  EXPECT_EQ(std::vector<int>(shared.faceRefs, shared.faceRefs + 3), (std::vector<int>{0, 1, 2}));
  const vertex3d& unused = *(*vertices)[3];
  EXPECT_EQ(unused.faceRefCount, 0);
  EXPECT_EQ(std::vector<int>(unused.faceRefs, unused.faceRefs + 3), (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ((*faces)[1]->cornerB, (*vertices)[2]);
}

TEST_F(MeshImport, FacesNamingMissingVerticesAreRejected) {
  MeshDesc mesh = triangle("Box01");
  mesh.faces = {{0, 1, 7}, {2, 1, 0}, {3, 0, 0}};
  SceneDesc scene;
  scene.meshes = {mesh};
  ChunkFile file(build_file(scene));
  auto vertices = loadVertexList(file, "Box01");
  auto faces = loadFaceList(file, "Box01", vertices.get());
  ASSERT_NE(faces, nullptr);
  ASSERT_EQ(faces->getCount(), 1);
  EXPECT_EQ((*faces)[0]->cornerA, (*vertices)[2]);
  // References count positions in the list as stored.
  EXPECT_EQ((*vertices)[0]->faceRefs[0], 0);
  EXPECT_EQ((*vertices)[0]->faceRefCount, 1);
  EXPECT_EQ(loadFaceList(file, "Box01", nullptr), nullptr);
}

TEST_F(MeshImport, MappingWrapsNegativeCoordinates) {
  MeshDesc mesh = triangle("Box01");
  mesh.mapping = {{-0.25f, 0.0f}, {1.5f, -1.5f}, {0.5f, 0.25f}, {0.9f, 0.9f}};  // one too many
  SceneDesc scene;
  scene.meshes = {mesh};
  ChunkFile file(build_file(scene));
  auto vertices = loadVertexList(file, "Box01");
  StdoutCapture out;
  EXPECT_EQ(loadMapping(file, "Box01", vertices.get()), MESH_LOADED);
  EXPECT_EQ(out.take(), "\n");
  EXPECT_EQ((*vertices)[0]->u, 0.75f);
  EXPECT_EQ((*vertices)[0]->v, 0.0f);
  EXPECT_EQ((*vertices)[1]->u, 1.5f);
  EXPECT_EQ((*vertices)[1]->v, -0.5f);
  EXPECT_EQ((*vertices)[2]->v, 0.25f);
}

TEST_F(MeshImport, MappingResultCodes) {
  SceneDesc scene;
  scene.meshes = {triangle("NoMap")};
  scene.lights = {{"Omni01", {0, 0, 0}}};
  const auto bytes = build_file(scene);
  ChunkFile file(bytes);
  auto vertices = loadVertexList(file, "NoMap");
  EXPECT_EQ(loadMapping(file, "NoMap", vertices.get()), MAPPING_NO_COORDINATES);
  EXPECT_EQ(loadMapping(file, "Omni01", vertices.get()), MESH_NO_TRIMESH);
  EXPECT_EQ(loadMapping(file, "Nobody", vertices.get()), MESH_OBJECT_NOT_FOUND);
  SceneDesc no_editor;
  no_editor.write_editor = false;
  ChunkFile without_editor(build_file(no_editor));
  EXPECT_EQ(loadMapping(without_editor, "NoMap", vertices.get()), MESH_NO_EDITOR);
  ChunkFile empty(std::vector<std::uint8_t>{});
  EXPECT_EQ(loadMapping(empty, "NoMap", vertices.get()), MESH_NO_MAIN);
}

TEST_F(MeshImport, TextureOfTheFirstMaterialGroup) {
  MeshDesc mesh = triangle("Box01", "Wood");
  mesh.materials.push_back({"Stone", {0}});
  SceneDesc scene;
  scene.materials = {{"Stone", "stone.bmp"}, {"Wood", "wood.bmp"}};
  scene.meshes = {mesh};
  writeImage("wood.bmp");
  ChunkFile file(build_file(scene));
  std::unique_ptr<MeshTexture> texture;
  StdoutCapture out;
  EXPECT_EQ(loadTexture(file, "Box01", texture, data()), MESH_LOADED);
  EXPECT_EQ(out.take(), "\n0x4000 trouve");
  ASSERT_NE(texture, nullptr);
  EXPECT_STREQ(texture->getName(), "wood");
  ASSERT_NE(texture->getTexture(), nullptr);
  EXPECT_EQ(texture->getTexture()->source(), "wood.bmp");
}

TEST_F(MeshImport, TextureResultCodes) {
  MaterialDesc specular_only{"Shiny", "shiny.png", CHUNK_SPECULAR_MAP};
  MaterialDesc no_file{"NoFile", "x.png"};
  no_file.write_map_file = false;
  SceneDesc scene;
  scene.materials = {specular_only, no_file, {"Plain", ""}};
  scene.meshes = {triangle("Bare"), triangle("Shiny", "Shiny"), triangle("NoFile", "NoFile"),
                  triangle("Unknown", "Missing"), triangle("Plain", "Plain")};
  scene.lights = {{"Omni01", {0, 0, 0}}};
  ChunkFile file(build_file(scene));
  std::unique_ptr<MeshTexture> texture;
  EXPECT_EQ(loadTexture(file, "Bare", texture, data()), TEXTURE_NO_FACE_MATERIAL);
  EXPECT_EQ(loadTexture(file, "Shiny", texture, data()), TEXTURE_NO_TEXTURE_MAP);
  EXPECT_EQ(loadTexture(file, "NoFile", texture, data()), TEXTURE_NO_MAP_FILE);
  EXPECT_EQ(loadTexture(file, "Unknown", texture, data()), TEXTURE_MATERIAL_NOT_FOUND);
  EXPECT_EQ(loadTexture(file, "Plain", texture, data()), TEXTURE_NO_TEXTURE_MAP);
  EXPECT_EQ(loadTexture(file, "Omni01", texture, data()), MESH_NO_TRIMESH);
  EXPECT_EQ(loadTexture(file, "Nobody", texture, data()), MESH_OBJECT_NOT_FOUND);
  EXPECT_EQ(texture, nullptr);

  // A material chunk without a name chunk.
  SceneDesc unnamed;
  unnamed.objects = {Chunk(CHUNK_MATERIAL).add(Chunk(0xA010).u16(0)),
                     mesh_object(triangle("Box", "M"))};
  ChunkFile unnamed_file(build_file(unnamed));
  EXPECT_EQ(loadTexture(unnamed_file, "Box", texture, data()), TEXTURE_MATERIAL_WITHOUT_NAME);

  MeshDesc no_faces = triangle("NoFaces");
  no_faces.write_faces = false;
  SceneDesc faceless;
  faceless.meshes = {no_faces};
  ChunkFile faceless_file(build_file(faceless));
  EXPECT_EQ(loadTexture(faceless_file, "NoFaces", texture, data()), TEXTURE_NO_FACES);
}

TEST_F(MeshImport, LoadingConstructorLogsEachFailedPiece) {
  SceneDesc scene;
  scene.meshes = {triangle("Bare")};
  scene.lights = {{"Omni01", {0, 0, 0}}};
  writeScene("scene.3ds", scene);
  {
    Mesh3d mesh(path("scene.3ds").c_str(), "Bare", FVF_XYZ_DIFFUSE_TEX1, data());
    EXPECT_STREQ(mesh.getName(), "Bare");
    EXPECT_EQ(mesh.vertexFormat, 322u);
    EXPECT_EQ(mesh.blendEnabled, 0);
    EXPECT_EQ(mesh.visible, 1);
    EXPECT_EQ(mesh.getTexture(), nullptr);
  }
  EXPECT_EQ(logText(), "\nBare : Mapping coordinates load problem\nBare : Texture Load problem");
  {
    Mesh3d light(path("scene.3ds").c_str(), "Omni01", FVF_XYZ_DIFFUSE, data());
    EXPECT_EQ(light.getVertexList(), nullptr);
    EXPECT_EQ(light.getFaceList(), nullptr);
  }
  EXPECT_EQ(logText(),
            "\nBare : Mapping coordinates load problem\nBare : Texture Load problem"
            "\nOmni01 : Vertex list load problem\nOmni01 : Face list load problem");
}

TEST_F(MeshImport, Format66ReadsOnlyVerticesAndFaces) {
  SceneDesc scene;
  scene.meshes = {triangle("Bare")};
  writeScene("scene.3ds", scene);
  StdoutCapture out;
  Mesh3d mesh(path("scene.3ds").c_str(), "Bare", FVF_XYZ_DIFFUSE, data());
  EXPECT_EQ(out.take(),
            "\n4D4D trouve\n3D3D trouve\nobject name : Bare\nnbvert:3\n"
            "\n4D4D trouve\n3D3D trouve\n0x4000 trouve\nobject name : Bare\n");
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(mesh.getFaceList()->getCount(), 1);
}

TEST_F(MeshImport, MissingFileGivesAnEmptyMesh) {
  StdoutCapture out;
  Mesh3d mesh(path("absent.3ds").c_str(), "Box", FVF_XYZ_NORMAL_DIFFUSE_TEX1, data());
  EXPECT_EQ(out.take().rfind("pb d'ouverture du fichier", 0), 0u);
  EXPECT_EQ(mesh.getVertexList(), nullptr);
  EXPECT_NE(logText().find("\nBox : Vertex list load problem"), std::string::npos);
}

TEST_F(MeshImport, NegativeCountsReadNothing) {
  SceneDesc scene;
  scene.objects = {
      named_object("Neg", Chunk(CHUNK_TRIMESH)
                              .add(Chunk(CHUNK_VERTICES).i16(-2).vec({1, 2, 3}))
                              .add(Chunk(CHUNK_FACES).i16(-1).u16(0).u16(0).u16(0).u16(0)))};
  ChunkFile file(build_file(scene));
  auto vertices = loadVertexList(file, "Neg");
  ASSERT_NE(vertices, nullptr);
  EXPECT_EQ(vertices->getCount(), 0);
  auto faces = loadFaceList(file, "Neg", vertices.get());
  ASSERT_NE(faces, nullptr);
  EXPECT_EQ(faces->getCount(), 0);
}

TEST_F(MeshImport, CutFilesKeepWhatWasReadBeforeTheCut) {
  MeshDesc mesh;
  mesh.name = "Grid";
  for (int i = 0; i < 40; ++i) mesh.vertices.push_back({float(i), 1, 2});
  for (std::uint16_t i = 0; i + 2 < 40; ++i) {
    mesh.faces.push_back({i, std::uint16_t(i + 1), std::uint16_t(i + 2)});
  }
  mesh.mapping.assign(40, {0.5f, -0.5f});
  mesh.materials = {{"M", {0}}};
  SceneDesc scene;
  scene.materials = {{"M", "m.bmp"}};
  scene.meshes = {mesh};
  const auto whole = build_file(scene);
  StdoutCapture out;
  int last_vertices = 0;
  for (std::size_t size = 0; size <= whole.size(); size += 3) {
    writeBytes("cut.3ds", truncated(whole, size));
    Mesh3d cut(path("cut.3ds").c_str(), "Grid", FVF_XYZ_NORMAL_DIFFUSE_TEX1, data());
    const int vertices = cut.getVertexList() ? cut.getVertexList()->getCount() : 0;
    EXPECT_LE(vertices, 40);
    EXPECT_GE(vertices, last_vertices);  // a longer file never keeps less
    last_vertices = vertices;
    if (cut.getFaceList()) {
      EXPECT_LE(cut.getFaceList()->getCount(), 38);
    }
    out.take();
  }
  EXPECT_EQ(last_vertices, 0 + 40);
}

}  // namespace
