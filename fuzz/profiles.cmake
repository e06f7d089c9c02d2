# Profile files of every kind, loaded from arbitrary bytes.
brom_fuzzer(fuzz_profile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_profile.cpp DEPS brom_profiles)
