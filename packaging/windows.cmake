# The Windows downloads, both made by CPack on Debian:
#   shamsi-date-converter-<version>-win64.exe   an installer (NSIS): the program,
#       a Start-menu shortcut "مبدل تاريخ", the command line shamsi-date.exe
#       beside it, and an uninstaller;
#   shamsi-date-converter-<version>-win64.zip   the two programs alone, for use
#       without installing.
#
#   cmake --build --preset windows --target package
install(TARGETS shamsi-date-converter shamsi-date RUNTIME DESTINATION .)

set(CPACK_PACKAGE_NAME shamsi-date-converter)
set(CPACK_PACKAGE_VENDOR "Shamsi date converter authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shamsi (Iranian solar) to Miladi (Gregorian) date converter")
set(CPACK_PACKAGE_FILE_NAME "shamsi-date-converter-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Shamsi Date Converter")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "ShamsiDateConverter")
# The program and the name of its Start-menu shortcut.
set(CPACK_PACKAGE_EXECUTABLES "shamsi-date-converter;مبدل تاريخ")
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
endif()

set(CPACK_NSIS_DISPLAY_NAME "مبدل تاريخ")
set(CPACK_NSIS_URL_INFO_ABOUT "${DATECONV_HOMEPAGE_URL}")
set(CPACK_NSIS_PACKAGE_NAME "مبدل تاريخ")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_INSTALLED_ICON_NAME "shamsi-date-converter.exe")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/packaging/icons/shamsi-date-converter.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/packaging/icons/shamsi-date-converter.ico")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program; Unicode, for the Persian texts.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")

include(CPack)
