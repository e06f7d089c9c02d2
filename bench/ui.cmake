# The UI toolkit: building the largest skin, and a key picture repainting at 100 Hz.
if(TARGET brom_editors)
  find_package(Qt6 COMPONENTS Test REQUIRED)
  brom_bench(bench_ui SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_ui.cpp
    DEPS brom_editors brom_ui brom_platform Qt6::Test)
endif()
