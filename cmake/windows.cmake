# The Windows builds: the plug-in DLL, the stand-in player and the tests that run it.
enable_language(RC)

# The DLL must load on a machine without the MinGW runtime, and stay small.
set(DLL_COMPILE_OPTIONS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
set(DLL_LINK_OPTIONS -static -s -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)

add_library(cantovia_logic STATIC ${LOGIC_SOURCES})
cantovia_strict(cantovia_logic)
target_compile_options(cantovia_logic PRIVATE ${DLL_COMPILE_OPTIONS})

add_library(gen_cantovia SHARED
  plugin/plugin.cpp
  plugin/settings.cpp
  dialog/config_dialog.cpp
  lookup/track_watcher.cpp
  resources/gen_cantovia.rc
  resources/gen_cantovia.def
)
cantovia_strict(gen_cantovia)
target_compile_options(gen_cantovia PRIVATE ${DLL_COMPILE_OPTIONS})
target_compile_definitions(gen_cantovia PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(gen_cantovia PRIVATE ${DLL_LINK_OPTIONS})
target_link_libraries(gen_cantovia PRIVATE cantovia_logic)
set_target_properties(gen_cantovia PROPERTIES PREFIX "" OUTPUT_NAME gen_cantovia)

# Everything that runs lands in one folder, so programs find the DLL beside them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set_target_properties(gen_cantovia PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)

add_library(standin_host STATIC
  player/standin_host.cpp
  player/import_patch.cpp
  player/sample_files.cpp
  player/dialog_driver.cpp
)
cantovia_strict(standin_host)
target_compile_definitions(standin_host PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(standin_host PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(standin_player player/main.cpp)
cantovia_strict(standin_player)
target_link_libraries(standin_player PRIVATE standin_host)
target_link_options(standin_player PRIVATE -static)
add_dependencies(standin_player gen_cantovia)

add_executable(plugin_tests
  tests/win/plugin_lifecycle_test.cpp
  tests/win/track_watcher_test.cpp
  tests/win/config_dialog_test.cpp
)
cantovia_strict(plugin_tests)
target_link_libraries(plugin_tests PRIVATE standin_host GTest::gtest_main)
target_link_options(plugin_tests PRIVATE -static)
add_dependencies(plugin_tests gen_cantovia)

if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME plugin_tests COMMAND plugin_tests)
  set_tests_properties(plugin_tests PROPERTIES TIMEOUT 300)
endif()
