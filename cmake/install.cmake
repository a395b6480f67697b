include(GNUInstallDirs)

if(TOVRIN_INSTALL_LAYOUT STREQUAL "user")
	# ~/.config/obs-studio/plugins is the prefix OBS searches per user.
	set(TOVRIN_BIN_DIR tovrin/bin/64bit)
	set(TOVRIN_DATA_DIR tovrin/data)
elseif(TOVRIN_INSTALL_LAYOUT STREQUAL "system")
	set(TOVRIN_BIN_DIR ${CMAKE_INSTALL_LIBDIR}/obs-plugins)
	set(TOVRIN_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/obs/obs-plugins/tovrin)
else()
	message(FATAL_ERROR "TOVRIN_INSTALL_LAYOUT must be system or user")
endif()

install(TARGETS tovrin LIBRARY DESTINATION ${TOVRIN_BIN_DIR})
install(DIRECTORY data/locale DESTINATION ${TOVRIN_DATA_DIR})
