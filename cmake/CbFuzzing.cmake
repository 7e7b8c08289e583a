# Fuzz targets (libFuzzer): built only with CB_BUILD_FUZZ=ON and clang, by scripts/fuzz.sh.
# cb_add_fuzzer(NAME SOURCES a.cpp ... LIBS x y ...)
function(cb_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
