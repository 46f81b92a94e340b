#pragma once
// Show times and counts as a viewer writes them, on the command line or in a
// page's address.
//
//   parse_whole(text, low, high)   a whole number from low to high, digits only
//   parse_show_time(text)          "100000" (ms), "1:40", "1:40.250": ms
//   parse_times(text, times)       "0,1000,3500": whole ms each, appended;
//                                  false when any is not one

#include <optional>
#include <string>
#include <vector>

std::optional<int> parse_whole(const std::string& text, long low, long high);
std::optional<int> parse_show_time(const std::string& text);
bool parse_times(const std::string& text, std::vector<int>& times);
