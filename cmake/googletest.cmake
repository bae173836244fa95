# GoogleTest and GoogleMock compiled from the sources Debian ships, so the
# native and the Windows test programs use the same version.
set(QUELLNET_GTEST_ROOT /usr/src/googletest CACHE PATH "GoogleTest sources")
add_library(quellnet_gtest STATIC
  ${QUELLNET_GTEST_ROOT}/googletest/src/gtest-all.cc
  ${QUELLNET_GTEST_ROOT}/googlemock/src/gmock-all.cc)
target_include_directories(quellnet_gtest SYSTEM PUBLIC
  ${QUELLNET_GTEST_ROOT}/googletest/include ${QUELLNET_GTEST_ROOT}/googlemock/include)
target_include_directories(quellnet_gtest PRIVATE
  ${QUELLNET_GTEST_ROOT}/googletest ${QUELLNET_GTEST_ROOT}/googlemock)
target_compile_options(quellnet_gtest PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(quellnet_gtest PUBLIC Threads::Threads)
add_library(quellnet_gtest_main STATIC ${QUELLNET_GTEST_ROOT}/googlemock/src/gmock_main.cc)
target_link_libraries(quellnet_gtest_main PUBLIC quellnet_gtest)
target_compile_options(quellnet_gtest_main PRIVATE -w)
