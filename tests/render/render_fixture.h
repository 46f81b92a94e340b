#pragma once
// A GL device on a test window (test_window.h), helpers to fill vertex
// buffers and to probe the presented frame.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/device.h"
#include "gfx/device_state.h"
#include "gfx/gl_device.h"
#include "gfx/presenter.h"
#include "render/require_gl.h"
#include "render/test_window.h"

struct Rgb {
  int r, g, b;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Channel value 0..255 of a colour component 0..1, as the frame stores it.
inline int to_byte(double c) {
  return static_cast<int>(std::lround(std::fmin(std::fmax(c, 0.0), 1.0) * 255.0));
}

struct XyzColor {
  float x, y, z;
  D3DCOLOR color;
};
struct XyzColorUv {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
struct XyzNormalColorUv {
  float x, y, z, nx, ny, nz;
  D3DCOLOR color;
  float u, v;
};

class RenderTest : public ::testing::Test {
 protected:
  static constexpr int kTolerance = 2;

  void SetUp() override {
    std::string error;
    if (!window_.open("render test", BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, error)) {
      PLOVERMIX_NO_GL(error);
    }
    GlBackend made = create_gl_device(window_.surface(), error);
    ASSERT_NE(made.device, nullptr) << error;
    device_ = std::move(made.device);
    dev = device_.get();
    presenter = made.presenter;
  }

  void TearDown() override {
    for (VertexBuffer* buffer : buffers_) {
      buffer->Release();
    }
    device_.reset();
  }

  // A vertex buffer holding `vertices`, bound to stream 0 with its format.
  template <typename Vertex>
  void bind_vertices(const std::vector<Vertex>& vertices, DWORD fvf) {
    VertexBuffer* buffer = nullptr;
    const auto bytes = static_cast<std::uint32_t>(vertices.size() * sizeof(Vertex));
    ASSERT_EQ(dev->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer), D3D_OK);
    std::uint8_t* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, bytes, &data, 0), D3D_OK);
    std::memcpy(data, vertices.data(), bytes);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    buffers_.push_back(buffer);
    dev->SetStreamSource(0, buffer, sizeof(Vertex));
    dev->SetVertexShader(fvf);
  }

  void draw(D3DPRIMITIVETYPE type, std::uint32_t count) {
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    ASSERT_EQ(dev->DrawPrimitive(type, 0, count), D3D_OK);
    ASSERT_EQ(dev->EndScene(), D3D_OK);
  }

  void present() {
    ASSERT_EQ(dev->Present(), D3D_OK);
    const std::optional<PixelSize> size = presenter->read_presented_frame(frame_);
    ASSERT_TRUE(size.has_value());
    ASSERT_EQ(*size, presenter->render_size());
    ASSERT_EQ(frame_.size(), static_cast<std::size_t>(size->width) * size->height * 4);
    frame_size_ = *size;
  }

  Rgb pixel(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * frame_size_.width + x) * 4;
    return Rgb{frame_[at], frame_[at + 1], frame_[at + 2]};
  }

  ::testing::AssertionResult near(double px, double py, Rgb expected) const {
    const int x = static_cast<int>(px), y = static_cast<int>(py);
    const Rgb got = pixel(x, y);
    if (std::abs(got.r - expected.r) <= kTolerance && std::abs(got.g - expected.g) <= kTolerance &&
        std::abs(got.b - expected.b) <= kTolerance) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << got << ", expected " << expected;
  }

  void set(D3DRENDERSTATETYPE state, DWORD value) { dev->SetRenderState(state, value); }
  void set_float(D3DRENDERSTATETYPE state, float value) {
    dev->SetRenderState(state, float_state_bits(value));
  }

  Device* dev = nullptr;
  Presenter* presenter = nullptr;
  std::vector<std::uint8_t> frame_;
  PixelSize frame_size_{};

 private:
  TestWindow window_;  // outlives the device made on it
  std::unique_ptr<Device> device_;
  std::vector<VertexBuffer*> buffers_;
};

// Normalised device x, y of a back-buffer pixel position (identity transforms).
inline float ndc_x(float px) { return px / 400.0f - 1.0f; }
inline float ndc_y(float py) { return 1.0f - py / 300.0f; }

// A square of `half` pixels either side of pixel (cx, cy), in camera space
// under identity transforms, at depth z, as two triangles.
inline std::vector<XyzColor> screen_quad(float cx, float cy, float half, float z, D3DCOLOR color) {
  const float x0 = ndc_x(cx - half), x1 = ndc_x(cx + half);
  const float y0 = ndc_y(cy - half), y1 = ndc_y(cy + half);
  return {{x0, y0, z, color}, {x1, y0, z, color}, {x0, y1, z, color},
          {x0, y1, z, color}, {x1, y0, z, color}, {x1, y1, z, color}};
}

// Two triangles covering the square from (x0, y0) to (x1, y1) at depth z.
template <typename Vertex, typename Make>
std::vector<Vertex> quad(float x0, float y0, float x1, float y1, Make make) {
  return {make(x0, y0), make(x1, y0), make(x0, y1), make(x0, y1), make(x1, y0), make(x1, y1)};
}
