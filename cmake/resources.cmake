# The architecture of this build, as the scripts name it (QUELLNET_ARCH: x86
# or x64) and as manifests do; and the manifest and the version numbers, made
# from res/quellnet.manifest.in and the project version (the one place it is
# set) into ${QUELLNET_GENERATED}: the program's resources and the start-up
# benchmark's floor program use them.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QUELLNET_ARCH x64)
  set(QUELLNET_MANIFEST_ARCH amd64)
else()
  set(QUELLNET_ARCH x86)
  set(QUELLNET_MANIFEST_ARCH x86)
endif()
set(QUELLNET_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
set(QUELLNET_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/res/quellnet.manifest.in ${QUELLNET_GENERATED}/quellnet.manifest
               @ONLY)
file(CONFIGURE OUTPUT ${QUELLNET_GENERATED}/quellnet_version.h CONTENT
"/* Generated from the project version in CMakeLists.txt. */
#define QUELLNET_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0
#define QUELLNET_VERSION_TEXT \"${QUELLNET_VERSION4}\"
")
