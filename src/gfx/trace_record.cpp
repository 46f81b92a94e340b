#include "gfx/trace_record.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

using Kind = TraceValue::Kind;

TraceValue of_kind(Kind kind, std::int64_t whole = 0, std::string word = {}) {
  TraceValue value;
  value.kind = kind;
  value.whole = whole;
  value.word = std::move(word);
  return value;
}

template <typename Number>
std::string printed(const char* format, Number value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string value_text(const TraceValue& value, bool spliced);

std::string arg_text(const TraceArg& arg, bool top_level) {
  if (arg.shown == TraceArg::Shown::labelled) {
    return arg.name + " " + value_text(arg.value, false);
  }
  // A list given alone at the top reads as the call's own arguments.
  return value_text(arg.value, top_level);
}

template <typename Item, typename Render>
std::string joined(const std::vector<Item>& items, const char* separator, Render render) {
  std::string out;
  for (const Item& item : items) {
    out += (out.empty() ? "" : separator) + render(item);
  }
  return out;
}

std::string value_text(const TraceValue& value, bool spliced) {
  switch (value.kind) {
    case Kind::integer:
      return std::to_string(value.whole);
    case Kind::real:
      return printed("%g", value.number);
    case Kind::symbol:
    case Kind::named_number:
    case Kind::none:
      return value.word;
    case Kind::color:
      return hex_text(static_cast<DWORD>(value.whole));
    case Kind::boolean:
      return value.whole != 0 ? "TRUE" : "FALSE";
    case Kind::text:
      return "\"" + value.word + "\"";
    case Kind::buffer:
      return value.whole == 0 ? std::string("NULL") : "vb#" + std::to_string(value.whole);
    case Kind::list: {
      const std::string inner =
          joined(value.items, ", ", [](const TraceValue& item) { return value_text(item, false); });
      return spliced ? inner : "(" + inner + ")";
    }
    case Kind::fields:
      return joined(value.members, ", ", [](const TraceArg& member) {
        return member.name + " " + value_text(member.value, false);
      });
  }
  return {};
}

std::string value_json(const TraceValue& value) {
  switch (value.kind) {
    case Kind::integer:
    case Kind::named_number:
    case Kind::buffer:
      return std::to_string(value.whole);
    case Kind::real:
      return json_number(value.number);
    case Kind::symbol:
    case Kind::text:
      return json_string(value.word);
    case Kind::color:
      return json_color(static_cast<DWORD>(value.whole));
    case Kind::boolean:
      return value.whole != 0 ? "true" : "false";
    case Kind::none:
      return "null";
    case Kind::list:
      return "[" + joined(value.items, ",", value_json) + "]";
    case Kind::fields:
      return "{" +
             joined(value.members, ",",
                    [](const TraceArg& member) {
                      return json_string(member.name) + ":" + value_json(member.value);
                    }) +
             "}";
  }
  return {};
}

}  // namespace

TraceValue TraceValue::integer(std::int64_t value) { return of_kind(Kind::integer, value); }

TraceValue TraceValue::real(double value) {
  TraceValue made = of_kind(Kind::real);
  made.number = value;
  return made;
}

TraceValue TraceValue::symbol(std::string name, std::int64_t number) {
  return of_kind(Kind::symbol, number, std::move(name));
}

TraceValue TraceValue::named_number(std::string name, std::int64_t value) {
  return of_kind(Kind::named_number, value, std::move(name));
}

TraceValue TraceValue::color(DWORD argb) { return of_kind(Kind::color, argb); }

TraceValue TraceValue::boolean(bool value) { return of_kind(Kind::boolean, value ? 1 : 0); }

TraceValue TraceValue::text(std::string value) { return of_kind(Kind::text, 0, std::move(value)); }

TraceValue TraceValue::none(const char* shown_as) { return of_kind(Kind::none, 0, shown_as); }

TraceValue TraceValue::buffer(int id) { return of_kind(Kind::buffer, id); }

TraceValue TraceValue::list(std::vector<TraceValue> items) {
  TraceValue made = of_kind(Kind::list);
  made.items = std::move(items);
  return made;
}

TraceValue TraceValue::fields(std::vector<TraceArg> members) {
  TraceValue made = of_kind(Kind::fields);
  made.members = std::move(members);
  return made;
}

std::string as_text(const CallRecord& record) {
  std::string line = std::string(record.call) + "(";
  std::string outputs;
  bool first = true;
  for (const TraceArg& arg : record.args) {
    if (arg.shown == TraceArg::Shown::output) {
      outputs += " -> " + value_text(arg.value, false);
      continue;
    }
    line += (first ? "" : ", ") + arg_text(arg, true);
    first = false;
  }
  line += ")";
  return record.result == D3D_OK ? line + outputs : line + " -> " + result_name(record.result);
}

std::string as_json(const CallRecord& record) {
  std::string line = std::string("{\"call\":\"") + record.call + "\"";
  for (const TraceArg& arg : record.args) {
    line += "," + json_string(arg.name) + ":" + value_json(arg.value);
  }
  if (record.result != D3D_OK) {
    line += ",\"result\":" + json_string(result_name(record.result));
  }
  return line + "}";
}

std::string result_name(HRESULT result) {
  if (result == D3D_OK) return "D3D_OK";
  if (result == E_FAIL) return "E_FAIL";
  if (result == D3DERR_INVALIDCALL) return "D3DERR_INVALIDCALL";
  return hex_text(static_cast<DWORD>(result));
}

std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x80) {
      // Bytes that are not ASCII are shown as the Latin-1 character of the
      // same number, so that a name like "Cam\xE9ra01" stays valid JSON.
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string json_number(double value) {
  if (!std::isfinite(value)) {
    return "null";
  }
  return printed("%.9g", value);
}

std::string hex_text(DWORD value) { return printed("0x%08X", value); }

std::string json_color(DWORD color) { return "\"" + hex_text(color) + "\""; }
