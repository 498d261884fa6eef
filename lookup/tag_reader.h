// The tag part of the lyrics page address, from the playing file's ID3v1 trailer.
#pragma once

#include "lookup/id3v1.h"

// Reads the trailer of the current playlist entry's file into the tag buffers; a file that
// cannot be read or has no tag leaves them as they are.
void read_id3v1_tag();

// Reads the tag, then appends its keys (or nothing) to `address`, which is still uncut when
// `whole` (as append_tag_keys). False when the address is cut.
bool append_id3v1_part(char (&address)[PAGE_ADDRESS_SIZE], bool whole);
