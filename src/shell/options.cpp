#include "shell/options.h"

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--windowed") {
      options.windowed = true;
    } else if (arg == "--data") {
      if (i + 1 >= args.size()) {
        error = "--data needs a folder";
        return std::nullopt;
      }
      options.data_dir = args[++i];
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
  }
  return options;
}

std::string usage_text() {
  return "usage: plovermix [options]\n"
         "Plays the show from the data files in the working directory (or --data DIR).\n"
         "\n"
         "  --windowed     an 800 x 600 window instead of full screen\n"
         "  --data DIR     the folder holding the show's files; it becomes the working\n"
         "                 directory, so plovermix.log is written there\n"
         "  --help         this text\n"
         "  --version      the version\n";
}
