#include "spss/spss_file.h"

#include <readstat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "engine/run/numtext.h"
#include "spss/sav_dictionary.h"
#include "spss/sav_source.h"
#include "spss/sav_text.h"

namespace korvelan::spss {

const double kSystemMissing = -DBL_MAX;

bool is_system_missing(double value) {
    static constexpr std::array<unsigned char, 8> kBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xFF};
    return std::memcmp(&value, kBytes.data(), sizeof value) == 0;
}

// What the ReadStat handlers fill while the file is parsed. The library hands every text over
// as stored; each is converted here on its own.
struct ParseContext {
    std::vector<SpssFile::Variable> variables;
    std::vector<SpssFile::Column> columns;
    long cases = 0;
    bool out_of_memory = false;
    bool bad_text = false;   // a text that is not one in the file's character set
    bool dictionary_only = false;
    long header_cases = -1;  // the number of cases the header gives; -1 when it leaves it open
    bool counted = false;    // a dictionary-only parse stopped at the first value
    const SavDictionary* dictionary = nullptr;
    TextDecoder* decoder = nullptr;
    std::string text;        // scratch for one converted text

    bool decode(const char* bytes, std::string& out) {
        if (!decoder->decode(bytes ? std::string_view(bytes) : std::string_view(), out)) bad_text = true;
        return !bad_text;
    }

    static int variable(int index, readstat_variable_t* variable, const char*, void* ctx) {
        auto* self = static_cast<ParseContext*>(ctx);
        try {
            return self->add_variable(index, variable);
        } catch (const std::bad_alloc&) {
            self->out_of_memory = true;
            return READSTAT_HANDLER_ABORT;
        }
    }

    int add_variable(int index, readstat_variable_t* variable) {
        SpssFile::Variable v;
        // The library knows the short name only: the long name comes from the dictionary.
        const char* stored = readstat_variable_get_name(variable);
        std::string name = stored ? stored : "";
        if (const auto it = dictionary->long_names.find(name); it != dictionary->long_names.end()) name = it->second;
        const char* format = readstat_variable_get_format(variable);
        if (!decode(name.c_str(), v.name) || !decode(readstat_variable_get_label(variable), v.label)) {
            return READSTAT_HANDLER_ABORT;
        }
        v.format = format ? format : "";
        if (readstat_variable_get_type_class(variable) == READSTAT_TYPE_CLASS_STRING) {
            v.type = std::max<int>(1, static_cast<int>(readstat_variable_get_storage_width(variable)));
        }
        if (!add_missing_values(variable, name, v)) return READSTAT_HANDLER_ABORT;
        if (index >= 0 && static_cast<std::size_t>(index) >= variables.size()) {
            variables.resize(static_cast<std::size_t>(index) + 1);
        }
        if (index >= 0) variables[static_cast<std::size_t>(index)] = std::move(v);
        return READSTAT_HANDLER_OK;
    }

    // The variable's missing values: those of its variable record, as the library read them,
    // and those of a long string, which the dictionary holds.
    bool add_missing_values(readstat_variable_t* variable, const std::string& stored_name, SpssFile::Variable& v) {
        SpssFile::MissingValues& m = v.missing;
        auto add_text = [&](std::string_view bytes) {
            if (!decoder->decode(trim_right(bytes.substr(0, bytes.find('\0'))), text)) bad_text = true;
            m.texts.push_back(text);
        };
        const int ranges = readstat_variable_get_missing_ranges_count(variable);
        for (int i = 0; i < ranges; ++i) {
            const readstat_value_t lo = readstat_variable_get_missing_range_lo(variable, i);
            const readstat_value_t hi = readstat_variable_get_missing_range_hi(variable, i);
            if (readstat_value_type_class(lo) == READSTAT_TYPE_CLASS_STRING) {
                const char* t = readstat_string_value(lo);
                add_text(t ? t : "");
            } else {
                m.low.push_back(readstat_double_value(lo));
                m.high.push_back(readstat_double_value(hi));
            }
        }
        if (const auto it = dictionary->long_string_missing.find(stored_name);
            v.type != 0 && it != dictionary->long_string_missing.end()) {
            for (const std::string& value : it->second) add_text(value);
        }
        return !bad_text;
    }

    static int metadata(readstat_metadata_t* metadata, void* ctx) {
        static_cast<ParseContext*>(ctx)->header_cases = readstat_get_row_count(metadata);
        return READSTAT_HANDLER_OK;
    }

    // The value handler of a dictionary-only parse: the data are not read when the header gives
    // the number of cases, else the cases are counted; nothing is stored.
    static int count(int obs_index, readstat_variable_t*, readstat_value_t, void* ctx) {
        auto* self = static_cast<ParseContext*>(ctx);
        if (self->header_cases >= 0) {
            self->cases = self->header_cases;
            self->counted = true;
            return READSTAT_HANDLER_ABORT;
        }
        self->cases = std::max(self->cases, static_cast<long>(obs_index) + 1);
        return READSTAT_HANDLER_OK;
    }

    static int value(int obs_index, readstat_variable_t* variable, readstat_value_t value, void* ctx) {
        auto* self = static_cast<ParseContext*>(ctx);
        const int column = readstat_variable_get_index(variable);
        if (obs_index < 0 || column < 0 || static_cast<std::size_t>(column) >= self->variables.size()) {
            return READSTAT_HANDLER_ABORT;
        }
        // An exception must not pass through the library's C code.
        try {
            return self->store(static_cast<std::size_t>(obs_index), static_cast<std::size_t>(column), value);
        } catch (const std::bad_alloc&) {
            self->out_of_memory = true;
            return READSTAT_HANDLER_ABORT;
        }
    }

    int store(std::size_t row, std::size_t column, readstat_value_t value) {
        if (columns.size() < variables.size()) columns.resize(variables.size());
        cases = std::max(cases, static_cast<long>(row) + 1);
        SpssFile::Column& c = columns[column];
        if (variables[column].type != 0) {
            // The texts are kept in case order: a case before the last one stored cannot come again.
            if (row + 1 < c.ends.size()) return READSTAT_HANDLER_ABORT;
            if (row + 1 == c.ends.size()) {
                c.chars.resize(row == 0 ? 0 : c.ends[row - 1]);
                c.ends.pop_back();
            }
            c.ends.resize(row, c.chars.size());
            const char* stored = readstat_value_type_class(value) == READSTAT_TYPE_CLASS_STRING
                                     ? readstat_string_value(value)
                                     : nullptr;
            if (stored) {
                if (!decode(stored, text)) return READSTAT_HANDLER_ABORT;
                c.chars += text;
            }
            c.ends.push_back(c.chars.size());
            return READSTAT_HANDLER_OK;
        }
        double number = 0;
        if (readstat_value_type_class(value) != READSTAT_TYPE_CLASS_STRING) {
            number = readstat_value_is_system_missing(value) ? kSystemMissing : readstat_double_value(value);
            if (std::isnan(number)) number = kSystemMissing;
        }
        if (c.numbers.size() <= row) c.numbers.resize(row + 1);
        c.numbers[row] = number;
        return READSTAT_HANDLER_OK;
    }

    // Every column as long as the longest: a value that never came is 0 or an empty text.
    void complete() {
        columns.resize(variables.size());
        if (dictionary_only) return;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            SpssFile::Column& c = columns[i];
            if (variables[i].type != 0) {
                c.ends.resize(static_cast<std::size_t>(cases), c.chars.size());
            } else {
                c.numbers.resize(static_cast<std::size_t>(cases));
            }
        }
    }
};

namespace {

// The library is given a one-byte character set as both the file's and its own: it then hands
// every text over as stored, and a byte that it would refuse in a name never reaches it.
constexpr const char* kBytesAsStored = "ISO-8859-1";

// Parses the file through the source that hides what the dictionary reads itself; a
// dictionary-only parse stores no value and counts the cases.
readstat_error_t parse(const std::string& path, bool dictionary_only, ParseContext& context) {
    readstat_parser_t* parser = readstat_parser_init();
    if (!parser) return READSTAT_ERROR_MALLOC;
    SavSource source;
    source.hidden_subtypes = context.dictionary->hidden_subtypes;
    read_through(parser, source);
    readstat_set_variable_handler(parser, &ParseContext::variable);
    readstat_set_metadata_handler(parser, &ParseContext::metadata);
    readstat_set_value_handler(parser, dictionary_only ? &ParseContext::count : &ParseContext::value);
    readstat_set_file_character_encoding(parser, kBytesAsStored);
    readstat_set_handler_character_encoding(parser, kBytesAsStored);
    const readstat_error_t error = readstat_parse_sav(parser, path.c_str(), &context);
    readstat_parser_free(parser);
    if (source.fd >= 0) ::close(source.fd);
    return error;
}

}  // namespace

int SpssFile::open(const std::string& path, bool dictionary_only) {
    close();
    SavDictionary dictionary;
    TextDecoder decoder;
    try {
        read_sav_dictionary(path, dictionary);
    } catch (const std::bad_alloc&) {
        return READSTAT_ERROR_MALLOC;
    }
    if (!decoder.open(dictionary.encoding)) return READSTAT_ERROR_UNSUPPORTED_CHARSET;
    ParseContext context;
    context.dictionary_only = dictionary_only;
    context.dictionary = &dictionary;
    context.decoder = &decoder;
    readstat_error_t error = parse(path, dictionary_only, context);
    if (context.bad_text) return READSTAT_ERROR_CONVERT_BAD_STRING;
    if (context.out_of_memory) return READSTAT_ERROR_MALLOC;
    if (error == READSTAT_ERROR_USER_ABORT && context.counted) error = READSTAT_OK;
    if (error != READSTAT_OK) return static_cast<int>(error);
    if (dictionary_only && context.header_cases >= 0) context.cases = context.header_cases;
    try {
        context.complete();
    } catch (const std::bad_alloc&) {
        return READSTAT_ERROR_MALLOC;
    }
    variables_ = std::move(context.variables);
    columns_ = std::move(context.columns);
    cases_ = context.cases;
    values_read_ = !dictionary_only;
    cursor_ = -1;
    open_ = true;
    return 0;
}

int SpssFile::close() {
    open_ = false;
    variables_.clear();
    columns_.clear();
    cases_ = 0;
    cursor_ = -1;
    return 0;
}

std::string SpssFile::status_text(int status) {
    if (status > 0 && status < kStatusNotOpen) {
        return readstat_error_message(static_cast<readstat_error_t>(status));
    }
    return "status " + std::to_string(status);
}

int SpssFile::case_count(long& count) const {
    count = cases_;
    return open_ ? 0 : kStatusNotOpen;
}

int SpssFile::variable_count(int& count) const {
    count = static_cast<int>(variables_.size());
    return open_ ? 0 : kStatusNotOpen;
}

int SpssFile::variable_name_and_type(int index, std::string& name, int& type) const {
    if (index < 0 || static_cast<std::size_t>(index) >= variables_.size()) return kStatusNoSuchVariable;
    name = variables_[static_cast<std::size_t>(index)].name;
    type = variables_[static_cast<std::size_t>(index)].type;
    return 0;
}

int SpssFile::variable_index(const std::string& name) const {
    for (std::size_t i = 0; i < variables_.size(); ++i) {
        if (variables_[i].name == name) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < variables_.size(); ++i) {
        if (iequals(variables_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

int SpssFile::print_format(const std::string& name, int& code, int& decimals, int& width) const {
    const int i = variable_index(name);
    if (i < 0) return kStatusNoSuchVariable;
    parse_print_format(variables_[static_cast<std::size_t>(i)].format, code, width, decimals);
    return 0;
}

int SpssFile::variable_label(const std::string& name, std::string& label) const {
    const int i = variable_index(name);
    label.clear();
    if (i < 0) return kStatusNoSuchVariable;
    label = variables_[static_cast<std::size_t>(i)].label.substr(0, 260);
    return 0;
}

int SpssFile::missing_values(const std::string& name, MissingValues& missing) const {
    const int i = variable_index(name);
    missing = MissingValues{};
    if (i < 0) return kStatusNoSuchVariable;
    missing = variables_[static_cast<std::size_t>(i)].missing;
    return 0;
}

int SpssFile::variable_handle(const std::string& name, double& handle) const {
    const int i = variable_index(name);
    if (i < 0) return kStatusNoSuchVariable;
    handle = static_cast<double>(i);
    return 0;
}

int SpssFile::read_next_case() {
    if (!open_) return kStatusNotOpen;
    if (!values_read_ || cursor_ + 1 >= cases_) {
        cursor_ = cases_;
        return kStatusNoCase;
    }
    ++cursor_;
    return 0;
}

int SpssFile::move_to_case(long case_number) {
    if (!open_) return kStatusNotOpen;
    cursor_ = case_number - 1;
    return 0;
}

const SpssFile::Column* SpssFile::current_column(double handle) const {
    if (cursor_ < 0 || cursor_ >= cases_) return nullptr;
    if (!(handle >= 0.0 && handle < static_cast<double>(variables_.size()))) return nullptr;
    return &columns_[static_cast<std::size_t>(handle)];
}

int SpssFile::string_value(double handle, std::string& text) const {
    const Column* c = current_column(handle);
    if (!c) return kStatusNoCurrentCase;
    if (variables_[static_cast<std::size_t>(handle)].type == 0) return kStatusWrongType;
    const auto row = static_cast<std::size_t>(cursor_);
    const std::size_t begin = row == 0 ? 0 : c->ends[row - 1];
    text.assign(c->chars, begin, c->ends[row] - begin);
    return 0;
}

int SpssFile::numeric_value(double handle, double& value) const {
    const Column* c = current_column(handle);
    if (!c) return kStatusNoCurrentCase;
    if (variables_[static_cast<std::size_t>(handle)].type != 0) return kStatusWrongType;
    value = c->numbers[static_cast<std::size_t>(cursor_)];
    return 0;
}

bool SpssFile::declared_missing(double handle) const {
    const Column* c = current_column(handle);
    if (!c) return false;
    const Variable& v = variables_[static_cast<std::size_t>(handle)];
    const MissingValues& m = v.missing;
    if (m.empty()) return false;
    const auto row = static_cast<std::size_t>(cursor_);
    if (v.type == 0) {
        const double value = c->numbers[row];
        if (is_system_missing(value)) return false;
        for (std::size_t i = 0; i < m.low.size(); ++i) {
            if (m.low[i] <= value && value <= m.high[i]) return true;
        }
        return false;
    }
    const std::size_t begin = row == 0 ? 0 : c->ends[row - 1];
    const std::string_view text = trim_right(std::string_view(c->chars).substr(begin, c->ends[row] - begin));
    return std::find(m.texts.begin(), m.texts.end(), text) != m.texts.end();
}

void SpssFile::limits(double& low, double& high) {
    low = 0.0;
    high = DBL_MAX;
}

std::string printable_value_text(const std::string& raw) {
    std::string text = raw.substr(0, raw.find('\0'));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return text;
}

namespace {
struct FormatCode {
    const char* letters;
    int code;
};
constexpr FormatCode kFormatCodes[] = {
    {"A", 1},      {"AHEX", 2},     {"COMMA", 3},   {"DOLLAR", 4}, {"F", 5},      {"IB", 6},
    {"PIBHEX", 7}, {"P", 8},        {"PIB", 9},     {"PK", 10},    {"RB", 11},    {"RBHEX", 12},
    {"Z", 15},     {"N", 16},       {"E", 17},      {"DATE", 20},  {"TIME", 21},  {"DATETIME", 22},
    {"ADATE", 23}, {"JDATE", 24},   {"DTIME", 25},  {"WKDAY", 26}, {"MONTH", 27}, {"MOYR", 28},
    {"QYR", 29},   {"WKYR", 30},    {"PCT", 31},    {"DOT", 32},   {"CCA", 33},   {"CCB", 34},
    {"CCC", 35},   {"CCD", 36},     {"CCE", 37},    {"EDATE", 38}, {"SDATE", 39},
};
}  // namespace

void parse_print_format(const std::string& format, int& code, int& width, int& decimals) {
    std::size_t i = 0;
    std::string letters;
    while (i < format.size() && std::isalpha(static_cast<unsigned char>(format[i]))) {
        letters += static_cast<char>(std::toupper(static_cast<unsigned char>(format[i++])));
    }
    auto digits = [&]() {
        int n = 0;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
            if (n < 100000) n = n * 10 + (format[i] - '0');
            ++i;
        }
        return n;
    };
    width = digits();
    decimals = 0;
    if (i < format.size() && format[i] == '.') {
        ++i;
        decimals = digits();
    }
    code = 0;
    for (const FormatCode& f : kFormatCodes) {
        if (letters == f.letters) code = f.code;
    }
}

}  // namespace korvelan::spss
