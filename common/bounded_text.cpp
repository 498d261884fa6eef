#include "common/bounded_text.h"

namespace {

// The length of the text in `buffer`, or `capacity` when the buffer holds no NUL.
size_t text_end(const char* buffer, size_t capacity)
{
    size_t end = 0;
    while (end < capacity && buffer[end] != '\0') {
        ++end;
    }
    return end;
}

} // namespace

bool text_append(char* buffer, size_t capacity, const char* source, size_t source_limit)
{
    if (capacity == 0) {
        return false;
    }
    size_t end = text_end(buffer, capacity);
    if (end == capacity) {
        // No terminator inside the buffer: terminate it in its last byte and append nothing.
        buffer[capacity - 1] = '\0';
        return false;
    }
    size_t taken = 0;
    while (taken < source_limit && source[taken] != '\0') {
        if (end + 1 == capacity) {
            buffer[end] = '\0';
            return false;
        }
        buffer[end++] = source[taken++];
    }
    buffer[end] = '\0';
    return true;
}

bool text_copy(char* buffer, size_t capacity, const char* source, size_t source_limit)
{
    if (capacity == 0) {
        return false;
    }
    buffer[0] = '\0';
    return text_append(buffer, capacity, source, source_limit);
}

bool text_append_whole(char* buffer, size_t capacity, const char* source)
{
    if (capacity == 0) {
        return false;
    }
    const size_t end = text_end(buffer, capacity);
    if (end == capacity) {
        buffer[capacity - 1] = '\0';
        return false;
    }
    // Room for this many more bytes before the terminator; the source is measured no further.
    const size_t room = capacity - 1 - end;
    size_t length = 0;
    while (length <= room && source[length] != '\0') {
        ++length;
    }
    if (length > room) {
        return false;
    }
    return text_append(buffer, capacity, source);
}

void format_decimal(int32_t value, char (&text)[DECIMAL_TEXT_SIZE])
{
    // Work on the magnitude as unsigned so that INT32_MIN needs no special case.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[10];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    size_t out = 0;
    if (value < 0) {
        text[out++] = '-';
    }
    while (count > 0) {
        text[out++] = digits[--count];
    }
    text[out] = '\0';
}

char* replace_char(char* text, char from, char to)
{
    for (char* p = text; *p != '\0'; ++p) {
        if (*p == from) {
            *p = to;
        }
    }
    return text;
}

namespace {

constexpr unsigned CP1252_SPECIAL_FIRST = 0x80;
// Code points of 0x80 to 0x9F; the undefined five keep their own number.
constexpr char16_t CP1252_SPECIAL[] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80-0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88-0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90-0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98-0x9F
};
static_assert(sizeof CP1252_SPECIAL / sizeof CP1252_SPECIAL[0] == 0x20, "one code point for each of 0x80-0x9F");

} // namespace

char16_t utf16_from_cp1252(unsigned char byte)
{
    const unsigned offset = static_cast<unsigned>(byte) - CP1252_SPECIAL_FIRST;
    return offset < sizeof CP1252_SPECIAL / sizeof CP1252_SPECIAL[0] ? CP1252_SPECIAL[offset] : char16_t{byte};
}

bool text_copy_utf16(char16_t* buffer, size_t capacity, const char* source)
{
    if (capacity == 0) {
        return false;
    }
    size_t end = 0;
    for (; source[end] != '\0'; ++end) {
        if (end + 1 == capacity) {
            buffer[end] = u'\0';
            return false;
        }
        buffer[end] = utf16_from_cp1252(static_cast<unsigned char>(source[end]));
    }
    buffer[end] = u'\0';
    return true;
}

bool text_copy_utf16(char16_t* buffer, size_t capacity, const char16_t* source)
{
    if (capacity == 0) {
        return false;
    }
    size_t end = 0;
    for (; source[end] != u'\0'; ++end) {
        if (end + 1 == capacity) {
            buffer[end] = u'\0';
            return false;
        }
        buffer[end] = source[end];
    }
    buffer[end] = u'\0';
    return true;
}

bool utf16_equal(const char16_t* a, const char16_t* b, size_t limit)
{
    for (size_t i = 0; i < limit; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
        if (a[i] == u'\0') {
            return true;
        }
    }
    return true;
}
