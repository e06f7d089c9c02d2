# brommelivantos-skinshot: renders a skin file to PNG offscreen.
if(BROM_BUILD_GUI AND TARGET brom_editors)
  find_package(Qt6 COMPONENTS Test REQUIRED)
  add_executable(brommelivantos-skinshot ${CMAKE_CURRENT_SOURCE_DIR}/skinshot/main.cpp)
  target_include_directories(brommelivantos-skinshot PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(brommelivantos-skinshot PRIVATE ${BROM_WARNINGS})
  target_link_libraries(brommelivantos-skinshot PRIVATE brom_editors brom_ui Qt6::Test)
  install(TARGETS brommelivantos-skinshot RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
