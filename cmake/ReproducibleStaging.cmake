# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) after it has installed the files to
# be packaged into its staging folder, before a generator packs them; see
# Reproducible.cmake. Makes what the generator reads from the staged files
# the same on every build:
#   - SOURCE_DATE_EPOCH (the release date, see Reproducible.cmake) in the
#     environment, which the DEB and ZIP generators use for every date in the
#     package (files, control files, ar members) and which leaves the date out
#     of gzip headers;
#   - the date of every staged file and folder;
#   - TZ=UTC, as a zip's dates are local times;
#   - the modes: 0755 for folders and for files executable by their owner,
#     0644 for the other files, whatever the umask;
#   - the order of NSIS's uninstall list: CPack writes the files and folders
#     in the order the file system lists them (which differs between
#     machines), unless given the lists, here sorted.

set(epoch "${CPACK_DATECONV_RELEASE_DATE}")
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "no release date in the CPack configuration: '${epoch}'")
endif()

set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
set(ENV{TZ} "UTC")

execute_process(COMMAND chmod -R u=rwX,go=rX "${CPACK_TEMPORARY_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@${epoch}" {} +
                COMMAND_ERROR_IS_FATAL ANY)

# NSIS installs the staged folder (File /r, which sorts); the uninstaller
# deletes the files, then the folders, deepest first.
if(CPACK_GENERATOR STREQUAL "NSIS")
  if(CPACK_COMPONENTS_ALL)
    message(FATAL_ERROR "the sorted uninstall list is made for an installer without components")
  endif()
  file(GLOB_RECURSE staged LIST_DIRECTORIES true RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
  set(files "")
  set(folders)
  foreach(path IN LISTS staged)
    string(REPLACE "/" "\\" windows_path "${path}")
    if(IS_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}/${path}")
      list(APPEND folders "${windows_path}")
    else()
      string(APPEND files "  Delete \"$INSTDIR\\${windows_path}\"\n")
    endif()
  endforeach()
  list(SORT folders ORDER DESCENDING)
  set(rmdirs "")
  foreach(folder IN LISTS folders)
    string(APPEND rmdirs "  RMDir \"$INSTDIR\\${folder}\"\n")
  endforeach()
  set(CPACK_NSIS_DELETE_FILES "${files}")
  # NSIS keeps each file's date, also of the files CPack writes after this
  # script (the options page); the installed files are dated when installed.
  string(APPEND CPACK_NSIS_DEFINES "\n  SetDateSave off")
  set(CPACK_NSIS_DELETE_DIRECTORIES "${rmdirs}")
endif()
