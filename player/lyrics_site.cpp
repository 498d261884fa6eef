#include "player/lyrics_site.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr char SITE_FOLDER_VARIABLE[] = "CANTOVIA_SITE";
constexpr char MISSING_VALUE[] = "<missing>";

// The site's folder as this program opens it: Wine's drive Z: is the Unix root.
std::string site_file(const char* name)
{
    const char* folder = std::getenv(SITE_FOLDER_VARIABLE);
    return folder == nullptr ? std::string() : std::string("Z:") + folder + "/" + name;
}

std::string read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int site_port()
{
    const std::string text = read_file(site_file("port"));
    return text.empty() ? 0 : std::atoi(text.c_str());
}

std::string bytes_of_hex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    }
    return bytes;
}

SiteRequest parse_record(const std::string& line)
{
    SiteRequest request;
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, field, '\t');
    request.address = bytes_of_hex(field);
    while (std::getline(fields, field, '\t')) {
        const size_t equals = field.find('=');
        request.values.emplace_back(bytes_of_hex(field.substr(0, equals)),
                                    equals == std::string::npos ? std::string() : bytes_of_hex(field.substr(equals + 1)));
    }
    return request;
}

} // namespace

std::string SiteRequest::value(const std::string& key) const
{
    for (const auto& [name, text] : values) {
        if (name == key) {
            return text;
        }
    }
    return MISSING_VALUE;
}

std::vector<std::string> SiteRequest::keys() const
{
    std::vector<std::string> names;
    for (const auto& pair : values) {
        names.push_back(pair.first);
    }
    return names;
}

std::string lyrics_site_unavailable_reason()
{
    if (std::getenv(SITE_FOLDER_VARIABLE) == nullptr) {
        return "no lyrics site stand-in: run this program through scripts/with-lyrics-site.sh";
    }
    if (site_port() <= 0) {
        return "the lyrics site stand-in has not said its port";
    }
    return {};
}

bool point_proxy_at_lyrics_site()
{
    const int port = site_port();
    if (port <= 0) {
        return false;
    }
    HKEY settings = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &settings, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD enable = 1;
    const std::string server = "127.0.0.1:" + std::to_string(port);
    const bool set =
        RegSetValueExA(settings, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof enable) ==
            ERROR_SUCCESS &&
        RegSetValueExA(settings, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>(server.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(settings);
    return set;
}

std::vector<SiteRequest> lyrics_site_requests()
{
    std::vector<SiteRequest> requests;
    const std::string log = read_file(site_file("requests.log"));
    size_t start = 0;
    // A line without its newline is still being written: it is taken next time.
    for (size_t end = log.find('\n'); end != std::string::npos; end = log.find('\n', start)) {
        requests.push_back(parse_record(log.substr(start, end - start)));
        start = end + 1;
    }
    return requests;
}

bool wait_for_site_requests(size_t count, DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    while (lyrics_site_requests().size() < count) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        pump_messages_for(20);
    }
    return true;
}

void set_lyrics_site_silent(bool silent)
{
    const std::string flag = site_file("silent");
    if (silent) {
        std::ofstream(flag, std::ios::binary) << "silent\n";
    } else {
        DeleteFileA(flag.c_str());
    }
}
