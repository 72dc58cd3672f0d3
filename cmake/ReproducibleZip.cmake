# Run by cpack (CPACK_POST_BUILD_SCRIPTS) after a generator has made its
# packages; see Reproducible.cmake. CPack's ZIP generator lists the files in
# the order the file system gives them (which differs between machines) and
# records the owner's user and group ids of the build; so every zip it made
# is packed again, with Info-ZIP's zip, with the same entries:
#   - sorted by name;
#   - dated SOURCE_DATE_EPOCH (set by ReproducibleStaging.cmake) in UTC, as a
#     zip's dates are local times;
#   - modes 0644, or 0755 for folders and programs;
#   - without extra fields (-X: no owner ids, no Unix time stamps).

set(zips)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.zip$")
    list(APPEND zips "${package}")
  endif()
endforeach()
if(NOT zips)
  return()
endif()
if(NOT CPACK_DATECONV_ZIP)
  message(FATAL_ERROR "Info-ZIP's zip is needed to pack ${zips} reproducibly (Debian package zip)")
endif()
if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set: ReproducibleStaging.cmake must run first")
endif()

foreach(zip IN LISTS zips)
  set(unpacked "${CPACK_TOPLEVEL_DIRECTORY}/reproducible-zip")
  file(REMOVE_RECURSE "${unpacked}")
  file(MAKE_DIRECTORY "${unpacked}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${unpacked}")
  string(REGEX REPLACE "\n$" "" listing "${listing}")
  string(REPLACE "\n" ";" entries "${listing}")
  list(SORT entries)
  list(JOIN entries "\n" names)
  file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/reproducible-zip.list" "${names}\n")

  execute_process(COMMAND chmod -R u=rwX,go=rX "${unpacked}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find "${unpacked}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${zip}")
  # -nw: the names are names, not patterns; -@: one name a line.
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC "${CPACK_DATECONV_ZIP}" -q -X -9 -nw -@ "${zip}"
                  WORKING_DIRECTORY "${unpacked}" INPUT_FILE "${CPACK_TOPLEVEL_DIRECTORY}/reproducible-zip.list"
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${unpacked}")
  message(STATUS "Packed ${zip} again: ${entries}")
endforeach()
