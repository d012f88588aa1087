# The version of KovadoDeskLink: the programs' version resources and the
# installer package take it from here. Four numbers; Windows Installer
# compares the first three when it decides whether a package is an upgrade,
# so a release raises one of those (and takes a new product code in
# cmake/ProductCode.cmake: a new version replaces the old one as a major
# upgrade).
set(KOVADO_VERSION "2.0.3.1")

if(NOT KOVADO_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "KOVADO_VERSION must be four numbers: MAJOR.MINOR.BUILD.REVISION")
endif()
set(KOVADO_VERSION_BINARY "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}, ${CMAKE_MATCH_4}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
