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
  tests/native/labels_test.cpp
)
cantovia_strict(logic_tests)
target_link_libraries(logic_tests PRIVATE cantovia_logic GTest::gtest_main)
gtest_discover_tests(logic_tests DISCOVERY_TIMEOUT 60)
