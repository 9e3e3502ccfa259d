# Warnings for our own targets only; third-party headers are included as system headers.
add_library(rillfetch_warnings INTERFACE)
target_compile_options(rillfetch_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror)
