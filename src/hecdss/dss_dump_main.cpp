#include <iostream>
#include <string>
#include <vector>

#include "hecdss/dss_dump.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return hecdss::RunDssDump(arguments, std::cout, std::cerr);
}
