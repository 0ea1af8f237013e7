# Builds every target with the sanitizers named in HALTWICK_SANITIZE, e.g. "address,undefined"
# or "thread". Any report ends the process with a failure, so a test that trips one fails.
set(HALTWICK_SANITIZE "" CACHE STRING "Sanitizers for every target (-fsanitize=...), empty for none")
option(HALTWICK_FUZZ "Build the fuzz targets (clang only; adds coverage to every target)" OFF)

set(haltwick_sanitizers ${HALTWICK_SANITIZE})
if(HALTWICK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "HALTWICK_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  # Coverage feedback for the fuzzer in all code; only the fuzz targets link its main.
  string(JOIN "," haltwick_sanitizers fuzzer-no-link ${haltwick_sanitizers})
endif()

if(haltwick_sanitizers)
  add_compile_options(-fsanitize=${haltwick_sanitizers} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${haltwick_sanitizers})
  # Default runtime options compiled into every executable, so a report also stops a run that
  # does not go through ctest. Settings in the environment still win.
  add_library(haltwick_sanitize_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitize_defaults.cpp)
  link_libraries(haltwick_sanitize_defaults)
endif()
