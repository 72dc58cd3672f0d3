# Run by cpack (CPACK_POST_BUILD_SCRIPTS) after a generator has made its
# packages, before ReleaseChecksums.cmake; see Reproducible.cmake. Mends what
# the generators still take from the machine that builds them.
#
# .deb: the package is an ar archive of three members, which CPack writes
# itself, with the modes the umask gave its temporary files; each member's
# mode becomes 100644, as dpkg-deb writes it. Dates (SOURCE_DATE_EPOCH) and
# owners (0) are already fixed.
#
# .zip: CPack's ZIP generator lists the files in the order the file system
# gives them (which differs between machines) and records the user and group
# ids of whoever builds; so every zip it made is packed again, with Info-ZIP's
# zip, with the same entries:
#   - sorted by name;
#   - dated SOURCE_DATE_EPOCH in UTC, as a zip's dates are local times;
#   - modes 0644, or 0755 for folders and programs;
#   - without extra fields (-X: no owner ids, no Unix time stamps).

if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set: ReproducibleStaging.cmake must run first")
endif()

# The mode field of each member header of the ar archive <deb>: "!<arch>\n",
# then for each member a 60-byte header (name 16, date 12, owner 6, group 6,
# mode 8, size 10, "`\n") and the data, padded to an even length.
function(dateconv_deb_member_modes deb)
  set(mode_file "${CPACK_TOPLEVEL_DIRECTORY}/ar-member-mode")
  file(WRITE "${mode_file}" "100644  ")
  file(SIZE "${deb}" end)
  set(offset 8)
  while(offset LESS end)
    file(READ "${deb}" header OFFSET ${offset} LIMIT 60)
    string(SUBSTRING "${header}" 40 8 mode)
    string(SUBSTRING "${header}" 48 10 size)
    string(STRIP "${size}" size)
    if(NOT size MATCHES "^[0-9]+$" OR NOT header MATCHES "`\n$")
      message(FATAL_ERROR "${deb}: no ar member header at byte ${offset}")
    endif()
    if(NOT mode STREQUAL "100644  ")
      math(EXPR mode_offset "${offset} + 40")
      execute_process(COMMAND dd "of=${deb}" bs=1 seek=${mode_offset} count=8 conv=notrunc status=none
                      INPUT_FILE "${mode_file}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
    math(EXPR offset "${offset} + 60 + ${size} + ${size} % 2")
  endwhile()
endfunction()

function(dateconv_repack_zip zip)
  if(NOT CPACK_DATECONV_ZIP)
    message(FATAL_ERROR "Info-ZIP's zip is needed to pack ${zip} reproducibly (Debian package zip)")
  endif()
  set(unpacked "${CPACK_TOPLEVEL_DIRECTORY}/reproducible-zip")
  set(list_file "${CPACK_TOPLEVEL_DIRECTORY}/reproducible-zip.list")
  file(REMOVE_RECURSE "${unpacked}")
  file(MAKE_DIRECTORY "${unpacked}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${unpacked}")
  string(REGEX REPLACE "\n$" "" listing "${listing}")
  string(REPLACE "\n" ";" entries "${listing}")
  list(SORT entries)
  list(JOIN entries "\n" names)
  file(WRITE "${list_file}" "${names}\n")

  execute_process(COMMAND chmod -R u=rwX,go=rX "${unpacked}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find "${unpacked}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${zip}")
  # -nw: the names are names, not patterns; -@: one name a line.
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC "${CPACK_DATECONV_ZIP}" -q -X -9 -nw -@ "${zip}"
                  WORKING_DIRECTORY "${unpacked}" INPUT_FILE "${list_file}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${unpacked}" "${list_file}")
  message(STATUS "Packed ${zip} again, sorted: ${entries}")
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.deb$")
    dateconv_deb_member_modes("${package}")
  elseif(package MATCHES "\\.zip$")
    dateconv_repack_zip("${package}")
  endif()
endforeach()
