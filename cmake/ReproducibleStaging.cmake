# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) after it has installed the files to
# be packaged into its staging folder, before a generator packs them; see
# Reproducible.cmake. Makes what the generator reads from the staged files
# the same on every build:
#   - SOURCE_DATE_EPOCH in the environment, which the DEB generator uses for
#     every date in the package (files, control files, ar members);
#   - the date of every staged file and folder, which NSIS keeps for each
#     file it installs and the ZIP generator writes into the archive;
#   - TZ=UTC, as a zip's dates are local times;
#   - the modes: 0755 for folders and for files executable by their owner,
#     0644 for the other files, whatever the umask;
#   - the order of NSIS's uninstall list: CPack writes the files and folders
#     in the order the file system lists them (which differs between
#     machines), unless given the lists, here sorted.

# The date: the build setting, else the environment, else the last commit,
# else the newest changelog entry (a source tree without git history).
set(epoch "${CPACK_DATECONV_SOURCE_DATE_EPOCH}")
set(from "DATECONV_SOURCE_DATE_EPOCH")
if(epoch STREQUAL "" AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(from "SOURCE_DATE_EPOCH")
endif()
if(epoch STREQUAL "" AND EXISTS "${CPACK_DATECONV_SOURCE_DIR}/.git")
  # Whoever builds may not own the checkout; git then refuses to read it
  # unless the folder is named safe.
  execute_process(COMMAND git -c "safe.directory=${CPACK_DATECONV_SOURCE_DIR}" -C "${CPACK_DATECONV_SOURCE_DIR}"
                          log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the last commit's time with git (${error}); "
                        "set SOURCE_DATE_EPOCH or DATECONV_SOURCE_DATE_EPOCH")
  endif()
  set(from "the last commit")
endif()
if(epoch STREQUAL "")
  file(STRINGS "${CPACK_DATECONV_SOURCE_DIR}/packaging/debian/changelog" trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
  execute_process(COMMAND date -u -d "${date}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(from "the newest changelog entry (${date})")
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "the date of the packaged files is not a number of seconds: '${epoch}' (from ${from})")
endif()
message(STATUS "Packaged files dated ${epoch}, from ${from}")

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
  set(CPACK_NSIS_DELETE_DIRECTORIES "${rmdirs}")
endif()
