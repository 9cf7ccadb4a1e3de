#include "tests/support/test_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/run/text_columns.h"

namespace korvelan::testing {

ScratchDir::ScratchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kvtestXXXXXX").string();
    char* p = ::mkdtemp(tmpl.data());
    path = std::string(p ? p : tmpl.c_str()) + "/";
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> list_dir(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
    return names;
}

std::vector<std::string> crlf_lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t p = bytes.find("\r\n", start);
        if (p == std::string::npos) {
            if (start < bytes.size()) out.push_back(bytes.substr(start));
            break;
        }
        out.push_back(bytes.substr(start, p - start));
        start = p + 2;
    }
    return out;
}

CwdGuard::CwdGuard() { saved = std::filesystem::current_path().string(); }
CwdGuard::~CwdGuard() {
    std::error_code ec;
    std::filesystem::current_path(saved, ec);
}

bool utf8_text(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && c != '\f') return false;
        const int n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
        if (n == 0 || i + static_cast<std::size_t>(n) > s.size()) return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(n);
    }
    return true;
}

std::vector<std::size_t> frame_columns(const std::string& line) {
    std::vector<std::size_t> at;
    std::size_t column = 0;
    for (std::size_t b = 0; b < line.size(); b += utf8_character_size(line, b)) {
        if (line[b] == '|' || line[b] == '+') at.push_back(column);
        column += static_cast<std::size_t>(display_width_at(line, b));
    }
    return at;
}

}  // namespace korvelan::testing
