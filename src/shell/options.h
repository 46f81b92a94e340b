#pragma once
// The command line. Options never change what the show does; they choose where
// it runs (window, data folder) and how it is watched.

#include <optional>
#include <string>
#include <vector>

#include "show/run_show.h"

struct Options {
  bool windowed = false;
  std::string data_dir;  // empty: the current working directory
  bool help = false;
  bool version = false;
  // How the show is watched: --fixed-step, --frames-at/--out, --trace. Paths
  // are made absolute before --data changes the working directory.
  ShowViewing viewing;
};

// nullopt with `error` set for an unknown option or a missing value.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);
std::string usage_text();
