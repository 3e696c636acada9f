# One interface target that every project target links, so the warning set is decided in one place.
add_library(pelmora_warnings INTERFACE)
target_compile_options(pelmora_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
  -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(PELMORA_WERROR)
  target_compile_options(pelmora_warnings INTERFACE -Werror)
endif()
