#include "show/json_trace.h"

#include <gtest/gtest.h>

#include <fstream>

#include "gfx/trace_device.h"
#include "show/bmp_fixture.h"

namespace {

std::vector<std::string> read_lines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

TEST(JsonTrace, StringsStayValidJsonWhateverTheBytes) {
  EXPECT_EQ(json_string("Cam\xE9ra01"), "\"Cam\\u00e9ra01\"");
  EXPECT_EQ(json_string("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
  EXPECT_EQ(json_color(0x33FFFFFFu), "\"0x33FFFFFF\"");
  EXPECT_EQ(json_number(0.5), "0.5");
}

// Every call reaches the real device with the real objects, and is written
// with its arguments by name.
TEST(JsonTrace, PassesCallsOnAndWritesThemAsLines) {
  const std::filesystem::path dir = fresh_folder("plovermix-json-trace");
  write_bmp(dir / "sp1.bmp", 4, 4, 0x0000FF);
  TraceDevice inner;
  {
    JsonTraceDevice trace(inner, (dir / "trace.jsonl").string());
    ASSERT_TRUE(trace.ok());
    trace.frame(0, 16);
    Texture* texture = nullptr;
    ASSERT_EQ(trace.CreateTextureFromFile((dir / "sp1.bmp").c_str(), true, 0xFF000000u, &texture),
              D3D_OK);
    VertexBuffer* buffer = nullptr;
    ASSERT_EQ(trace.CreateVertexBuffer(3 * 24, 0, FVF_XYZ_DIFFUSE_TEX1, D3DPOOL_DEFAULT, &buffer),
              D3D_OK);
    std::uint8_t* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::fill(data, data + 3 * 24, std::uint8_t{0});
    buffer->Unlock();
    trace.SetRenderState(D3DRS_LIGHTING, FALSE);
    trace.BeginScene();
    trace.SetStreamSource(0, buffer, 24);
    trace.SetVertexShader(FVF_XYZ_DIFFUSE_TEX1);
    trace.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    SpriteDraw sprite;
    sprite.position_x = 10;
    sprite.position_y = 10;
    sprite.color = 0x33FFFFFFu;
    trace.DrawSprite(texture, sprite);
    trace.EndScene();
    trace.SetStreamSource(0, nullptr, 0);
    buffer->Release();
    texture->Release();
    EXPECT_EQ(trace.CreateTextureFromFile((dir / "none.bmp").c_str(), true, 0xFF000000u, &texture),
              E_FAIL);
  }
  EXPECT_TRUE(inner.misuse().empty()) << inner.misuse().front();
  ASSERT_EQ(inner.draws().size(), 2u);
  EXPECT_EQ(inner.draws()[1].texture, (dir / "sp1.bmp").string());

  const std::vector<std::string> lines = read_lines(dir / "trace.jsonl");
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "{\"frame\":0,\"t\":16}");
  EXPECT_EQ(lines[2], "{\"call\":\"CreateVertexBuffer\",\"length\":72,\"usage\":0,\"fvf\":\"" +
                          fvf_name(FVF_XYZ_DIFFUSE_TEX1) + "\",\"pool\":0,\"buffer\":1}");
  EXPECT_EQ(lines[3], "{\"call\":\"Lock\",\"buffer\":1,\"offset\":0,\"size\":0,\"flags\":0}");
  EXPECT_EQ(lines[5], "{\"call\":\"SetRenderState\",\"state\":\"D3DRS_LIGHTING\",\"value\":\"" +
                          render_state_value(D3DRS_LIGHTING, FALSE) + "\"}");
  EXPECT_EQ(lines[7], "{\"call\":\"SetStreamSource\",\"stream\":0,\"buffer\":1,\"stride\":24}");
  EXPECT_EQ(lines[10], "{\"call\":\"DrawSprite\",\"texture\":\"" + (dir / "sp1.bmp").string() +
                           "\",\"position\":[10,10],\"scale\":[1,1],\"center\":[0,0],"
                           "\"rotation\":0,\"color\":\"0x33FFFFFF\"}");
  EXPECT_EQ(lines[13], "{\"call\":\"Release\",\"buffer\":1}");
  EXPECT_NE(lines[14].find("\"result\":\"E_FAIL\""), std::string::npos) << lines[14];
  std::filesystem::remove_all(dir);
}

TEST(JsonTrace, AnUnwritableFileIsReported) {
  TraceDevice inner;
  JsonTraceDevice trace(inner, "/nonexistent-folder/trace.jsonl");
  EXPECT_FALSE(trace.ok());
  EXPECT_EQ(trace.Present(), D3D_OK);  // still passes calls on
}

}  // namespace
