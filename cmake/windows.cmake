# The Windows builds: the plug-in DLL, the stand-in player and the tests that run it.
enable_language(RC)

# The DLL must load on a machine without the MinGW runtime, and stay small. It has no static
# constructors and no exceptions, so it needs none of the runtime's start-up code: DllMain is
# the entry point, and the few C functions the compiler may call come from msvcrt.dll.
set(DLL_COMPILE_OPTIONS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
                        -ffunction-sections)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(DLL_ENTRY _DllMain@12)
else()
  set(DLL_ENTRY DllMain)
endif()
set(DLL_LINK_OPTIONS -static -s -nostartfiles -nodefaultlibs -Wl,--entry=${DLL_ENTRY} -Wl,--gc-sections
                     -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)
set(DLL_LINK_LIBRARIES kernel32 user32 oleaut32 uuid msvcrt gcc)

add_library(cantovia_logic STATIC ${LOGIC_SOURCES})
cantovia_strict(cantovia_logic)
target_compile_options(cantovia_logic PRIVATE ${DLL_COMPILE_OPTIONS})

add_library(gen_cantovia SHARED
  host/player.cpp
  plugin/plugin.cpp
  plugin/settings.cpp
  display/web_browser.cpp
  display/lyrics_window.cpp
  display/lyrics_keys.cpp
  display/lyrics_menu.cpp
  dialog/config_dialog.cpp
  lookup/track_watcher.cpp
  lookup/tag_reader.cpp
  resources/gen_cantovia.rc
  resources/gen_cantovia.def
)
cantovia_strict(gen_cantovia)
target_compile_options(gen_cantovia PRIVATE ${DLL_COMPILE_OPTIONS})
target_compile_definitions(gen_cantovia PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(gen_cantovia PRIVATE ${DLL_LINK_OPTIONS})
target_link_libraries(gen_cantovia PRIVATE cantovia_logic ${DLL_LINK_LIBRARIES})
set_target_properties(gen_cantovia PROPERTIES PREFIX "" OUTPUT_NAME gen_cantovia)

# The finished DLL is also copied where a user or a release takes it from.
set(CANTOVIA_DIST_DIR "" CACHE PATH "Folder that receives a copy of the built DLL")
if(CANTOVIA_DIST_DIR)
  add_custom_command(TARGET gen_cantovia POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CANTOVIA_DIST_DIR}
                     COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:gen_cantovia> ${CANTOVIA_DIST_DIR}/)
  set(CHECKED_DLL ${CANTOVIA_DIST_DIR}/gen_cantovia.dll)
else()
  set(CHECKED_DLL $<TARGET_FILE:gen_cantovia>)
endif()

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
  player/embedded_frames.cpp
  player/player_menus.cpp
  player/web_control.cpp
  player/navigation_hook.cpp
  player/player_events.cpp
  player/lyrics_site.cpp
)
cantovia_strict(standin_host)
target_compile_definitions(standin_host PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(standin_host PUBLIC oleaut32 ole32 uuid)
target_include_directories(standin_host PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(standin_player player/main.cpp)
cantovia_strict(standin_player)
target_link_libraries(standin_player PRIVATE standin_host)
target_link_options(standin_player PRIVATE -static)
add_dependencies(standin_player gen_cantovia)

add_executable(plugin_tests
  tests/win/plugin_lifecycle_test.cpp
  tests/win/track_watcher_test.cpp
  tests/win/tag_reader_test.cpp
  tests/win/hostile_host_test.cpp
  tests/win/config_dialog_test.cpp
  tests/win/web_browser_test.cpp
  tests/win/lyrics_site_test.cpp
  tests/win/lyrics_window_test.cpp
  tests/win/stream_test.cpp
  tests/win/random_run_test.cpp
  tests/win/test_main.cpp
  tests/win/crash_exit.cpp
)
cantovia_strict(plugin_tests)
target_link_libraries(plugin_tests PRIVATE standin_host cantovia_logic GTest::gtest ntdll)
target_link_options(plugin_tests PRIVATE -static)
add_dependencies(plugin_tests gen_cantovia)

add_executable(crash_probe tests/win/crash_probe.cpp tests/win/crash_exit.cpp)
cantovia_strict(crash_probe)
target_link_options(crash_probe PRIVATE -static)

# Tests that run Windows programs under this build's Wine (the emulator of the toolchain file).
# They load the DLL from where a user takes it. Where this machine does not run the build's
# programs, the emulator says why and exits with 77: CTest reports the test as skipped.
set(WINE_SKIPPED 77)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(WINE_ARCH win32)
else()
  set(WINE_ARCH win64)
endif()
function(cantovia_wine_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE ${WINE_SKIPPED})
endfunction()

# The plug-in's pages really travel: through the stand-in player's web controls to the lyrics
# site stand-in, which the test program's prefix reaches through its proxy setting.
cantovia_wine_test(plugin_tests ${PROJECT_SOURCE_DIR}/scripts/with-lyrics-site.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:plugin_tests> --plugin Z:${CHECKED_DLL})
set_tests_properties(plugin_tests PROPERTIES TIMEOUT 300)
cantovia_wine_test(crash_ends_the_program ${PROJECT_SOURCE_DIR}/tests/check_crash_exit.sh ${WINE_ARCH}
                   $<TARGET_FILE:crash_probe>)
set_tests_properties(crash_ends_the_program PROPERTIES TIMEOUT 30)
if(WINE_ARCH STREQUAL "win64")
  # The session script stops its wineserver however it ends: shown with 64-bit Wine, which runs here.
  add_test(NAME wine_session_stops_its_server
           COMMAND ${PROJECT_SOURCE_DIR}/tests/check_wine_session.sh ${PROJECT_BINARY_DIR}/session-prefix)
  set_tests_properties(wine_session_stops_its_server PROPERTIES TIMEOUT 180)
endif()

# What can be read from the built DLL, on every machine.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(DLL_MACHINE i386)
else()
  set(DLL_MACHINE x86-64)
endif()
string(REPLACE "gcc-posix" "" MINGW_TOOL_PREFIX "${CMAKE_C_COMPILER}")
add_test(NAME dll_check
         COMMAND ${PROJECT_SOURCE_DIR}/tests/check_dll.sh ${CHECKED_DLL} ${DLL_MACHINE}
                 ${MINGW_TOOL_PREFIX} ${PROJECT_VERSION})

if(DLL_MACHINE STREQUAL "i386")
  # The message processor's calling convention, read from the compiled code.
  add_test(NAME processor_convention
           COMMAND ${PROJECT_SOURCE_DIR}/tests/check_player_method.sh ${MINGW_TOOL_PREFIX} $<FILTER:$<TARGET_OBJECTS:gen_cantovia>,INCLUDE,lyrics_keys>)
  add_test(NAME release_archive
           COMMAND ${PROJECT_SOURCE_DIR}/tests/check_release.sh ${CHECKED_DLL}
                   ${PROJECT_BINARY_DIR}/generated/build_config.h ${PROJECT_BINARY_DIR}/gen_cantovia-setup.exe)
  # The same sources built in two other folders, one after the other: the same DLL, archive and installer.
  add_test(NAME release_reproducible
           COMMAND ${PROJECT_SOURCE_DIR}/tests/check_reproducible.sh ${PROJECT_SOURCE_DIR} toolchain-mingw-i686.cmake)
  set_tests_properties(release_reproducible PROPERTIES TIMEOUT 600)
endif()

# The installer, from resources/installer.nsi with the DLL as built. The 32-bit build's is the
# one a release ships; the 64-bit build makes one of the same script only for its tests, since
# 64-bit Wine runs everywhere.
find_program(MAKENSIS makensis REQUIRED)
set(INSTALLER ${PROJECT_BINARY_DIR}/gen_cantovia-setup.exe)
if(DLL_MACHINE STREQUAL "i386")
  set(INSTALLER_TARGET "")
else()
  set(INSTALLER_TARGET -DTARGET_AMD64)
endif()
add_custom_command(OUTPUT ${INSTALLER}
                   COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
                           -DDLL_DIR=$<TARGET_FILE_DIR:gen_cantovia> -DDLL_NAME=$<TARGET_FILE_NAME:gen_cantovia>
                           -DOUTFILE=${INSTALLER} ${INSTALLER_TARGET} ${PROJECT_SOURCE_DIR}/resources/installer.nsi
                   DEPENDS gen_cantovia ${PROJECT_SOURCE_DIR}/resources/installer.nsi
                   VERBATIM)
add_custom_target(installer ALL DEPENDS ${INSTALLER})

# Stand in for the running player and for a user clicking through pages, in the installer's tests.
foreach(helper player_window installer_pages)
  add_executable(${helper} tests/win/${helper}.cpp)
  cantovia_strict(${helper})
  target_link_options(${helper} PRIVATE -static)
endforeach()

cantovia_wine_test(installer ${PROJECT_SOURCE_DIR}/tests/check_installer.sh ${WINE_ARCH} ${INSTALLER}
                   ${CHECKED_DLL} $<TARGET_FILE:player_window> $<TARGET_FILE:installer_pages>
                   ${PROJECT_BINARY_DIR}/installer-prefix
                   ${PROJECT_VERSION})
set_tests_properties(installer PROPERTIES TIMEOUT 300)
if(WINE_ARCH STREQUAL "win32")
  # The shipped installer as most users run it: a 32-bit program on a 64-bit Windows.
  cantovia_wine_test(installer_on_64bit_windows ${PROJECT_SOURCE_DIR}/tests/check_installer.sh win32-on-win64
                     ${INSTALLER} ${CHECKED_DLL} $<TARGET_FILE:player_window> $<TARGET_FILE:installer_pages>
                     ${PROJECT_BINARY_DIR}/installer-prefix-64 ${PROJECT_VERSION})
  set_tests_properties(installer_on_64bit_windows PROPERTIES TIMEOUT 300)
endif()
