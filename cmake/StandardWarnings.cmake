# Warnings for our own targets only; third-party headers are included as system headers.
add_library(rillfetch_warnings INTERFACE)
target_compile_options(rillfetch_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror)
# g++ 12 reports a false -Wrestrict inside std::string's operator+ when optimising
# (GCC bug 105329); the warning stays on for every other compiler.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(rillfetch_warnings INTERFACE -Wno-restrict)
endif()
