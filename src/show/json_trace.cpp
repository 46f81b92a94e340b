#include "show/json_trace.h"

JsonTrace::JsonTrace(const std::string& file) : out_(std::fopen(file.c_str(), "w")) {}

JsonTrace::~JsonTrace() {
  if (out_ != nullptr) {
    std::fclose(out_);
  }
}

void JsonTrace::line(const std::string& text) {
  if (out_ != nullptr) {
    std::fprintf(out_, "%s\n", text.c_str());
  }
}

void JsonTrace::frame(long number, int t) {
  line("{\"frame\":" + std::to_string(number) + ",\"t\":" + std::to_string(t) + "}");
}

void JsonTrace::call(const CallRecord& record) { line(as_json(record)); }

void JsonTrace::misuse(const std::string& what) { line("{\"misuse\":" + json_string(what) + "}"); }
