# Warnings as errors for our own code only: third-party headers come in as SYSTEM includes.
add_library(pagoling_warnings INTERFACE)
target_compile_options(pagoling_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror>
  $<$<CXX_COMPILER_ID:MSVC>:/W4 /WX /utf-8>)
# GCC 12 reports overlapping copies inside std::string concatenation at -O2 and above that cannot
# happen (GCC bug 105329); the check is trustworthy again from GCC 13.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(pagoling_warnings INTERFACE -Wno-restrict)
endif()
