#include "gfx/trace_device.h"

#include <algorithm>
#include <string_view>

namespace {

class TraceTexture : public CoreTexture {
 public:
  TraceTexture(TraceDevice* device, std::uint32_t width, std::uint32_t height,
               const std::string& source)
      : CoreTexture(device, width, height, source), device_(device) {}
  void free_backend() override {
    if (device_ != nullptr) {
      device_->texture_released(source());
      device_ = nullptr;
    }
  }

 private:
  TraceDevice* device_;
};

}  // namespace

TraceDevice::TraceDevice() { AttachRecorder(this); }

TraceDevice::~TraceDevice() {
  // Textures still alive when the device goes are not released by the show.
  recording_ = false;
  orphan_resources();
}

std::vector<std::string> TraceDevice::calls_starting(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& line : calls_) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      out.push_back(line);
    }
  }
  return out;
}

void TraceDevice::clear_trace() {
  calls_.clear();
  draws_.clear();
  misuse_.clear();
  released_textures_.clear();
}

void TraceDevice::set_recording(bool on) {
  recording_ = on;
  on ? AttachRecorder(this) : DetachRecorder(this);
}

void TraceDevice::fail_next(const std::string& method, HRESULT result, int times) {
  failures_[method] = {result, times};
}

HRESULT TraceDevice::forced_result(const char* call) {
  const auto found = failures_.find(call);
  if (found == failures_.end() || found->second.second <= 0) {
    return D3D_OK;
  }
  --found->second.second;
  return found->second.first;
}

void TraceDevice::call(const CallRecord& record) {
  // Every DrawPrimitive accepted, discarded or not, with the state it ran under.
  if (record.result == D3D_OK && std::string_view(record.call) == "DrawPrimitive") {
    const auto number = [&record](std::string_view name) {
      const auto found = std::find_if(record.args.begin(), record.args.end(),
                                      [name](const TraceArg& arg) { return arg.name == name; });
      return static_cast<std::uint32_t>(found->value.whole);
    };
    record_draw(static_cast<D3DPRIMITIVETYPE>(number("type")), number("start"), number("count"));
  }
  calls_.push_back(as_text(record));
}

void TraceDevice::misuse(const std::string& what) { misuse_.push_back(what); }

void TraceDevice::texture_released(const std::string& source) {
  if (recording_) {
    released_textures_.push_back(source);
  }
}

HRESULT TraceDevice::clear_impl(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float) {
  ++clears_;
  return D3D_OK;
}

HRESULT TraceDevice::present_impl() {
  ++presents_;
  return D3D_OK;
}

HRESULT TraceDevice::draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) {
  if (drawing_sprite() != nullptr) {
    // The sprite's own draw: its line is DrawSprite's; snapshot the states it drew with.
    record_draw(type, first, vertices - 2);
  }
  return D3D_OK;
}

void TraceDevice::record_draw(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count) {
  if (!recording_) {
    return;
  }
  TraceDraw draw;
  // The draw's own line comes next.
  draw.call_index = calls_.size();
  draw.type = type;
  draw.start_vertex = start;
  draw.primitive_count = count;
  draw.sprite = drawing_sprite() != nullptr;
  if (draw.sprite) {
    draw.sprite_args = *drawing_sprite();
  }
  draw.state = state_;
  if (state_.texture != nullptr) {
    draw.texture = state_.texture->source();
  }
  const auto* buffer = static_cast<const CoreBuffer*>(state_.stream);
  if (buffer != nullptr) {
    draw.buffer_id = buffer->id();
    if (keep_vertices_) {
      const std::uint32_t stride = fvf_stride(state_.fvf);
      const std::size_t from = static_cast<std::size_t>(start) * stride;
      const std::size_t bytes = static_cast<std::size_t>(vertex_count(type, count)) * stride;
      if (from + bytes <= buffer->length()) {
        draw.vertices.assign(buffer->bytes() + from, buffer->bytes() + from + bytes);
      }
    }
  }
  draws_.push_back(std::move(draw));
}

CoreBuffer* TraceDevice::make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) {
  return new CoreBuffer(this, length, usage, fvf);
}

CoreTexture* TraceDevice::make_texture(Image& image, const std::string& source) {
  return new TraceTexture(this, image.width, image.height, source);
}
