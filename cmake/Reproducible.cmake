# Reproducible release files: whoever builds a commit, in whatever folder and
# at whatever time, gets the same bytes in every package and archive CPack
# makes (the .deb files, the Windows installer and zip, and the programs in
# them), and a SHA256SUMS file beside them that says which.
#
#   Time    Files in packages and archives are dated DATECONV_SOURCE_DATE_EPOCH
#           (by default the last commit's time); the Windows linker writes no
#           time stamp into the PE header.
#   Place   The compiler writes the source and build folders as "." and
#           "build", in debugging information and in __FILE__ alike.
#   Order   Archives list their files sorted, owned by root, and with modes
#           0644 or 0755 (0755 for directories and programs) whatever the
#           umask of whoever builds them.
#
# Included from the top-level CMakeLists.txt before any target and any
# include(CPack): the CPACK_ variables below reach every CPack configuration
# of the project.

set(DATECONV_SOURCE_DATE_EPOCH "" CACHE STRING
    "Date of the files in packages and archives, in seconds since 1970 (empty: the environment's SOURCE_DATE_EPOCH, else the last commit's time from git, else the newest packaging/debian/changelog entry)")
if(NOT DATECONV_SOURCE_DATE_EPOCH MATCHES "^[0-9]*$")
  message(FATAL_ERROR "DATECONV_SOURCE_DATE_EPOCH must be a number of seconds, not '${DATECONV_SOURCE_DATE_EPOCH}'")
endif()

# No folder of this machine in any object: the source folder is written as
# ".", the build folder as "build". GCC tries the last map first, and the
# build folder usually lies inside the source folder, so the build folder's
# map comes last. The linker gets them too, for the code that link-time
# optimisation compiles.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(dateconv_prefix_maps -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${dateconv_prefix_maps}>")
  add_link_options(${dateconv_prefix_maps})
endif()

# GCC names the sections of link-time optimisation data in object files
# (kept in the installed static library) with a random number, unless given a
# seed: the object's own name, the same in every build folder.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  foreach(lang IN ITEMS C CXX)
    if(DEFINED CMAKE_${lang}_COMPILE_OBJECT AND NOT CMAKE_${lang}_COMPILE_OBJECT MATCHES "-frandom-seed")
      string(APPEND CMAKE_${lang}_COMPILE_OBJECT " -frandom-seed=<OBJECT>")
    endif()
  endforeach()
endif()

# Windows programs: GNU ld writes the time of the link into the PE header
# unless told not to (the field stays 0).
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()

# At packaging time (cpack reads these from CPackConfig.cmake):
#   before a generator packs the staged files, ReproducibleStaging.cmake
#   dates them, sets their modes, sets SOURCE_DATE_EPOCH and TZ for the
#   generator itself and gives NSIS its list of files to uninstall in sorted
#   order; after it, ReproducibleZip.cmake packs every zip again in sorted
#   order and without owners, and ReleaseChecksums.cmake writes the
#   packages' SHA-256 into SHA256SUMS in the package folder.
find_program(DATECONV_ZIP zip)
set(CPACK_DATECONV_SOURCE_DATE_EPOCH "${DATECONV_SOURCE_DATE_EPOCH}")
set(CPACK_DATECONV_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
set(CPACK_DATECONV_ZIP "${DATECONV_ZIP}")
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproducibleStaging.cmake)
list(APPEND CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproducibleZip.cmake
     ${CMAKE_CURRENT_LIST_DIR}/ReleaseChecksums.cmake)
