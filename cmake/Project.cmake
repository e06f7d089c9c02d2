# Shared build settings and helpers for every subsystem.

set(BROM_WARNINGS -Wall -Wextra)

if(BROM_FUZZ)
  # Every library a fuzzer links needs the coverage and sanitizer
  # instrumentation, not only the fuzzer's own source.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(BROM_SANITIZE)
  string(REPLACE ";" "," _brom_san "${BROM_SANITIZE}")
  add_compile_options(-fsanitize=${_brom_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${_brom_san})
endif()

# brom_library(NAME SOURCES ... [DEPS ...] [QT])
# A static library of one subsystem; its folder's parent is the include root,
# so code includes "hid/HidDevice.h" style paths.
function(brom_library name)
  cmake_parse_arguments(A "QT" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${BROM_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# brom_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [ENV ...] [QT] [DBUS])
# DBUS runs the test under its own session bus (dbus-run-session).
# A GoogleTest executable registered with CTest under the given labels.
function(brom_test name)
  if(NOT BROM_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "QT;DBUS" "TIMEOUT" "SOURCES;DEPS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${BROM_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  if(A_DBUS)
    # A private session bus for the test, started and ended with it.
    add_test(NAME ${name} COMMAND dbus-run-session -- $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set(_env "BROMMELIVANTOS_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "QT_QPA_PLATFORM=offscreen" ${A_ENV})
  set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}" TIMEOUT ${A_TIMEOUT} ENVIRONMENT "${_env}")
  if("threads" IN_LIST A_LABELS)
    add_dependencies(brom_threaded_tests ${name})
  endif()
endfunction()

# brom_fuzzer(NAME SOURCES ... [DEPS ...]): a libFuzzer target, built only with BROM_FUZZ.
function(brom_fuzzer name)
  if(NOT BROM_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  add_dependencies(brom_fuzzers ${name})
endfunction()

# The program looks for skin/, Font/ and DefaultData/ beside its executable:
# link them into the build's bin folder so built programs run in place.
function(brom_link_runtime_data)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  foreach(dir skin Font DefaultData)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${dir})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/bin/${dir} SYMBOLIC)
    endif()
  endforeach()
endfunction()

# Umbrella targets: the TSan stage builds only the threaded tests, the fuzz
# stage only the fuzzers.
add_custom_target(brom_threaded_tests)
add_custom_target(brom_fuzzers)
