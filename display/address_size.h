// The size of every page address buffer: the lookup composes addresses of at most
// PAGE_ADDRESS_SIZE - 1 bytes, and the places that show a page hold any such address whole.
#pragma once

#include <cstddef>

constexpr size_t PAGE_ADDRESS_SIZE = 352;
