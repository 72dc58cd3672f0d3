# Build-time facts about the program that more than one part of the build
# shows: the web address is the text of Label4 in the window, the package's
# Homepage field and the AppStream metadata's homepage.
#
#   cmake --preset default -DDATECONV_HOMEPAGE_URL=https://example.org/dateconv
#
# The default is under the reserved .invalid domain (RFC 6761), which never
# resolves: a build that was not given the real address cannot send anyone to
# a site that someone else holds.
set(DATECONV_HOMEPAGE_URL "https://dateconv.invalid"
    CACHE STRING "The program's web address (https), shown in the window and named by the package")

# The address goes into a C++ string literal, an XML file and a Debian control
# field, so it is held to a plain https address with nothing to escape.
if(NOT DATECONV_HOMEPAGE_URL MATCHES "^https://[A-Za-z0-9.-]+(:[0-9]+)?(/[A-Za-z0-9._~/%-]*)?$")
  message(FATAL_ERROR "DATECONV_HOMEPAGE_URL must be a plain https:// address "
                      "(letters, digits, . - _ ~ / % only), not '${DATECONV_HOMEPAGE_URL}'")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/project_info.h.in
               ${PROJECT_BINARY_DIR}/generated/project_info/project_info.h @ONLY)

# Targets that show these facts link project_info to find project_info.h.
add_library(project_info INTERFACE)
target_include_directories(project_info INTERFACE ${PROJECT_BINARY_DIR}/generated/project_info)
