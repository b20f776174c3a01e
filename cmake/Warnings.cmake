# Warnings as errors for our own code only: third-party headers come in as SYSTEM includes.
add_library(pagoling_warnings INTERFACE)
target_compile_options(pagoling_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror>
  $<$<CXX_COMPILER_ID:MSVC>:/W4 /WX /utf-8>)
