# GoogleTest: a package manager's (Debian's libgtest-dev, vcpkg, MSYS2) when there is one,
# else built from Debian's sources (the MinGW cross build). Without either, the program still
# builds and the tests are left out.
enable_testing()

set(gtest_src /usr/src/googletest)
if(NOT CMAKE_CROSSCOMPILING)
  # A cross build cannot link the build machine's GoogleTest.
  find_package(GTest QUIET)
endif()
if(GTest_FOUND)
  set(gtest_libs GTest::gtest GTest::gtest_main)
elseif(EXISTS ${gtest_src}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${gtest_src} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Third-party code: our -Werror is not theirs.
  foreach(t gtest gtest_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
  set(gtest_libs gtest gtest_main)
else()
  message(NOTICE "GoogleTest not found (no find_package(GTest), no ${gtest_src}): "
                 "building Kalverin without its tests.")
  return()
endif()

file(GLOB support_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
list(FILTER support_sources EXCLUDE REGEX "_win\\.cpp$")

# Unit tests of the portable core: one executable, natively and under Wine.
file(GLOB unit_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(kalverin_unit_tests ${unit_sources} ${support_sources})
target_include_directories(kalverin_unit_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(kalverin_unit_tests PRIVATE kalverin_app ${gtest_libs})

# Tests run in fixed POSIX zones and a known locale; Wine's msvcrt reads only POSIX TZ forms.
set(test_env "TZ=UTC0;LANG=C.UTF-8;LC_ALL=C.UTF-8")

if(WIN32)
  # Cross-built tests run under Wine; on Windows itself they run as they are.
  if(CMAKE_CROSSCOMPILING)
    set(wine_runner ${CMAKE_SOURCE_DIR}/tools/wine-run)
  else()
    set(wine_runner)
  endif()
  add_test(NAME unit_windows COMMAND ${wine_runner} $<TARGET_FILE:kalverin_unit_tests>)
  set_tests_properties(unit_windows PROPERTIES ENVIRONMENT "${test_env}")

  # The Win32 tests drive the DDE client beside them and read the program's resources.
  file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
  add_executable(kalverin_win_tests ${win_test_sources})
  target_include_directories(kalverin_win_tests PRIVATE ${CMAKE_SOURCE_DIR})
  # They also read both binaries' version resources (version.dll) against the project's version.
  target_link_libraries(kalverin_win_tests PRIVATE kalverin_app ${gtest_libs} version)
  target_compile_definitions(kalverin_win_tests PRIVATE KALVERIN_PROJECT_VERSION="${PROJECT_VERSION}"
    KALVERIN_PROJECT_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} KALVERIN_PROJECT_VERSION_MINOR=${PROJECT_VERSION_MINOR})
  add_dependencies(kalverin_win_tests kalverin kalverin-dde)
  add_test(NAME win_backends COMMAND ${wine_runner} $<TARGET_FILE:kalverin_win_tests>)
  set_tests_properties(win_backends PROPERTIES ENVIRONMENT "${test_env}")

  file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  add_executable(kalverin_e2e_tests ${e2e_sources})
  target_include_directories(kalverin_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(kalverin_e2e_tests PRIVATE kalverin_app ${gtest_libs})
  add_dependencies(kalverin_e2e_tests kalverin kalverin-dde)
  # Cases named Clock* need the frozen clock; the rest run on the real one.
  add_test(NAME e2e COMMAND ${wine_runner} $<TARGET_FILE:kalverin_e2e_tests> --gtest_filter=-Clock*)
  set(e2e_tests e2e)
  if(CMAKE_CROSSCOMPILING)
    # The frozen clock needs libfaketime, which only the Wine runner can bring in.
    add_test(NAME e2e_fixed_clock COMMAND ${wine_runner} --frozen-clock "2002-03-27 14:45:12"
             $<TARGET_FILE:kalverin_e2e_tests> --gtest_filter=Clock*)
    list(APPEND e2e_tests e2e_fixed_clock)
    # The per-user installer, end to end in a Wine prefix of its own (needs makensis).
    add_test(NAME installer COMMAND ${CMAKE_SOURCE_DIR}/tools/test-installer $<TARGET_FILE_DIR:kalverin>)
    set_tests_properties(installer PROPERTIES RUN_SERIAL TRUE)
  endif()
  set(e2e_env "${test_env};KALVERIN_EXE=$<TARGET_FILE:kalverin>;KALVERIN_DDE_EXE=$<TARGET_FILE_DIR:kalverin>/kalverin-dde.exe")
  if(CMAKE_CROSSCOMPILING)
    # A disk that fills part-way, for Wine's Unix side: built with the build machine's compiler
    # and preloaded into the whole run (Wine rebuilds the Unix environment of a process another
    # one starts, without LD_PRELOAD). It stays out of the way unless a test puts its flag file
    # beside a settings folder.
    set(disk_full_shim ${CMAKE_BINARY_DIR}/disk_full_shim.so)
    add_custom_command(OUTPUT ${disk_full_shim}
      COMMAND cc -shared -fPIC -O2 -Wall -Wextra -Werror -o ${disk_full_shim}
              ${CMAKE_SOURCE_DIR}/tests/e2e/disk_full_shim.c -ldl
      DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/disk_full_shim.c VERBATIM)
    add_custom_target(disk_full_shim ALL DEPENDS ${disk_full_shim})
    add_dependencies(kalverin_e2e_tests disk_full_shim)
    string(APPEND e2e_env ";KALVERIN_DISK_FULL_SHIM=${disk_full_shim};LD_PRELOAD=${disk_full_shim}")
  endif()
  set_tests_properties(${e2e_tests} PROPERTIES ENVIRONMENT "${e2e_env}" RUN_SERIAL TRUE)
else()
  add_test(NAME unit_native COMMAND kalverin_unit_tests)
  set_tests_properties(unit_native PROPERTIES ENVIRONMENT "${test_env}")
endif()
