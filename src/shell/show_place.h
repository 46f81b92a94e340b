#pragma once
// Where the show's files are read from and where the log goes, when the
// command line names no data folder. A program started from a desktop's menu
// has no show in its working directory: it then plays the stand-in data
// installed beside it and logs under the user's state folder, never in a
// system folder.
//
//   choose_show_place(data_dir, here_has_show, program, state_home, home)
//     data_dir        --data's folder, empty when not given: used as it is
//     here_has_show   the working directory holds at least one of the show's files
//     program         the running program's own path
//     state_home, home   $XDG_STATE_HOME and $HOME (empty when unset)
//   The installed data is ../share/plovermix/data from the program's folder,
//   used only where that folder exists; its log is
//   $XDG_STATE_HOME/plovermix/plovermix.log, else ~/.local/state/plovermix/.

#include <filesystem>
#include <string>

struct ShowPlace {
  std::string data_dir;  // empty: the working directory
  std::filesystem::path log_file;
  bool installed = false;  // the stand-in data installed beside the program
};

ShowPlace choose_show_place(const std::string& data_dir, bool here_has_show,
                            const std::filesystem::path& program, const std::string& state_home,
                            const std::string& home);
