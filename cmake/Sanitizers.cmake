# RILLFETCH_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report aborts the test that triggered it.
option(RILLFETCH_SANITIZE "Build with ASan and UBSan" OFF)
if(RILLFETCH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
