#include "spss/sav_dictionary.h"

#include <cstring>
#include <fstream>
#include <string_view>

#include "spss/sav_text.h"

namespace korvelan::spss {

namespace {

// The dictionary's records, read in order with the byte order its header shows.
class DictionaryReader {
public:
    explicit DictionaryReader(const std::string& path) : in_(path, std::ios::binary | std::ios::ate) {
        size_ = in_ ? static_cast<std::int64_t>(in_.tellg()) : 0;
        in_.seekg(0);
    }

    bool header() {
        char bytes[176];
        if (!in_.read(bytes, sizeof bytes) || std::memcmp(bytes, "$FL", 3) != 0) return false;
        std::uint32_t layout = 0;
        std::memcpy(&layout, bytes + 64, 4);
        swap_ = layout != 2 && layout != 3;
        return true;
    }
    std::int64_t position() { return static_cast<std::int64_t>(in_.tellg()); }
    bool integer(std::int32_t& value) {
        std::uint32_t v = 0;
        if (!in_.read(reinterpret_cast<char*>(&v), 4)) return false;
        if (swap_) v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
        value = static_cast<std::int32_t>(v);
        return true;
    }
    bool skip(std::int64_t bytes) {
        if (bytes < 0 || bytes > size_ - position()) return false;
        return static_cast<bool>(in_.seekg(bytes, std::ios::cur));
    }
    // At most the rest of the file: a damaged length allocates nothing it cannot fill.
    bool text(std::int64_t bytes, std::string& out) {
        if (bytes < 0 || bytes > size_ - position()) return false;
        out.assign(static_cast<std::size_t>(bytes), '\0');
        return static_cast<bool>(in_.read(out.data(), bytes));
    }
    bool byte(unsigned char& value) {
        char c = 0;
        if (!in_.read(&c, 1)) return false;
        value = static_cast<unsigned char>(c);
        return true;
    }
    // A 32-bit integer stored at `at` in a record's text, in the file's byte order.
    std::int32_t integer_at(const std::string& text, std::size_t at) const {
        std::uint32_t v = 0;
        std::memcpy(&v, text.data() + at, 4);
        if (swap_) v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
        return static_cast<std::int32_t>(v);
    }

private:
    std::ifstream in_;
    std::int64_t size_ = 0;
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

// "SHORT=long" pairs, one after another, each ended by a tab.
void read_long_names(const std::string& text, SavDictionary& d) {
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::string_view pair = rest.substr(0, rest.find('\t'));
        rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos || equals == 0) continue;
        d.long_names[std::string(pair.substr(0, equals))] = std::string(pair.substr(equals + 1));
    }
}

// Per variable: the name's length and the name, the number of values (one byte), then the
// values of 8 bytes, each after its length (as PSPP writes them) or all after one length (as
// ReadStat writes them). The two layouts differ only where a variable has two values or more;
// the one that fills the record exactly is taken.
bool read_long_string_missing(const DictionaryReader& r, const std::string& text, bool length_per_value,
                              SavDictionary& d) {
    std::map<std::string, std::vector<std::string>> found;
    std::size_t at = 0;
    auto integer = [&](std::int32_t& v) {
        if (text.size() - at < 4) return false;
        v = r.integer_at(text, at);
        at += 4;
        return true;
    };
    while (at < text.size()) {
        std::int32_t name_length = 0, value_length = 0;
        if (!integer(name_length) || name_length <= 0 || static_cast<std::size_t>(name_length) >= text.size() - at) {
            return false;
        }
        const std::string name = text.substr(at, static_cast<std::size_t>(name_length));
        at += static_cast<std::size_t>(name_length);
        const auto count = static_cast<unsigned char>(text[at++]);
        std::vector<std::string>& values = found[name];
        for (unsigned i = 0; i < count; ++i) {
            if ((length_per_value || i == 0) && (!integer(value_length) || value_length < 0)) return false;
            if (text.size() - at < static_cast<std::size_t>(value_length)) return false;
            values.push_back(text.substr(at, static_cast<std::size_t>(value_length)));
            at += static_cast<std::size_t>(value_length);
        }
    }
    d.long_string_missing = std::move(found);
    return true;
}

void read_extension(const DictionaryReader& r, std::int32_t subtype, const std::string& text, SavDictionary& d,
                    std::string& code_page) {
    if (subtype == 3 && text.size() == 32) {
        const std::int32_t code = r.integer_at(text, 28);
        if (code > 0) code_page = code_page_encoding(code);
    } else if (subtype == 13) {
        read_long_names(text, d);
    } else if (subtype == 20) {
        d.encoding = text.substr(0, text.find_last_not_of(std::string(" \0", 2)) + 1);
    } else if (subtype == 22) {
        if (!read_long_string_missing(r, text, true, d)) read_long_string_missing(r, text, false, d);
    }
}

}  // namespace

void read_sav_dictionary(const std::string& path, SavDictionary& d) {
    d = SavDictionary{};
    DictionaryReader r(path);
    if (!r.header()) return;
    std::string code_page;
    for (bool more = true; more;) {
        std::int32_t type = 0;
        if (!r.integer(type)) break;
        if (type == 2) {
            more = skip_variable(r);
        } else if (type == 3) {
            more = skip_value_labels(r);
        } else if (type == 6) {
            std::int32_t lines = 0;
            more = r.integer(lines) && r.skip(80 * static_cast<std::int64_t>(lines));
        } else if (type == 7) {
            const std::int64_t at = r.position();
            std::int32_t subtype = 0, size = 0, count = 0;
            std::string text;
            more = r.integer(subtype) && r.integer(size) && r.integer(count) && size >= 0 && count >= 0 &&
                   r.text(static_cast<std::int64_t>(size) * count, text);
            if (!more) break;
            if (subtype == 13 || subtype == 21 || subtype == 22) d.hidden_subtypes.push_back(at);
            read_extension(r, subtype, text, d, code_page);
        } else {
            break;  // 999: the end of the dictionary, or a record not known here
        }
    }
    if (d.encoding.empty()) d.encoding = code_page;
}

}  // namespace korvelan::spss
