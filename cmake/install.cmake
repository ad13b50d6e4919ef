# What `cmake --install` puts in place (under any prefix), and the files that
# let other builds find it: the CMake package Rlx4100 (find_package(Rlx4100
# CONFIG)) and the pkg-config file rlx4100.pc.
#
#   lib/libRlx4100.so, lib/libvtplatform.so     the library and the simulated target
#   lib/rlx4100/modules/Rlx4100S.so              the stream driver module
#   include/rlx4100.h (+ its two headers)        the library's public header
#   include/rlx4100/platform/host/control/*.h    booting and driving the simulated target
#   bin/vtdio, bin/vtsim                          the tools
#   share/rlx4100/platform/image/platform.reg    the platform image's registry script
#   share/rlx4100/packages/*.reg                 the board package's registry scripts
#   share/rlx4100/default_machine.toml           the default machine description
#   lib/cmake/Rlx4100/, lib/pkgconfig/rlx4100.pc
#
# The simulated target exists on the host only; so does everything here.
include(CMakePackageConfigHelpers)

# Installed programs and libraries find the package's libraries relative to
# themselves, so that any prefix works without LD_LIBRARY_PATH.
set(vt_libdir ${CMAKE_INSTALL_LIBDIR})
set(vt_bindir ${CMAKE_INSTALL_BINDIR})
set(vt_moduledir ${VT_INSTALL_MODULEDIR})
foreach(dir vt_libdir vt_bindir vt_moduledir)
  cmake_path(ABSOLUTE_PATH ${dir} BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX})
endforeach()
file(RELATIVE_PATH vt_lib_from_bin ${vt_bindir} ${vt_libdir})
file(RELATIVE_PATH vt_lib_from_modules ${vt_moduledir} ${vt_libdir})
set_target_properties(vtdio vtsim PROPERTIES INSTALL_RPATH "$ORIGIN/${vt_lib_from_bin}")
set_target_properties(Rlx4100 PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(Rlx4100S PROPERTIES INSTALL_RPATH "$ORIGIN/${vt_lib_from_modules}")

install(TARGETS Rlx4100 vtplatform
  EXPORT Rlx4100Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
install(TARGETS Rlx4100S LIBRARY DESTINATION ${VT_INSTALL_MODULEDIR} COMPONENT Runtime)
install(TARGETS vtdio vtsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

install(FILES
  library/include/rlx4100.h
  library/include/rlx4100_driver_proc.h
  library/include/rlx4100_exports.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
# The outside-control API that an application's test harness boots the
# simulated target with (as examples/run_on_simulated_target.cpp does).
install(FILES
  platform/host/control/board.h
  platform/host/control/diagnostics.h
  platform/host/control/faults.h
  platform/host/control/locations.h
  platform/host/control/machine.h
  platform/host/control/registry_control.h
  platform/host/control/target.h
  platform/host/control/text.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rlx4100/platform/host/control COMPONENT Development)

install(FILES platform/image/platform.reg
  DESTINATION ${VT_INSTALL_DATADIR}/platform/image COMPONENT Runtime)
install(FILES packages/VTC4100.reg packages/VTM6200K.reg
  DESTINATION ${VT_INSTALL_DATADIR}/packages COMPONENT Runtime)
install(FILES ${VT_DEFAULT_MACHINE_TOML} DESTINATION ${VT_INSTALL_DATADIR} COMPONENT Runtime)

# The CMake package: Rlx4100::Rlx4100 (and Rlx4100::vtplatform, which it
# brings), relocatable with the prefix.
set(vt_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/Rlx4100)
install(EXPORT Rlx4100Targets NAMESPACE Rlx4100:: DESTINATION ${vt_cmakedir}
  COMPONENT Development)
configure_package_config_file(cmake/Rlx4100Config.cmake.in
  ${PROJECT_BINARY_DIR}/package/Rlx4100Config.cmake
  INSTALL_DESTINATION ${vt_cmakedir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/Rlx4100ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/Rlx4100Config.cmake
  ${PROJECT_BINARY_DIR}/package/Rlx4100ConfigVersion.cmake
  DESTINATION ${vt_cmakedir} COMPONENT Development)

# The pkg-config file, written when installing so that its prefix is the one
# installed to (cmake --install --prefix, or the Debian package's /usr).
set(VT_PC_PREFIX "@VT_PC_PREFIX@")  # filled in when installing
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(VT_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(VT_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
configure_file(cmake/rlx4100.pc.in ${PROJECT_BINARY_DIR}/package/rlx4100.pc.in @ONLY)
install(CODE "
  set(VT_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${PROJECT_BINARY_DIR}/package/rlx4100.pc.in\"
                 \"${PROJECT_BINARY_DIR}/package/rlx4100.pc\" @ONLY)"
  COMPONENT Development)
install(FILES ${PROJECT_BINARY_DIR}/package/rlx4100.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
