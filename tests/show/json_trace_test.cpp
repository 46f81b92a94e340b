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

// Every call the device answers is written with its arguments by name.
TEST(JsonTrace, PassesCallsOnAndWritesThemAsLines) {
  const std::filesystem::path dir = fresh_folder("plovermix-json-trace");
  write_bmp(dir / "sp1.bmp", 4, 4, 0x0000FF);
  TraceDevice inner;
  {
    JsonTrace trace((dir / "trace.jsonl").string());
    ASSERT_TRUE(trace.ok());
    inner.AttachRecorder(&trace);
    trace.frame(0, 16);
    Texture* texture = nullptr;
    ASSERT_EQ(inner.CreateTextureFromFile((dir / "sp1.bmp").c_str(), true, 0xFF000000u, &texture),
              D3D_OK);
    VertexBuffer* buffer = nullptr;
    ASSERT_EQ(inner.CreateVertexBuffer(3 * 24, 0, FVF_XYZ_DIFFUSE_TEX1, D3DPOOL_DEFAULT, &buffer),
              D3D_OK);
    std::uint8_t* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::fill(data, data + 3 * 24, std::uint8_t{0});
    buffer->Unlock();
    inner.SetRenderState(D3DRS_LIGHTING, FALSE);
    inner.BeginScene();
    inner.SetStreamSource(0, buffer, 24);
    inner.SetVertexShader(FVF_XYZ_DIFFUSE_TEX1);
    inner.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    SpriteDraw sprite;
    sprite.position_x = 10;
    sprite.position_y = 10;
    sprite.color = 0x33FFFFFFu;
    inner.DrawSprite(texture, sprite);
    inner.EndScene();
    inner.SetStreamSource(0, nullptr, 0);
    buffer->Release();
    texture->Release();
    EXPECT_EQ(inner.CreateTextureFromFile((dir / "none.bmp").c_str(), true, 0xFF000000u, &texture),
              E_FAIL);
    inner.DetachRecorder(&trace);
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
  JsonTrace trace("/nonexistent-folder/trace.jsonl");
  EXPECT_FALSE(trace.ok());
  inner.AttachRecorder(&trace);
  EXPECT_EQ(inner.Present(), D3D_OK);  // the device goes on
}

// Misuse shows in the trace at each occurrence, and reaches the reporter once per kind.
TEST(JsonTrace, MisuseIsTracedAndReportedOncePerKind) {
  const std::filesystem::path dir = fresh_folder("plovermix-json-misuse");
  std::vector<std::string> reported;
  TraceDevice inner;
  inner.SetMisuseReporter([&](const std::string& what) { reported.push_back(what); });
  {
    JsonTrace trace((dir / "trace.jsonl").string());
    inner.AttachRecorder(&trace);
    inner.EndScene();
    inner.EndScene();
    inner.DetachRecorder(&trace);
  }
  EXPECT_EQ(reported, std::vector<std::string>{"EndScene without BeginScene"});
  EXPECT_EQ(inner.misuse_count(Misuse::end_scene_without_begin), 2);
  EXPECT_EQ(
      read_lines(dir / "trace.jsonl"),
      (std::vector<std::string>{"{\"misuse\":\"EndScene without BeginScene\"}",
                                "{\"call\":\"EndScene\",\"result\":\"D3DERR_INVALIDCALL\"}",
                                "{\"misuse\":\"EndScene without BeginScene\"}",
                                "{\"call\":\"EndScene\",\"result\":\"D3DERR_INVALIDCALL\"}"}));
  std::filesystem::remove_all(dir);
}

}  // namespace
