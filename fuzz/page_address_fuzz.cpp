// Fuzzes the composition of a lyrics page address as the tick does it, from arbitrary path,
// title, length, language and trailer bytes, against a model built with std::string: the
// values escaped byte by byte, the address cut only between keys and units.
//
// Input: 4 bytes track length (little-endian), 1 byte language, 1 byte trailer length N,
// N trailer bytes, then the path, a NUL, and the title.
#include "lookup/id3v1.h"
#include "lookup/page_address.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Heap blocks of exactly the buffers' sizes, so that AddressSanitizer sees any write past them.
struct AddressBuffer {
    char text[PAGE_ADDRESS_SIZE];
};
struct PathBuffer {
    char text[PATH_TEXT_SIZE];
};
struct TitleBuffer {
    char text[TITLE_TEXT_SIZE];
};

std::string with_stand_ins(std::string text)
{
    for (char& c : text) {
        if (c == AMPERSAND) c = AMPERSAND_STAND_IN;
    }
    return text;
}

std::string field(const uint8_t* trailer, size_t offset)
{
    const char* start = reinterpret_cast<const char*>(trailer + offset);
    return std::string(start, strnlen(start, ID3V1_FIELD_LENGTH));
}

// The uncut address, and at which lengths it may be cut: true at every length that does not
// fall strictly inside a key.
struct Model {
    std::string text;
    std::vector<bool> may_end_at{true};

    void add_key(const std::string& key)
    {
        text += key;
        for (size_t i = 1; i <= key.size(); ++i) {
            may_end_at.push_back(i == key.size());
        }
    }
    // Each byte of a value is one unit: itself, or "%XX" for "%", "+", "#", the control bytes
    // and every byte above 0x7E. A cut falls between units.
    void add_value(const std::string& value)
    {
        static const char hex_digits[] = "0123456789ABCDEF";
        for (char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            const bool escape = byte == '%' || byte == '+' || byte == '#' || byte < 0x20 || byte >= 0x7F;
            const std::string unit =
                escape ? std::string{'%', hex_digits[byte >> 4], hex_digits[byte & 0xF]} : std::string(1, c);
            text += unit;
            for (size_t i = 1; i <= unit.size(); ++i) {
                may_end_at.push_back(i == unit.size());
            }
        }
    }
    std::string cut_to(size_t limit) const
    {
        size_t length = std::min(limit, text.size());
        while (!may_end_at[length]) {
            --length;
        }
        return text.substr(0, length);
    }
};

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) {
        return 0;
    }
    int32_t seconds = 0;
    std::memcpy(&seconds, data, sizeof seconds);
    const int32_t language = static_cast<int8_t>(data[4]);
    const size_t trailer_length = std::min<size_t>(data[5], size - 6);
    const std::vector<uint8_t> trailer(data + 6, data + 6 + trailer_length);
    const std::string rest(reinterpret_cast<const char*>(data + 6 + trailer_length), size - 6 - trailer_length);
    const size_t split = rest.find('\0');
    const std::string path = rest.substr(0, split);
    // Texts from the player end at their first NUL.
    const std::string after_path = split == std::string::npos ? std::string() : rest.substr(split + 1);
    const std::string title = after_path.substr(0, after_path.find('\0'));

    // Bounded copies never run past their buffers, cut or not.
    auto path_copy = std::make_unique<PathBuffer>();
    auto title_copy = std::make_unique<TitleBuffer>();
    const bool path_fit = copy_address_value(path_copy->text, path.c_str());
    check(path_fit == (path.size() < PATH_TEXT_SIZE));
    copy_address_value(title_copy->text, title.c_str());

    const char* base = site_base_address(language);
    check((base != nullptr) == (language >= 1 && language <= 3));
    if (base == nullptr || !path_fit) {
        return 0;
    }

    auto address = std::make_unique<AddressBuffer>();
    const bool composed = compose_page_address(address->text, base, path_copy->text, title_copy->text, seconds);

    auto tag = std::make_unique<Id3v1Tag>();
    std::memset(tag.get(), 0, sizeof *tag);
    auto exact_trailer = std::make_unique<uint8_t[]>(trailer.size() + 1);
    if (!trailer.empty()) {
        std::memcpy(exact_trailer.get(), trailer.data(), trailer.size());
    }
    const bool is_tag = parse_id3v1_trailer(exact_trailer.get(), trailer.size(), *tag);
    check(is_tag == (trailer.size() == ID3V1_TRAILER_SIZE && std::memcmp(trailer.data(), "TAG", 3) == 0));
    const bool fit = append_tag_keys(address->text, *tag, composed);
    check(tag->tag_title[0] == '\0' && tag->tag_artist[0] == '\0' && tag->tag_album[0] == '\0');

    // The model: the whole address, and where it may end when cut: anywhere but inside a key
    // (the seconds' digits belong to their key), so at the longest such prefix that fits.
    Model expected;
    expected.add_key(base);
    expected.add_value(with_stand_ins(path));
    expected.add_key("&t=");
    expected.add_value(with_stand_ins(title));
    if (seconds > 1) {
        expected.add_key("&segundos=" + std::to_string(seconds));
    }
    const size_t length_before_tag = expected.text.size();
    if (is_tag) {
        const std::string tag_title = field(trailer.data(), ID3V1_TITLE_OFFSET);
        const std::string tag_artist = field(trailer.data(), ID3V1_ARTIST_OFFSET);
        const std::string tag_album = field(trailer.data(), ID3V1_ALBUM_OFFSET);
        if (!tag_title.empty() || !tag_artist.empty() || !tag_album.empty()) {
            expected.add_key("&musica=");
            expected.add_value(with_stand_ins(tag_title));
            expected.add_key("&artista=");
            expected.add_value(with_stand_ins(tag_artist));
        }
    }
    const size_t length = strnlen(address->text, PAGE_ADDRESS_SIZE);
    check(length < PAGE_ADDRESS_SIZE);
    check(std::string(address->text, length) == expected.cut_to(PAGE_ADDRESS_SIZE - 1));
    // Plain ASCII: every browser sends it as it is.
    check(std::all_of(address->text, address->text + length,
                      [](char c) { return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F; }));
    check(composed == (length_before_tag < PAGE_ADDRESS_SIZE));
    check(fit == (expected.text.size() < PAGE_ADDRESS_SIZE));
    return 0;
}
