# Compiler warnings and optional sanitizers for our own targets.
add_library(vek_warnings INTERFACE)
target_compile_options(vek_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor>)

# GCC leaves float-cast-overflow out of "undefined": a double too large for its integer
# type must show too.
if(VEK_SANITIZE)
  target_compile_options(vek_warnings INTERFACE
    -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
  target_link_options(vek_warnings INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()

# The fuzz build instruments all our own code for coverage; only the fuzz programs link
# the fuzzer's main.
if(VEK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VEK_FUZZ needs clang (CXX=clang++)")
  endif()
  target_compile_options(vek_warnings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(vek_warnings INTERFACE -fsanitize=address,undefined)
endif()
