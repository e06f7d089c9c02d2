# udev rules that give the logged-in user access to the supported devices.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/udev/70-brommelivantos.rules
  DESTINATION lib/udev/rules.d)
