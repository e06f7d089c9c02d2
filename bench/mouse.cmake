# Whole-profile apply to the simulated mouse (cable and receiver).
if(TARGET brom_mouse AND TARGET brom_sim_models)
  brom_bench(bench_mouse SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_mouse.cpp
    DEPS brom_mouse brom_sim_models brom_sim)
  target_compile_definitions(bench_mouse PRIVATE BROM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
