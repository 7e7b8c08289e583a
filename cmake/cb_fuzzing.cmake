# Fuzz targets (libFuzzer): built only with CB_BUILD_FUZZ=ON and clang, by scripts/fuzz.sh.
# cb_add_fuzzer(NAME SOURCES a.cpp ... LIBS x y ... [INSTRUMENT z ...])
# The libraries in LIBS, and the further ones named in INSTRUMENT, are compiled with the coverage
# and sanitizer instrumentation too: without it the fuzzer runs blind and an overflow inside the code
# under test goes unnoticed. The fuzz build is a build tree of its own, so this touches nothing else.
function(cb_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;INSTRUMENT" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  foreach(library ${F_LIBS} ${F_INSTRUMENT})
    target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endforeach()
endfunction()
