// The device's resources: vertex buffers and textures, their lifetimes, the
// pool of released buffers, and the texture loader.
#include <algorithm>

#include "gfx/device_core.h"
#include "gfx/trace_args.h"

using namespace trace_args;

CoreBuffer::CoreBuffer(DeviceCore* owner, std::uint32_t length, DWORD usage, DWORD fvf)
    : owner_(owner), storage_(length), length_(length), usage_(usage), fvf_(fvf) {}

void CoreBuffer::reset(std::uint32_t length, DWORD usage, DWORD fvf, int id) {
  // resize within the old capacity allocates nothing: pooled buffers stay heap-quiet.
  storage_.resize(length);
  length_ = length;
  usage_ = usage;
  fvf_ = fvf;
  locked_ = false;
  id_ = id;
}

HRESULT CoreBuffer::lock_storage(std::uint32_t offset, std::uint32_t size, std::uint8_t** data) {
  if (data == nullptr || locked_ || offset > length_) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint32_t span = size == 0 ? length_ - offset : size;
  if (span > length_ - offset) {
    return D3DERR_INVALIDCALL;
  }
  locked_ = true;
  *data = storage_.data() + offset;
  return D3D_OK;
}

HRESULT CoreBuffer::unlock_storage() {
  if (!locked_) {
    return D3DERR_INVALIDCALL;
  }
  locked_ = false;
  contents_changed();
  return D3D_OK;
}

HRESULT CoreBuffer::Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
                         DWORD flags) {
  return owner_ != nullptr ? owner_->lock_buffer(this, offset, size, data, flags)
                           : lock_storage(offset, size, data);
}

HRESULT CoreBuffer::Unlock() {
  return owner_ != nullptr ? owner_->unlock_buffer(this) : unlock_storage();
}

void CoreBuffer::Release() {
  if (owner_ != nullptr) {
    owner_->release_buffer(this);
  } else {
    delete this;
  }
}

CoreTexture::CoreTexture(DeviceCore* owner, std::uint32_t width, std::uint32_t height,
                         std::string source)
    : owner_(owner), width_(width), height_(height), source_(std::move(source)) {}

void CoreTexture::Release() {
  if (owner_ != nullptr) {
    owner_->release_texture(this);
  } else {
    delete this;
  }
}

void DeviceCore::orphan_resources() {
  for (CoreBuffer* buffer : buffers_) {
    buffer->free_backend();
    if (buffer == sprite_quad_ || buffer->pooled) {
      delete buffer;
    } else {
      buffer->orphan();
    }
  }
  sprite_quad_ = nullptr;
  for (CoreTexture* texture : textures_) {
    texture->free_backend();
    texture->orphan();
  }
  buffers_.clear();
  textures_.clear();
  state_.texture = nullptr;
  state_.stream = nullptr;
}

void DeviceCore::release_buffer(CoreBuffer* buffer) {
  if (buffer->locked()) {
    note_misuse(Misuse::release_while_locked, buffer);
  }
  if (!recorders_.empty()) {
    publish(CallRecord{"Release", {arg("buffer", buffer_value(buffer))}, D3D_OK});
  }
  // Direct3D would keep a bound buffer alive by its reference; we unbind it
  // instead, so that nothing ever draws from a freed or recycled buffer.
  if (state_.stream == buffer) {
    state_.stream = nullptr;
    state_.dirty |= DIRTY_STREAM;
  }
  if (pool_buffers_) {
    buffer->pooled = true;
    return;
  }
  buffer->free_backend();
  buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
  delete buffer;
}

void DeviceCore::release_texture(CoreTexture* texture) {
  if (state_.texture == texture) {
    state_.texture = nullptr;
    state_.dirty |= DIRTY_TEXTURE;
  }
  texture->free_backend();
  textures_.erase(std::remove(textures_.begin(), textures_.end(), texture), textures_.end());
  delete texture;
}

HRESULT DeviceCore::make_vertex_buffer(std::uint32_t length, DWORD usage, DWORD fvf,
                                       VertexBuffer** buffer) {
  if (buffer == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint32_t stride = fvf_stride(fvf);
  if (length == 0 || (fvf != 0 && stride != 0 && length < stride)) {
    return D3DERR_INVALIDCALL;
  }
  const int id = next_buffer_id_++;
  CoreBuffer* made = pool_buffers_ ? pooled_buffer(length) : nullptr;
  if (made != nullptr) {
    made->pooled = false;
    made->reset(length, usage, fvf, id);
  } else {
    made = make_buffer(length, usage, fvf);
    if (made == nullptr) {
      return E_FAIL;
    }
    made->reset(length, usage, fvf, id);
    buffers_.push_back(made);
  }
  *buffer = made;
  return D3D_OK;
}

CoreBuffer* DeviceCore::pooled_buffer(std::uint32_t length) {
  // The smallest pooled buffer that holds `length` bytes, else the largest one (it grows).
  CoreBuffer* best = nullptr;
  for (CoreBuffer* buffer : buffers_) {
    if (!buffer->pooled) {
      continue;
    }
    const bool fits = buffer->capacity() >= length;
    const bool best_fits = best != nullptr && best->capacity() >= length;
    if (best == nullptr || (fits && (!best_fits || buffer->capacity() < best->capacity())) ||
        (!fits && !best_fits && buffer->capacity() > best->capacity())) {
      best = buffer;
    }
  }
  return best;
}

HRESULT DeviceCore::load_texture(const char* path, bool use_color_key, D3DCOLOR color_key,
                                 Texture** texture) {
  if (texture == nullptr || path == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  Image image;
  std::string error;
  if (!load_image_file((file_folder_ / path).string(), image, error)) {
    return E_FAIL;
  }
  if (use_color_key) {
    apply_color_key(image, color_key);
  }
  CoreTexture* made = make_texture(image, path);
  if (made == nullptr) {
    return E_FAIL;
  }
  textures_.push_back(made);
  *texture = made;
  return D3D_OK;
}
