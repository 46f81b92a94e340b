#pragma once
// --trace FILE: every call the device makes and every misuse it notices,
// written to FILE as one JSON object per line, with the show's frame lines
// between (see trace_record.h for the call lines).
//
//   JsonTrace(file)   attach it to the device for the run
//   ok()              false when the file could not be opened
//   frame(n, t)       {"frame":n,"t":t}

#include <cstdio>
#include <string>

#include "gfx/trace_record.h"

class JsonTrace : public CallRecorder {
 public:
  explicit JsonTrace(const std::string& file);
  ~JsonTrace() override;
  JsonTrace(const JsonTrace&) = delete;
  JsonTrace& operator=(const JsonTrace&) = delete;

  bool ok() const { return out_ != nullptr; }
  void frame(long number, int t);
  void call(const CallRecord& record) override;
  // {"misuse":"DrawPrimitive outside BeginScene/EndScene"}
  void misuse(const std::string& what) override;

 private:
  void line(const std::string& text);

  std::FILE* out_ = nullptr;
};
