# Command channel over the simulated bus: one exchange, and a chunked transfer.
if(TARGET brom_devices AND TARGET brom_sim_models)
  brom_bench(bench_devices SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_devices.cpp
    DEPS brom_devices brom_sim_models brom_sim)
endif()
