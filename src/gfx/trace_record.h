#pragma once
// One device call as a trace sees it: its name, its arguments by name and its
// result, printed as a readable line for tests or as a JSON line for --trace.
//
//   TraceValue::integer(n), real(x), ...   typed argument values
//   as_text(record)     SetRenderState(D3DRS_FOGENABLE, TRUE)
//   as_json(record)     {"call":"SetRenderState","state":"D3DRS_FOGENABLE","value":"TRUE"}
//   CallRecorder        what a device hands every finished call and every misuse;
//                       it may answer a call in the device's place
//   result_name(hr)     D3D_OK, E_FAIL, D3DERR_INVALIDCALL or hex_text
//   json_string, json_number, json_color   JSON building blocks

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/d3d_types.h"

struct TraceArg;

struct TraceValue {
  enum class Kind {
    integer,
    real,
    symbol,
    named_number,
    color,
    boolean,
    text,
    none,
    buffer,
    list,
    fields
  };

  static TraceValue integer(std::int64_t value);
  static TraceValue real(double value);
  // A Direct3D name: bare in text, a string in JSON. `number`, the value it
  // names, is printed in neither; a recorder may read it back (a draw's type).
  static TraceValue symbol(std::string name, std::int64_t number = 0);
  // A number shown by its name in text and as the number in JSON.
  static TraceValue named_number(std::string name, std::int64_t value);
  static TraceValue color(DWORD argb);
  static TraceValue boolean(bool value);
  // A file name or other free text: quoted in both forms.
  static TraceValue text(std::string value);
  // No object: `shown_as` in text ("NULL", "no key"), null in JSON.
  static TraceValue none(const char* shown_as);
  // A vertex buffer by its number; 0 is no buffer.
  static TraceValue buffer(int id);
  static TraceValue list(std::vector<TraceValue> items);
  static TraceValue fields(std::vector<TraceArg> members);

  Kind kind = Kind::none;
  std::int64_t whole = 0;
  double number = 0.0;
  std::string word;
  std::vector<TraceValue> items;
  std::vector<TraceArg> members;
};

struct TraceArg {
  // plain: the value alone; labelled: "name value" in text; output: after
  // " -> " in text when the call succeeded (a buffer it made).
  enum class Shown { plain, labelled, output };
  std::string name;
  TraceValue value;
  Shown shown = Shown::plain;
};

struct CallRecord {
  const char* call = "";
  std::vector<TraceArg> args;
  HRESULT result = D3D_OK;
};

std::string as_text(const CallRecord& record);
std::string as_json(const CallRecord& record);

class CallRecorder {
 public:
  virtual ~CallRecorder() = default;
  virtual void call(const CallRecord& record) = 0;
  // "DrawPrimitive outside BeginScene/EndScene", at each occurrence.
  virtual void misuse(const std::string& what) = 0;
  // Asked before the call named `call` runs: an answer other than D3D_OK is
  // the call's result, and the call does nothing (tests provoke failures so).
  virtual HRESULT forced_result(const char* /*call*/) { return D3D_OK; }
};

std::string result_name(HRESULT result);
// 0x%08X: colours and unnamed codes.
std::string hex_text(DWORD value);
std::string json_string(const std::string& text);
std::string json_number(double value);
std::string json_color(DWORD color);
