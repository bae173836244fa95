# The architecture of this build, as the scripts name it (QUELLNET_ARCH: x86
# or x64) and as manifests do; and the manifests and the version numbers, made
# from res/quellnet.manifest.in and the programs' version into
# ${QUELLNET_GENERATED}: the resources of the program and of the installer's
# helper, and the start-up benchmark's floor program, use them.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QUELLNET_ARCH x64)
  set(QUELLNET_MANIFEST_ARCH amd64)
else()
  set(QUELLNET_ARCH x86)
  set(QUELLNET_MANIFEST_ARCH x86)
endif()
# The version the programs carry: the project version, the one place it is
# set. Only scripts/package.sh --version gives another (-DQUELLNET_VERSION),
# in a build tree of its own, to build the package test's newer version; no
# default is cached, so a tree follows the project version when it changes.
set(QUELLNET_PROGRAM_VERSION "${PROJECT_VERSION}")
if(QUELLNET_VERSION)
  set(QUELLNET_PROGRAM_VERSION "${QUELLNET_VERSION}")
endif()
if(NOT QUELLNET_PROGRAM_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "QUELLNET_VERSION must be X.Y.Z, not '${QUELLNET_VERSION}'")
endif()
set(QUELLNET_VERSION_COMMAS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
set(QUELLNET_VERSION4 "${QUELLNET_PROGRAM_VERSION}.0")
set(QUELLNET_GENERATED ${CMAKE_BINARY_DIR}/generated)
# One manifest per program, the same but for its name and description.
foreach(manifest "quellnet;Corvane.Quellnet;Quellnet"
                 "msi_helper;Corvane.Quellnet.InstallerHelper;Quellnet installer helper")
  list(GET manifest 0 file)
  list(GET manifest 1 QUELLNET_MANIFEST_NAME)
  list(GET manifest 2 QUELLNET_MANIFEST_DESCRIPTION)
  configure_file(${PROJECT_SOURCE_DIR}/res/quellnet.manifest.in ${QUELLNET_GENERATED}/${file}.manifest
                 @ONLY)
endforeach()
file(CONFIGURE OUTPUT ${QUELLNET_GENERATED}/quellnet_version.h CONTENT
"/* Generated from the programs' version (cmake/resources.cmake). */
#define QUELLNET_VERSION_COMMAS ${QUELLNET_VERSION_COMMAS}
#define QUELLNET_VERSION_TEXT \"${QUELLNET_VERSION4}\"
")
