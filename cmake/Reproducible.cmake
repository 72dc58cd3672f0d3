# Reproducible release files: whoever builds a commit, in whatever folder and
# at whatever time, gets the same bytes in every package and archive CPack
# makes (the .deb files, the Windows installer and zip, and the programs in
# them), and a SHA256SUMS file beside them that says which.
#
#   Time    Every date in a package or archive is the release date, by
#           default the last commit's time (below); the Windows linker writes
#           no time stamp into the PE header; Qt resources and the NSIS
#           installer hold no dates.
#   Place   The compiler writes the source folder as /usr/src/shamsi-date-converter
#           and the build folder as /usr/src/shamsi-date-converter/build.
#   Order   Archives list their files sorted, owned by root (a zip names no
#           owner), with modes 0644, or 0755 for folders and programs,
#           whatever the umask.
#
# Included from the top-level CMakeLists.txt before any target and any
# include(CPack): the CPACK_ variables below reach every CPack configuration
# of the project.

# --- The release date ----------------------------------------------------------
#
# Seconds since 1970: DATECONV_SOURCE_DATE_EPOCH when set, else the
# environment's SOURCE_DATE_EPOCH when configuring, else the last commit's time
# from git (the build configures again after each commit or checkout), else
# the date of the newest packaging/debian/changelog entry (a source tree
# without git and without either setting).
set(DATECONV_SOURCE_DATE_EPOCH "" CACHE STRING
    "Release date of the files in packages and archives, in seconds since 1970 (empty: SOURCE_DATE_EPOCH, else the last commit's time)")
if(NOT DATECONV_SOURCE_DATE_EPOCH STREQUAL "")
  set(DATECONV_RELEASE_DATE "${DATECONV_SOURCE_DATE_EPOCH}")
  set(release_date_from "DATECONV_SOURCE_DATE_EPOCH")
elseif(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(DATECONV_RELEASE_DATE "$ENV{SOURCE_DATE_EPOCH}")
  set(release_date_from "SOURCE_DATE_EPOCH")
elseif(EXISTS "${PROJECT_SOURCE_DIR}/.git")
  # Whoever builds may not own the checkout; git then refuses to read it
  # unless the folder is named safe.
  set(git git -c "safe.directory=${PROJECT_SOURCE_DIR}" -C "${PROJECT_SOURCE_DIR}")
  execute_process(COMMAND ${git} log -1 --format=%ct OUTPUT_VARIABLE DATECONV_RELEASE_DATE
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the last commit's time with git: ${error}"
                        "set SOURCE_DATE_EPOCH or DATECONV_SOURCE_DATE_EPOCH")
  endif()
  set(release_date_from "the last commit")
  execute_process(COMMAND ${git} rev-parse --absolute-git-dir OUTPUT_VARIABLE git_dir
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  foreach(moves_with_head IN ITEMS HEAD logs/HEAD)
    if(EXISTS "${git_dir}/${moves_with_head}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/${moves_with_head}")
    endif()
  endforeach()
else()
  set(changelog "${PROJECT_SOURCE_DIR}/packaging/debian/changelog")
  file(STRINGS "${changelog}" trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" changelog_date "${trailer}")
  execute_process(COMMAND date -u -d "${changelog_date}" +%s OUTPUT_VARIABLE DATECONV_RELEASE_DATE
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(release_date_from "the newest changelog entry, ${changelog_date}")
endif()
if(NOT DATECONV_RELEASE_DATE MATCHES "^[0-9]+$")
  message(FATAL_ERROR "the release date is not a number of seconds: '${DATECONV_RELEASE_DATE}' (${release_date_from})")
endif()
message(STATUS "Release date ${DATECONV_RELEASE_DATE}, from ${release_date_from}")

# Qt's resource compiler writes each file's modification time into the
# program (format 2 and later); format 1 holds the same files without dates.
list(APPEND CMAKE_AUTORCC_OPTIONS --format-version 1)

# --- Compiling and linking -----------------------------------------------------

# No folder of this machine in any object. GCC tries the last map first, and
# the build folder usually lies inside the source folder, so the build
# folder's map comes last. The linker gets them too, for the code that
# link-time optimisation compiles. The new names are absolute: GCC 12 keeps
# the working folder beside relative names in link-time optimisation data.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(dateconv_prefix_maps -ffile-prefix-map=${PROJECT_SOURCE_DIR}=/usr/src/shamsi-date-converter
                           -ffile-prefix-map=${PROJECT_BINARY_DIR}=/usr/src/shamsi-date-converter/build)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${dateconv_prefix_maps}>")
  add_link_options(${dateconv_prefix_maps})
endif()

# GCC names the sections of link-time optimisation data in object files with
# a random number, unless given a seed: the object's own name, the same in
# every build folder.
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

# --- Packaging -------------------------------------------------------------------
#
# cpack reads these from CPackConfig.cmake. Before a generator packs the
# staged files, ReproducibleStaging.cmake dates them, sets their modes, sets
# SOURCE_DATE_EPOCH and TZ for the generator itself and gives NSIS its
# uninstall list in sorted order. After it, ReproduciblePackages.cmake mends
# what the generators still leave to the machine (the modes of a .deb's
# members; the order and owners in a zip), and ReleaseChecksums.cmake writes
# the packages' SHA-256 into SHA256SUMS in the package folder.
find_program(DATECONV_ZIP zip)
set(CPACK_DATECONV_RELEASE_DATE "${DATECONV_RELEASE_DATE}")
set(CPACK_DATECONV_ZIP "${DATECONV_ZIP}")
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproducibleStaging.cmake)
list(APPEND CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproduciblePackages.cmake
     ${CMAKE_CURRENT_LIST_DIR}/ReleaseChecksums.cmake)
