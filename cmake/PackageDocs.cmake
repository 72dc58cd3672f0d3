# What every Debian package of the project carries besides its programs, and
# the manual pages. Each package calls dateconv_package_docs() once; each
# program installs its page with dateconv_install_man_page().
include(GNUInstallDirs)

# Directories made by the install rules are rwxr-xr-x whatever the umask of
# whoever builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

find_program(DATECONV_GZIP gzip)

# Compresses <source> into <output> as Debian wants it: best compression, no
# name or time stamp inside (so the same source gives the same bytes). Done
# at configure time; an edit of the source configures again.
function(dateconv_gzip source output)
  if(NOT DATECONV_GZIP)
    message(FATAL_ERROR "gzip is needed to compress ${source}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  get_filename_component(dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${DATECONV_GZIP} -9 -n -c ${source} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# dateconv_install_man_page(<page> [COMPONENT <component>])
#
# Installs the manual page <page>, named <name>.<section> or
# <name>.<section>.in, compressed, into share/man/man<section>. A page ending
# in .in is first configured: @PROJECT_VERSION@ and @DATECONV_HOMEPAGE_URL@
# are replaced.
function(dateconv_install_man_page page)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "COMPONENT" "")
  get_filename_component(source ${page} ABSOLUTE)
  get_filename_component(name ${source} NAME)
  if(name MATCHES "\\.in$")
    string(REGEX REPLACE "\\.in$" "" name ${name})
    configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/man/${name} @ONLY)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/man/${name})
  endif()
  if(NOT name MATCHES "\\.([1-9])$")
    message(FATAL_ERROR "${page}: a manual page is named <name>.<section>")
  endif()
  set(section ${CMAKE_MATCH_1})
  dateconv_gzip(${source} ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
  set(component_args)
  if(arg_COMPONENT)
    set(component_args COMPONENT ${arg_COMPONENT})
  endif()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} ${component_args})
endfunction()

# dateconv_package_docs(<package> [COMPONENT <component>])
#
# Installs into share/doc/<package> the copyright file (DEP-5, every licence
# of the source tree) and the compressed changelog. The changelog's newest
# entry must be of the version being built.
function(dateconv_package_docs package)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "COMPONENT" "")
  set(debian ${PROJECT_SOURCE_DIR}/packaging/debian)
  file(STRINGS ${debian}/changelog first_line LIMIT_COUNT 1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${debian}/changelog)
  if(NOT first_line MATCHES "^[a-z0-9.+-]+ \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog: the newest entry is not of version "
                        "${PROJECT_VERSION}: '${first_line}'")
  endif()
  set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
  dateconv_gzip(${debian}/changelog ${gzipped})
  set(component_args)
  if(arg_COMPONENT)
    set(component_args COMPONENT ${arg_COMPONENT})
  endif()
  install(FILES ${debian}/copyright ${gzipped}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} ${component_args})
endfunction()

# dateconv_strip_sections(<target> [DESTINATION <dir>] [COMPONENT <component>])
#
# In stripped installs (cmake --install --strip, and the packages), also
# removes the compiler's .comment and .note sections from the installed
# program (in <dir>, by default the programs' folder), as Debian's own
# packages are stripped. Called after the target's install rule.
function(dateconv_strip_sections target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESTINATION;COMPONENT" "")
  if(NOT CMAKE_OBJCOPY)
    return()
  endif()
  if(NOT arg_DESTINATION)
    set(arg_DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  set(component_args)
  if(arg_COMPONENT)
    set(component_args COMPONENT ${arg_COMPONENT})
  endif()
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${arg_DESTINATION}/$<TARGET_FILE_NAME:${target}>\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()" ${component_args})
endfunction()
