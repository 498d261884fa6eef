// Bounded text: the one way this code writes into a character buffer.
// Every write stays inside the buffer, always leaves it NUL-terminated and says whether
// anything had to be cut. Sizes come from the arrays themselves wherever possible.
#pragma once

#include <cstddef>
#include <cstdint>

// Appends at most `source_limit` bytes of the NUL-terminated `source` (stopping at its first
// NUL) to the NUL-terminated text in `buffer` of `capacity` bytes. Returns true when all of
// it fit, false when it was cut to fit (or `capacity` is 0, or `buffer` holds no NUL).
bool text_append(char* buffer, size_t capacity, const char* source, size_t source_limit = SIZE_MAX);

// Replaces the text in `buffer` by `source`; same limits and result as text_append.
bool text_copy(char* buffer, size_t capacity, const char* source, size_t source_limit = SIZE_MAX);

// Appends all of the NUL-terminated `source` to the NUL-terminated text in `buffer` of
// `capacity` bytes, or nothing of it. Returns true when it went in, false when it would not
// have fit and the text was left as it was (a buffer holding no NUL is terminated in its last
// byte, as by text_append).
bool text_append_whole(char* buffer, size_t capacity, const char* source);

template <size_t N>
bool text_append(char (&buffer)[N], const char* source, size_t source_limit = SIZE_MAX)
{
    return text_append(buffer, N, source, source_limit);
}

template <size_t N>
bool text_copy(char (&buffer)[N], const char* source, size_t source_limit = SIZE_MAX)
{
    return text_copy(buffer, N, source, source_limit);
}

template <size_t N>
bool text_append_whole(char (&buffer)[N], const char* source)
{
    return text_append_whole(buffer, N, source);
}

// Decimal text of a 32-bit signed integer, as "%d" and "%i" give it (no padding, "-" for
// negatives, INT32_MIN included): at most 11 characters and the NUL.
constexpr size_t DECIMAL_TEXT_SIZE = 12;
void format_decimal(int32_t value, char (&text)[DECIMAL_TEXT_SIZE]);

// Replaces, in place, every byte equal to `from` in the NUL-terminated `text` with `to`.
// Returns `text`.
char* replace_char(char* text, char from, char to);

// The UTF-16 code unit of one code page 1252 byte. Every byte has one: the 27 characters the
// code page places in 0x80-0x9F (0x80 is the euro sign, U+20AC) have their own code points,
// the five bytes it leaves undefined there (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081,
// U+008D, U+008F, U+0090 and U+009D as the Windows conversion gives them, and every other
// byte is the code point of the same number.
char16_t utf16_from_cp1252(unsigned char byte);

// Replaces the text in `buffer` of `capacity` UTF-16 code units by the NUL-terminated code
// page 1252 `source`, one code unit for each byte. Same limits and result as text_copy. The
// conversion itself cannot fail (every byte has its code unit), so a text of fewer bytes than
// `capacity` always fits whole.
bool text_copy_utf16(char16_t* buffer, size_t capacity, const char* source);

template <size_t N>
bool text_copy_utf16(char16_t (&buffer)[N], const char* source)
{
    return text_copy_utf16(buffer, N, source);
}

// Replaces the text in `buffer` of `capacity` UTF-16 code units by the NUL-terminated UTF-16
// `source`, unit for unit; same limits and result as text_copy.
bool text_copy_utf16(char16_t* buffer, size_t capacity, const char16_t* source);

template <size_t N>
bool text_copy_utf16(char16_t (&buffer)[N], const char16_t* source)
{
    return text_copy_utf16(buffer, N, source);
}

// True when the NUL-terminated UTF-16 texts `a` and `b` hold the same code units, compared up to
// their end or `limit` units, whichever comes first: neither is read past `limit` units.
bool utf16_equal(const char16_t* a, const char16_t* b, size_t limit);
