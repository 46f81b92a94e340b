#pragma once
// The show's data names come from a platform whose file names ignore case
// ("echec.3DS" and "echec.3ds" are one file). On a case-sensitive disk:
//
//   find_file_any_case(name)   `name` when it exists as spelled; otherwise the
//                              one file of its folder whose name matches it
//                              without regard to ASCII case (the first in name
//                              order if several do); otherwise `name` unchanged,
//                              so that the caller reports the missing file as
//                              the show spells it.

#include <string>

std::string find_file_any_case(const std::string& name);
// Whether two names are one without regard to ASCII case.
bool same_ignoring_case(const std::string& a, const std::string& b);
