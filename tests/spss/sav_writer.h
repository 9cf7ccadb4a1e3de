// Writes small .sav files with ReadStat's writer, for the tests of the SPSS conversion.
#pragma once

#include <readstat.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

namespace korvelan::testing {

struct SavVariable {
    std::string name;
    bool is_string = false;
    std::string format;  // e.g. "F2.0"; empty: the writer's default
    std::string label;
};

// A cell: a number, a text, or NAN for a system-missing number.
using SavCell = std::variant<double, std::string>;

inline bool write_sav(const std::string& path, const std::vector<SavVariable>& variables,
                      const std::vector<std::vector<SavCell>>& cases) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    readstat_writer_t* writer = readstat_writer_init();
    readstat_set_data_writer(writer, [](const void* data, size_t length, void* ctx) -> ssize_t {
        return static_cast<ssize_t>(std::fwrite(data, 1, length, static_cast<std::FILE*>(ctx)));
    });
    std::vector<readstat_variable_t*> added;
    for (const SavVariable& v : variables) {
        std::size_t width = 0;
        if (v.is_string) {
            width = 1;
            for (const auto& row : cases) {
                if (const auto* s = std::get_if<std::string>(&row[added.size()])) width = std::max(width, s->size());
            }
        }
        readstat_variable_t* var = readstat_add_variable(writer, v.name.c_str(),
                                                         v.is_string ? READSTAT_TYPE_STRING : READSTAT_TYPE_DOUBLE, width);
        if (!v.format.empty()) readstat_variable_set_format(var, v.format.c_str());
        if (!v.label.empty()) readstat_variable_set_label(var, v.label.c_str());
        added.push_back(var);
    }
    bool ok = readstat_begin_writing_sav(writer, file, static_cast<long>(cases.size())) == READSTAT_OK;
    for (const auto& row : cases) {
        ok = ok && readstat_begin_row(writer) == READSTAT_OK;
        for (std::size_t i = 0; ok && i < added.size(); ++i) {
            if (const auto* s = std::get_if<std::string>(&row[i])) {
                ok = readstat_insert_string_value(writer, added[i], s->c_str()) == READSTAT_OK;
            } else if (std::isnan(std::get<double>(row[i]))) {
                ok = readstat_insert_missing_value(writer, added[i]) == READSTAT_OK;
            } else {
                ok = readstat_insert_double_value(writer, added[i], std::get<double>(row[i])) == READSTAT_OK;
            }
        }
        ok = ok && readstat_end_row(writer) == READSTAT_OK;
    }
    ok = ok && readstat_end_writing(writer) == READSTAT_OK;
    readstat_writer_free(writer);
    return std::fclose(file) == 0 && ok;
}

}  // namespace korvelan::testing
