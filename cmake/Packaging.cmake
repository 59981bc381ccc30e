# SPDX-License-Identifier: GPL-3.0-or-later
# Shell completion and the Debian documentation files, installed with the
# program, and the Debian package that `make package` builds with CPack.

include(GNUInstallDirs)

set(completion_dir ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/wayplot2-tool DESTINATION ${completion_dir})
if(WAYPLOT2_GUI)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/wayplot2 DESTINATION ${completion_dir})
endif()

set(WAYPLOT2_MAINTAINER "The Wayplot2 developers <wayplot2@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

# Debian wants the copyright and a compressed changelog beside each package's
# documentation. The changelog is dated when the build is configured (or at
# SOURCE_DATE_EPOCH when that is set, for a reproducible package).
string(TIMESTAMP WAYPLOT2_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${changelog} @ONLY)
add_custom_command(
    OUTPUT ${changelog}.gz
    COMMAND sh -c "gzip -9n < \"$0\" > \"$0.gz\"" ${changelog}
    DEPENDS ${changelog}
    VERBATIM)
add_custom_target(wp2_changelog ALL DEPENDS ${changelog}.gz)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/wayplot2)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${doc_dir})
install(FILES ${changelog}.gz DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wayplot2)
set(CPACK_PACKAGE_VENDOR "The Wayplot2 developers")
set(CPACK_PACKAGE_CONTACT ${WAYPLOT2_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GPS dashboard and waypoint navigation for NMEA receivers")
set(CPACK_PACKAGE_DESCRIPTION
    "Wayplot2 reads a GPS receiver on a serial port, over Bluetooth or through
gpsd, and shows a full-screen instrument panel made for a 240x320 touch
screen: compass, course and speed dials, a sky view of the satellites,
digit read-outs and a map of the travelled track. It navigates to a chosen
waypoint, keeps waypoints with import from Geocaching .loc, GPX and text
files and export to GPX, ESRI Shapefile and text, and records tracks.

The package also holds wayplot2-tool, which watches and finds the receiver,
replays recorded NMEA logs and converts waypoint and track files from the
command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/wayplot2/wayplot2")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${WAYPLOT2_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins (the window,
# and the offscreen one of --screenshot) and the GStreamer elements that play
# the sounds are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# WebP base-map tiles need Qt's extra image formats (PNG and JPEG are built in).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-wine, fonts-liberation2 | fonts-liberation, gstreamer1.0-pulseaudio | gstreamer1.0-pipewire, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gpsd, gpsd-clients")
include(CPack)
