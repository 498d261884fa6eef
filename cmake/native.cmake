# The native build: the portable logic under the sanitizers, its tests and its fuzz targets.
set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(cantovia_logic STATIC ${LOGIC_SOURCES})
cantovia_strict(cantovia_logic)
target_compile_options(cantovia_logic PUBLIC ${SANITIZE})
target_link_options(cantovia_logic PUBLIC ${SANITIZE})
target_include_directories(cantovia_logic PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)

add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

add_executable(logic_tests
  tests/native/bounded_text_test.cpp
  tests/native/page_address_test.cpp
  tests/native/id3v1_test.cpp
  tests/native/labels_test.cpp
  tests/native/utf16_text_test.cpp
  tests/native/window_place_test.cpp
  tests/native/stream_song_test.cpp
)
cantovia_strict(logic_tests)
target_link_libraries(logic_tests PRIVATE cantovia_logic GTest::gtest_main)
# Test names are those the name generators give, without GoogleTest's print of the value.
gtest_discover_tests(logic_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)

# The build scripts' answers to a machine that refuses 32-bit programs or cannot say.
add_test(NAME build_scripts COMMAND ${PROJECT_SOURCE_DIR}/tests/check_scripts.sh)

# libFuzzer targets (clang only). The test runs each one briefly on the kept corpus; new
# inputs go to a scratch folder so the kept corpus only changes by hand.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_library(cantovia_logic_fuzz STATIC ${LOGIC_SOURCES})
  target_compile_options(cantovia_logic_fuzz PUBLIC ${SANITIZE} -fsanitize=fuzzer-no-link)
  target_include_directories(cantovia_logic_fuzz PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  cantovia_strict(cantovia_logic_fuzz)

  add_executable(page_address_fuzz fuzz/page_address_fuzz.cpp)
  cantovia_strict(page_address_fuzz)
  target_compile_options(page_address_fuzz PRIVATE ${SANITIZE} -fsanitize=fuzzer)
  target_link_options(page_address_fuzz PRIVATE ${SANITIZE} -fsanitize=fuzzer)
  target_link_libraries(page_address_fuzz PRIVATE cantovia_logic_fuzz)

  set(CANTOVIA_FUZZ_SECONDS 5 CACHE STRING "How long the test runs each fuzz target")
  add_test(NAME page_address_fuzz
           COMMAND ${CMAKE_COMMAND} -E env sh -c
                   "mkdir -p fuzz-scratch && exec \"$0\" -max_total_time=${CANTOVIA_FUZZ_SECONDS} -print_final_stats=1 -artifact_prefix=fuzz-scratch/ fuzz-scratch \"$1\""
                   $<TARGET_FILE:page_address_fuzz> ${PROJECT_SOURCE_DIR}/fuzz/corpus/page_address)
endif()
