# The Debian package (cpack -G DEB in the build folder): everything that
# `cmake --install` puts in place, under /usr. Its dependencies on shared
# libraries (Cairo, fontconfig, readline, ...) are worked out by
# dpkg-shlibdeps from the binaries.
set(CPACK_PACKAGE_NAME rlx4100)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Driver library and tools for VTC-4100, VTC-4100E and VTM-6200K digital I/O boards")
set(CPACK_PACKAGE_DESCRIPTION
  "The driver library (libRlx4100, header rlx4100.h) for the VTC-4100, VTC-4100E and VTM-6200K isolated digital I/O boards, with a simulated target (libvtplatform, the stream driver module and the board package's registry scripts) on which applications run on Linux, and the command-line tools vtdio and vtsim.")
set(CPACK_PACKAGE_CONTACT "rlx4100 maintainers <rlx4100@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# One package holds every component.
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
