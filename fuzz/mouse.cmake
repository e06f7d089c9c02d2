# Macro list and macro / fire-key event files, from arbitrary bytes.
brom_fuzzer(fuzz_macro_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_macro_file.cpp
  DEPS brom_macro)
