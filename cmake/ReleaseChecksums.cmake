# Run by cpack (CPACK_POST_BUILD_SCRIPTS) after a generator has made its
# packages; see Reproducible.cmake. Writes their SHA-256 into SHA256SUMS in
# the folder the packages go to, in the form `sha256sum -c` reads:
#
#   <64 hex digits>  shamsi-date-converter_1.0.0_amd64.deb
#
# cpack runs each generator in turn (NSIS, then ZIP), so the lines of the
# other packages already listed stay, as long as their files are there.

set(sums "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")

set(entries)
set(made)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${package}" NAME)
  file(SHA256 "${package}" hash)
  list(APPEND entries "${name}  ${hash}")
  list(APPEND made "${name}")
endforeach()

if(EXISTS "${sums}")
  file(STRINGS "${sums}" lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9a-f]+)  (.+)$")
      set(hash "${CMAKE_MATCH_1}")
      set(name "${CMAKE_MATCH_2}")
      if(NOT name IN_LIST made AND EXISTS "${CPACK_PACKAGE_DIRECTORY}/${name}")
        list(APPEND entries "${name}  ${hash}")
      endif()
    endif()
  endforeach()
endif()

# One line a package, sorted by name.
list(SORT entries)
set(text "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^(.+)  ([0-9a-f]+)$" "\\2  \\1\n" line "${entry}")
  string(APPEND text "${line}")
endforeach()
file(WRITE "${sums}" "${text}")
message(STATUS "SHA-256 of ${made} written to ${sums}")
