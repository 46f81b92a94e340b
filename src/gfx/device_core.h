#pragma once
// The one implementation of Device's calls: the checks every call makes, the
// state record the setters write, vertex buffers and textures with their
// lifetimes, the screen sprite drawer, misuse detection and the call records
// that traces print. A backend supplies the hooks at the bottom.
//
//   DeviceCore                  implements Device on top of the hooks
//   CoreBuffer, CoreTexture     the resources; Release() hands them back to their device
//   in_scene(), state()         what a backend or a test reads
//   misuse_count(kind)          how often each kind of misuse happened
//
// The calls are in device_core.cpp, the resources in core_resources.cpp, the
// sprite drawer in core_sprite.cpp; trace_args.h turns arguments into trace values.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/device.h"
#include "gfx/device_state.h"
#include "gfx/image_file.h"

class DeviceCore;

class CoreBuffer : public VertexBuffer {
 public:
  CoreBuffer(DeviceCore* owner, std::uint32_t length, DWORD usage, DWORD fvf);
  HRESULT Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data, DWORD flags) override;
  HRESULT Unlock() override;
  void Release() override;

  std::uint32_t length() const { return length_; }
  DWORD usage() const { return usage_; }
  DWORD fvf() const { return fvf_; }
  bool locked() const { return locked_; }
  // Direct3D's lock rules on the storage, with no check, record or forced
  // answer (Lock and Unlock add those through the owning device).
  HRESULT lock_storage(std::uint32_t offset, std::uint32_t size, std::uint8_t** data);
  HRESULT unlock_storage();
  int id() const { return id_; }
  const std::uint8_t* bytes() const { return storage_.data(); }
  // Reuse for a new CreateVertexBuffer; keeps the storage's capacity.
  void reset(std::uint32_t length, DWORD usage, DWORD fvf, int id);
  // Frees what the backend made for this buffer (the device is going away).
  virtual void free_backend() {}
  // After the device is gone, Release() only frees the object.
  void orphan() { owner_ = nullptr; }
  std::size_t capacity() const { return storage_.capacity(); }
  bool pooled = false;

 protected:
  // Called by Unlock: the contents changed.
  virtual void contents_changed() {}

 private:
  DeviceCore* owner_;
  std::vector<std::uint8_t> storage_;
  std::uint32_t length_;
  DWORD usage_;
  DWORD fvf_;
  bool locked_ = false;
  int id_ = 0;
};

class CoreTexture : public Texture {
 public:
  CoreTexture(DeviceCore* owner, std::uint32_t width, std::uint32_t height, std::string source);
  void Release() override;
  std::uint32_t width() const override { return width_; }
  std::uint32_t height() const override { return height_; }
  const std::string& source() const override { return source_; }
  virtual void free_backend() {}
  void orphan() { owner_ = nullptr; }

 private:
  DeviceCore* owner_;
  std::uint32_t width_;
  std::uint32_t height_;
  std::string source_;
};

// The kinds of misuse the core notices; each is counted and reported once.
enum class Misuse {
  draw_outside_scene,
  draw_without_buffer,
  draw_from_locked_buffer,
  nested_begin_scene,
  end_scene_without_begin,
  present_inside_scene,
  lock_without_unlock,
  release_while_locked,
  sprite_outside_scene,
  count
};

class DeviceCore : public Device {
 public:
  DeviceCore();
  ~DeviceCore() override;
  DeviceCore(const DeviceCore&) = delete;
  DeviceCore& operator=(const DeviceCore&) = delete;

  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT Present() override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, DWORD enable) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT SetTexture(DWORD stage, Texture* texture) override;
  HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) override;
  HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                          std::uint32_t stride) override;
  HRESULT SetVertexShader(DWORD fvf) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                        std::uint32_t primitive_count) override;
  HRESULT CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                Texture** texture) override;
  HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) override;
  void SetFileFolder(const std::string& folder) override { file_folder_ = folder; }

  void SetDiscard(bool discard) override;
  void AttachRecorder(CallRecorder* recorder) override;
  void DetachRecorder(CallRecorder* recorder) override;
  void HoldRecords(bool hold) override;
  DeviceState SaveState() const override { return state_; }
  void RestoreState(const DeviceState& saved) override;
  void SetMisuseReporter(std::function<void(const std::string&)> reporter) override;

  bool in_scene() const { return in_scene_; }
  bool discarding() const { return discard_; }
  const DeviceState& state() const { return state_; }
  int misuse_count(Misuse kind) const { return misuse_counts_[static_cast<int>(kind)]; }
  std::size_t live_textures() const { return textures_.size(); }

  // Resource bookkeeping, used by the resources themselves.
  void release_buffer(CoreBuffer* buffer);
  void release_texture(CoreTexture* texture);
  HRESULT lock_buffer(CoreBuffer* buffer, std::uint32_t offset, std::uint32_t size,
                      std::uint8_t** data, DWORD flags);
  HRESULT unlock_buffer(CoreBuffer* buffer);

 protected:
  // Backend hooks. Arguments are already checked; nothing is called while discarding.
  virtual HRESULT clear_impl(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                             float z) = 0;
  virtual HRESULT present_impl() = 0;
  // Draws `vertices` vertices from `first` with state() as it stands.
  virtual HRESULT draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) = 0;
  virtual CoreBuffer* make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) = 0;
  virtual CoreTexture* make_texture(Image& image, const std::string& source) = 0;

  // Frees every live resource's backend part and detaches the survivors; a
  // backend calls this while its context still exists.
  void orphan_resources();
  // The sprite being drawn while the sprite drawer's own draw runs, else nullptr.
  const SpriteDraw* drawing_sprite() const { return drawing_sprite_; }

  DeviceState state_;
  // A backend that sets this keeps released buffers and hands them out again,
  // so that a buffer made and released every frame costs no allocation.
  bool pool_buffers_ = false;

 private:
  // Runs one call: a recorder's forced answer or `apply`, then the record
  // built by `describe` for each recorder (built only when someone listens).
  template <typename Apply, typename Describe>
  HRESULT traced(const char* call, Apply apply, Describe describe);
  HRESULT forced_result(const char* call) const;
  void publish(const CallRecord& record);
  void note_misuse(Misuse kind, const CoreBuffer* buffer = nullptr);
  HRESULT check_draw(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                     std::uint32_t primitive_count) const;
  HRESULT apply_transform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
  HRESULT apply_viewport(const D3DVIEWPORT8* viewport);
  HRESULT apply_light(DWORD index, const D3DLIGHT8* light);
  HRESULT apply_light_enable(DWORD index, DWORD enable);
  HRESULT make_vertex_buffer(std::uint32_t length, DWORD usage, DWORD fvf, VertexBuffer** buffer);
  HRESULT load_texture(const char* path, bool use_color_key, D3DCOLOR color_key, Texture** texture);
  HRESULT draw_sprite(Texture* texture, const SpriteDraw& sprite);
  CoreBuffer* pooled_buffer(std::uint32_t length);

  std::vector<CoreBuffer*> buffers_;
  std::vector<CoreTexture*> textures_;
  std::vector<CallRecorder*> recorders_;
  std::vector<CallRecorder*> held_recorders_;  // while records are held
  std::function<void(const std::string&)> misuse_reporter_;
  std::filesystem::path file_folder_;
  int misuse_counts_[static_cast<int>(Misuse::count)] = {};
  CoreBuffer* sprite_quad_ = nullptr;
  const SpriteDraw* drawing_sprite_ = nullptr;
  int next_buffer_id_ = 1;
  bool in_scene_ = false;
  bool discard_ = false;
};
