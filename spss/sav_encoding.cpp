#include "spss/sav_encoding.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace korvelan::spss {

namespace {

// The dictionary's records, read in order with the byte order its header shows.
class DictionaryReader {
public:
    explicit DictionaryReader(const std::string& path) : in_(path, std::ios::binary) {}

    bool header() {
        char bytes[176];
        if (!in_.read(bytes, sizeof bytes) || std::memcmp(bytes, "$FL", 3) != 0) return false;
        std::uint32_t layout = 0;
        std::memcpy(&layout, bytes + 64, 4);
        swap_ = layout != 2 && layout != 3;
        return true;
    }
    bool integer(std::int32_t& value) {
        std::uint32_t v = 0;
        if (!in_.read(reinterpret_cast<char*>(&v), 4)) return false;
        if (swap_) v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
        value = static_cast<std::int32_t>(v);
        return true;
    }
    bool skip(std::int64_t bytes) {
        if (bytes < 0) return false;
        return static_cast<bool>(in_.seekg(bytes, std::ios::cur));
    }
    bool text(std::int64_t bytes, std::string& out) {
        if (bytes < 0 || bytes > 4096) return false;
        out.assign(static_cast<std::size_t>(bytes), '\0');
        return static_cast<bool>(in_.read(out.data(), bytes));
    }
    bool byte(unsigned char& value) {
        char c = 0;
        if (!in_.read(&c, 1)) return false;
        value = static_cast<unsigned char>(c);
        return true;
    }

private:
    std::ifstream in_;
    bool swap_ = false;
};

bool skip_variable(DictionaryReader& r) {
    std::int32_t type = 0, has_label = 0, missing = 0, label_length = 0;
    if (!r.integer(type) || !r.integer(has_label) || !r.integer(missing) || !r.skip(16)) return false;
    if (has_label == 1 && (!r.integer(label_length) || !r.skip((std::int64_t{label_length} + 3) / 4 * 4))) return false;
    const std::int64_t values = missing;
    return r.skip(8 * (values < 0 ? -values : values));
}

bool skip_value_labels(DictionaryReader& r) {
    std::int32_t count = 0, type = 0, variables = 0;
    if (!r.integer(count) || count < 0) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        unsigned char length = 0;
        if (!r.skip(8) || !r.byte(length) || !r.skip((length + 8) / 8 * 8 - 1)) return false;
    }
    return r.integer(type) && type == 4 && r.integer(variables) && variables >= 0 &&
           r.skip(4 * static_cast<std::int64_t>(variables));
}

}  // namespace

std::string sav_file_encoding(const std::string& path) {
    DictionaryReader r(path);
    if (!r.header()) return "";
    std::string code_page;
    for (;;) {
        std::int32_t type = 0;
        if (!r.integer(type)) return code_page;
        if (type == 2) {
            if (!skip_variable(r)) return code_page;
        } else if (type == 3) {
            if (!skip_value_labels(r)) return code_page;
        } else if (type == 6) {
            std::int32_t lines = 0;
            if (!r.integer(lines) || !r.skip(80 * static_cast<std::int64_t>(lines))) return code_page;
        } else if (type == 7) {
            std::int32_t subtype = 0, size = 0, count = 0;
            if (!r.integer(subtype) || !r.integer(size) || !r.integer(count) || size < 0 || count < 0) return code_page;
            const std::int64_t bytes = static_cast<std::int64_t>(size) * count;
            if (subtype == 20) {
                // The encoding record names the character set in words: it has the last say.
                std::string name;
                return r.text(bytes, name) ? name : code_page;
            }
            if (subtype == 3 && size == 4 && count == 8) {
                std::int32_t value = 0;
                for (int i = 0; i < 8; ++i) {
                    if (!r.integer(value)) return code_page;
                    if (i == 7 && value > 3) code_page = "CP" + std::to_string(value);
                }
            } else if (!r.skip(bytes)) {
                return code_page;
            }
        } else {
            return code_page;  // 999: the end of the dictionary, or a record not known here
        }
    }
}

}  // namespace korvelan::spss
