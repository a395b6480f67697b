# A Debian package of the system layout (configure with
# -DCMAKE_INSTALL_PREFIX=/usr -DTOVRIN_INSTALL_LAYOUT=system, then run cpack),
# and a source tarball of a release (cpack --config CPackSourceConfig.cmake).
# Both carry the project's version.
set(CPACK_PACKAGE_NAME tovrin)
set(CPACK_PACKAGE_VENDOR "tovrin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Audio-monitoring dock for OBS Studio")
set(CPACK_PACKAGE_DESCRIPTION
	"A dock with two live audio displays, a chosen source above and the master mix below, each a spectrum or a scrolling waveform with a peak/RMS meter, and the source's volume, mute, monitoring, filters and properties beside them.")
set(CPACK_PACKAGE_CONTACT "tovrin developers <tovrin@users.noreply.github.com>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tovrin_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "obs-studio (>= 30)")
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME tovrin-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/" "/\\\\.cache/")
include(CPack)
