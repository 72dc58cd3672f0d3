# Install rules of the command line and the Shamsi library, included from the
# top-level CMakeLists.txt after both targets exist.
#
#   bin/shamsi-date                       the command line
#   share/man/man1/shamsi-date.1.gz       its manual page
#   share/bash-completion/completions/shamsi-date   its bash completion
#   include/shamsi/{date,text,names,arithmetic}.h   the library's headers
#   lib/<multiarch>/libshamsi.a           the library
#   lib/<multiarch>/cmake/Shamsi/         find_package(Shamsi) -> Shamsi::shamsi
#   lib/<multiarch>/pkgconfig/shamsi.pc   pkg-config --cflags --libs shamsi
include(CMakePackageConfigHelpers)

install(TARGETS shamsi-date RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

find_program(DATECONV_GZIP gzip)
if(DATECONV_GZIP)
  # -n leaves out the name and time stamp, so the page is the same on every build.
  set(man_page ${CMAKE_BINARY_DIR}/shamsi-date.1.gz)
  add_custom_command(OUTPUT ${man_page}
                     COMMAND ${DATECONV_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/shamsi-date/shamsi-date.1 > ${man_page}
                     DEPENDS ${PROJECT_SOURCE_DIR}/shamsi-date/shamsi-date.1
                     VERBATIM)
  add_custom_target(shamsi-date-man ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/shamsi-date/shamsi-date.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/shamsi-date/shamsi-date.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME shamsi-date)

install(TARGETS shamsi EXPORT ShamsiTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# In stripped installs (cmake --install --strip, and the package) the archive
# is stripped as Debian strips the static libraries of its own packages:
# without debugging information and without the link-time optimisation data,
# which only the same GCC version reads and which records the build folder;
# what remains is the object code, the same on every build.
if(CMAKE_STRIP)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug --remove-section=.comment --remove-section=.note
                              --remove-section=.gnu.lto_* --remove-section=.gnu.debuglto_*
                              --enable-deterministic-archives
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:shamsi>\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/shamsi/include/shamsi DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(shamsi_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Shamsi)
install(EXPORT ShamsiTargets NAMESPACE Shamsi:: DESTINATION ${shamsi_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ShamsiConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/ShamsiConfig.cmake INSTALL_DESTINATION ${shamsi_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ShamsiConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ShamsiConfig.cmake ${CMAKE_BINARY_DIR}/ShamsiConfigVersion.cmake
        DESTINATION ${shamsi_cmake_dir})

# The .pc file finds the prefix from its own place, so the installed tree
# can be moved (or unpacked under a temporary root).
file(RELATIVE_PATH shamsi_pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/shamsi.pc.in ${CMAKE_BINARY_DIR}/shamsi.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/shamsi.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
