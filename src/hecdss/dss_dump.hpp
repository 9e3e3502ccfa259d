#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace hecdss {

// The dssdump program on its arguments (without the program name): lists pathnames or prints
// series as date, time and value lines. Returns the exit status: 0 done, 1 a file or record
// could not be read, 2 wrong arguments.
int RunDssDump(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace hecdss
