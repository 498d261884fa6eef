#include "common/bounded_text.h"

bool text_append(char* buffer, size_t capacity, const char* source, size_t source_limit)
{
    if (capacity == 0) {
        return false;
    }
    size_t end = 0;
    while (end < capacity && buffer[end] != '\0') {
        ++end;
    }
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
