// Scenes, lights and texture records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format3ds/chunk_file.h"
#include "scene/light3d.h"
#include "scene/mesh_texture.h"
#include "scene/scene3d.h"
#include "scene/scene_fixture.h"
#include "shell/base/file_lookup.h"

namespace {

using namespace writer3ds;

MeshDesc triangle(const std::string& name) {
  MeshDesc mesh;
  mesh.name = name;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.faces = {{0, 1, 2}};
  return mesh;
}

std::vector<std::string> meshOrder(const Scene3d& scene) {
  std::vector<std::string> names;
  for (int i = 0; i < scene.getMeshCount(); ++i) names.emplace_back(scene.getMesh(i)->getName());
  return names;
}

class SceneLoading : public SceneTest {};

TEST_F(SceneLoading, MeshesNamedLineAreSkipped) {
  SceneDesc desc;
  desc.meshes = {triangle("Line01"), triangle("Box01"), triangle("Liner"), triangle("line01")};
  desc.lights = {{"Omni01", {0, 0, 0}}};
  writeScene("scene.3ds", desc);
  Scene3d scene(data());
  scene.loadMeshes(path("scene.3ds").c_str(), FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  EXPECT_EQ(meshOrder(scene), (std::vector<std::string>{"Box01", "line01"}));
  // Every loaded mesh carries a white ambient material and nothing else.
  const D3DMATERIAL8* material = scene.getMesh(0)->getTexture()->getMaterial();
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->Ambient.r, 1.0f);
  EXPECT_EQ(material->Ambient.a, 1.0f);
  EXPECT_EQ(material->Diffuse.r, 0.0f);
  EXPECT_EQ(material->Power, 0.0f);
  EXPECT_EQ(scene.getMesh(0)->vertexFormat, 338u);
}

TEST_F(SceneLoading, FilesWithoutMeshesGiveEmptyScenes) {
  SceneDesc lights_only;
  lights_only.lights = {{"Omni01", {0, 0, 0}}};
  writeScene("lights.3ds", lights_only);
  writeBytes("empty.3ds", {});
  Scene3d scene(data());
  scene.loadMeshes(path("lights.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  scene.loadMeshes(path("empty.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  scene.loadMeshes(path("absent.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  scene.loadLights(path("absent.3ds").c_str());
  EXPECT_EQ(scene.getMeshCount(), 0);
  EXPECT_EQ(scene.getLightCount(), 0);
}

TEST_F(SceneLoading, FindReturnsTheFirstExactName) {
  SceneDesc desc;
  desc.meshes = {triangle("Box"), triangle("Box"), triangle("Other")};
  desc.meshes[1].vertices[0] = {7, 7, 7};
  desc.lights = {{"Omni01", {1, 2, 3}}, {"Omni02", {4, 5, 6}}};
  writeScene("scene.3ds", desc);
  Scene3d scene(data());
  scene.loadMeshes(path("scene.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  scene.loadLights(path("scene.3ds").c_str());
  ASSERT_EQ(scene.getMeshCount(), 3);
  // Both meshes named Box were loaded from the first object of that name.
  EXPECT_EQ(scene.findMesh("Box"), scene.getMesh(0));
  EXPECT_EQ(scene.findMesh("box"), nullptr);
  EXPECT_EQ(scene.findMesh("Bo"), nullptr);
  ASSERT_EQ(scene.getLightCount(), 2);
  EXPECT_EQ(scene.findLight("Omni02"), scene.getLight(1));
  EXPECT_EQ(scene.findLight("Omni03"), nullptr);
  scene.getMesh(0)->setName(nullptr);
  EXPECT_EQ(scene.findMesh("Box"), scene.getMesh(1));  // unnamed entries never match
}

TEST_F(SceneLoading, MoveToEndSwapsWithTheLast) {
  SceneDesc desc;
  desc.meshes = {triangle("A"), triangle("B"), triangle("C")};
  writeScene("scene.3ds", desc);
  Scene3d scene(data());
  scene.loadMeshes(path("scene.3ds").c_str(), FVF_XYZ_DIFFUSE_TEX1);
  scene.moveToEnd("A");
  EXPECT_EQ(meshOrder(scene), (std::vector<std::string>{"C", "B", "A"}));
  scene.moveToEnd("A");  // already last
  scene.moveToEnd("Z");  // unknown
  EXPECT_EQ(meshOrder(scene), (std::vector<std::string>{"C", "B", "A"}));
  scene.findMesh("B")->setBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
  scene.moveToEnd("B");  // blended meshes stay where they are
  EXPECT_EQ(meshOrder(scene), (std::vector<std::string>{"C", "B", "A"}));
}

class Lights : public SceneTest {};

TEST_F(Lights, ImportedLightIsAWhitePointLight) {
  SceneDesc desc;
  desc.meshes = {triangle("Box")};
  desc.lights = {{"Omni01", {10, -5, 200}, {0.2f, 0.3f, 0.4f}}};
  writeScene("scene.3ds", desc);
  StdoutCapture out;
  Light3d light(path("scene.3ds").c_str(), "Omni01");
  EXPECT_EQ(out.take(), "\n4D4D trouve\n3D3D trouve\nobject name : Box\nobject name : Omni01");
  const D3DLIGHT8& l = light.getLight();
  EXPECT_EQ(l.Type, D3DLIGHT_POINT);
  EXPECT_EQ(l.Position.x, 10.0f);
  EXPECT_EQ(l.Position.y, -5.0f);
  EXPECT_EQ(l.Position.z, 200.0f);
  EXPECT_EQ(l.Diffuse.g, 1.0f);
  EXPECT_EQ(l.Ambient.b, 1.0f);
  EXPECT_EQ(l.Specular.r, 0.0f);
  EXPECT_EQ(l.Range, 1000.0f);
  EXPECT_EQ(l.Attenuation0, 1.0f);
  EXPECT_EQ(l.Attenuation1, 0.0f);
  EXPECT_STREQ(light.getName(), "Omni01");

  ChunkFile file(path("scene.3ds").c_str());
  auto record = loadLight(file, "Omni01");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Type, 0u);
  EXPECT_EQ(record->Range, 0.0f);
  EXPECT_EQ(loadLight(file, "Box"), nullptr);
}

TEST_F(Lights, MissingLightStaysDarkAtTheOrigin) {
  SceneDesc desc;
  desc.meshes = {triangle("Box")};
  writeScene("scene.3ds", desc);
  Light3d light(path("scene.3ds").c_str(), "Box");
  EXPECT_EQ(light.getLight().Position.x, 0.0f);
  EXPECT_EQ(light.getLight().Diffuse.r, 0.0f);
  EXPECT_EQ(light.getLight().Range, 1000.0f);
  EXPECT_EQ(logText(), "\nBox : Light load problem");
}

TEST_F(Lights, SettersTakeAlphaFirst) {
  Light3d light(1, 2, 3);
  EXPECT_EQ(light.getName(), nullptr);
  EXPECT_EQ(light.getLight().Attenuation0, 1.0f);
  light.setAmbient(1.0f, 10.0f, 10.0f, 50.0f);
  light.setDiffuse(0.5f, 0.1f, 0.2f, 0.3f);
  light.setAttenuation(0, 0.5f, 0.25f);
  light.setRange(20);
  const D3DLIGHT8& l = light.getLight();
  EXPECT_EQ(l.Ambient.r, 10.0f);
  EXPECT_EQ(l.Ambient.b, 50.0f);
  EXPECT_EQ(l.Ambient.a, 1.0f);
  EXPECT_EQ(l.Diffuse.a, 0.5f);
  EXPECT_EQ(l.Diffuse.r, 0.1f);
  EXPECT_EQ(l.Attenuation2, 0.25f);
  EXPECT_EQ(l.Range, 20.0f);
  light.dump();
  EXPECT_EQ(logText(),
            "light : c(1.00,2.00,3.00) a(1.00,10.00,10.00,50.00) d(0.50,0.10,0.20,0.30)");
}

class Textures : public SceneTest {};

TEST_F(Textures, BaseNameDropsFourCharacters) {
  EXPECT_EQ(textureBaseName("wood.bmp"), "wood");
  EXPECT_EQ(textureBaseName("a.jpeg"), "a.");  // the last four characters, whatever they are
  EXPECT_EQ(textureBaseName(".bmp"), "");
  EXPECT_EQ(textureBaseName("ab"), "");
}

TEST_F(Textures, MaterialSettersKeepTheOtherColours) {
  MeshTexture record;
  EXPECT_EQ(record.getMaterial(), nullptr);
  record.setDiffuse(0.5f, 0.25f, 1.0f);
  record.setAmbient(1, 1, 1);
  const D3DMATERIAL8& m = *record.getMaterial();
  EXPECT_EQ(m.Diffuse.g, 0.25f);
  EXPECT_EQ(m.Diffuse.a, 1.0f);
  EXPECT_EQ(m.Ambient.a, 1.0f);
  EXPECT_EQ(m.Specular.a, 0.0f);
  EXPECT_EQ(m.Emissive.r, 0.0f);
  EXPECT_EQ(m.Power, 0.0f);
  record.setPower(8);
  record.setSpecular(1, 0, 0);
  record.setEmissive(0, 0, 1);
  EXPECT_EQ(m.Power, 8.0f);
  EXPECT_EQ(m.Specular.r, 1.0f);
  EXPECT_EQ(m.Emissive.b, 1.0f);
}

TEST_F(Textures, UnreadableImageKeepsTheRecord) {
  MeshTexture record(data(), "missing.bmp");
  EXPECT_EQ(record.getTexture(), nullptr);
  EXPECT_STREQ(record.getName(), "missing");
  EXPECT_EQ(record.load(data(), "missing.bmp"), 1);
  writeImage("found.bmp");
  EXPECT_EQ(record.load(data(), "found.bmp"), 0);
  EXPECT_STREQ(record.getName(), "found");
  record.dump();
  EXPECT_EQ(logText(), "\ntexture name found");
}

TEST_F(Textures, FileNamesMatchIgnoringCase) {
  std::filesystem::create_directory(path("maps"));
  writeImage("maps/wall.jpg");
  writeImage("brick.png");
  EXPECT_EQ(data().find("maps/WALL.JPG"), "maps/wall.jpg");
  EXPECT_EQ(data().find("BRICK.PNG"), "brick.png");
  EXPECT_EQ(data().find("brick.png"), "brick.png");
  EXPECT_EQ(data().find("NONE.PNG"), "NONE.PNG");
  MeshTexture record(data(), "BRICK.PNG");
  ASSERT_NE(record.getTexture(), nullptr);
  EXPECT_STREQ(record.getName(), "BRICK");
  { MeshTexture released(data(), "brick.png"); }
  EXPECT_EQ(trace->released_textures(), std::vector<std::string>{"brick.png"});
}

}  // namespace
