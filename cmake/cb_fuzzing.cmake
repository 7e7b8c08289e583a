# Fuzz targets. cb_add_fuzzer(NAME SOURCES a.cpp ... LIBS x y ... [INCLUDES dir ...] [INSTRUMENT z ...])
#
# With CB_BUILD_FUZZ=ON (clang, by scripts/fuzz.sh) NAME is a libFuzzer target. The libraries in
# LIBS, and the further ones named in INSTRUMENT, are compiled with the coverage and sanitizer
# instrumentation too: without it the fuzzer runs blind and an overflow inside the code under test
# goes unnoticed. The fuzz build is a build tree of its own, so this touches nothing else.
#
# In the ordinary build with tests, NAME_replay runs the same target over the target folder's
# committed inputs as a CTest test, also in the sanitizer run: seeds/ (files the code reads, some with
# damage it tolerates), damaged/ (files broken so that reading them must fail) and regressions/ (inputs
# that once found a fault: a crash file the fuzzer writes goes there with its fix).
function(cb_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;INCLUDES;INSTRUMENT" ${ARGN})
  if(CB_BUILD_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_include_directories(${name} PRIVATE ${F_INCLUDES})
    foreach(library ${F_LIBS} ${F_INSTRUMENT})
      target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endforeach()
  else()
    add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    cb_target_warnings(${name}_replay)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    target_include_directories(${name}_replay PRIVATE ${F_INCLUDES})
    set(inputs)
    foreach(folder seeds damaged regressions)
      if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
        list(APPEND inputs ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
      endif()
    endforeach()
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${inputs})
    set_tests_properties(${name}_replay PROPERTIES LABELS sanitize TIMEOUT 300)
  endif()
endfunction()
