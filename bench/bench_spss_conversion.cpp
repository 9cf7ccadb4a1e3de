// Peak memory and time of the SPSS conversions, --spss-tab and --spss-control, on a generated
// .sav file: 20,000 cases of 200 variables (an identifier, 192 items scored 0-4 with a few
// system-missing values, a date, a score with decimals, a group code, a region, a weight, an
// income and a text note), row-compressed as survey programs write them. Every step runs in a
// child process so that its peak memory is its own; the outputs stay in the folder, so that
// two builds can be compared byte for byte.
// Usage: bench_spss_conversion [cases] [folder]
#include <readstat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "spss/control_file.h"
#include "spss/outcome.h"
#include "spss/selection_file.h"
#include "spss/tab_text.h"

namespace {

constexpr std::size_t kItems = 192;

struct Column {
    std::string name;
    readstat_type_t type;
    std::size_t width;  // strings only
    const char* format;
};

std::vector<Column> columns() {
    std::vector<Column> c = {{"id", READSTAT_TYPE_STRING, 8, "A8"}};
    for (std::size_t i = 1; i <= kItems; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "i%03zu", i);
        c.push_back({name, READSTAT_TYPE_DOUBLE, 0, "F1.0"});
    }
    c.push_back({"born", READSTAT_TYPE_DOUBLE, 0, "DATE11"});
    c.push_back({"score", READSTAT_TYPE_DOUBLE, 0, "F8.2"});
    c.push_back({"group", READSTAT_TYPE_DOUBLE, 0, "F2.0"});
    c.push_back({"region", READSTAT_TYPE_STRING, 2, "A2"});
    c.push_back({"weight", READSTAT_TYPE_DOUBLE, 0, "F6.3"});
    c.push_back({"income", READSTAT_TYPE_DOUBLE, 0, "F10.0"});
    c.push_back({"note", READSTAT_TYPE_STRING, 40, "A40"});
    return c;
}

// Writes the .sav file; false when ReadStat's writer fails.
bool write_survey(const std::string& path, long cases) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    readstat_writer_t* writer = readstat_writer_init();
    readstat_set_data_writer(writer, [](const void* data, size_t length, void* ctx) -> ssize_t {
        return static_cast<ssize_t>(std::fwrite(data, 1, length, static_cast<std::FILE*>(ctx)));
    });
    readstat_writer_set_compression(writer, READSTAT_COMPRESS_ROWS);
    const std::vector<Column> layout = columns();
    std::vector<readstat_variable_t*> vars;
    for (const Column& c : layout) {
        vars.push_back(readstat_add_variable(writer, c.name.c_str(), c.type, c.width));
        readstat_variable_set_format(vars.back(), c.format);
    }
    const char* notes[] = {"", "moved away", "second visit", "", "interview by telephone", "", "refused two items"};
    std::mt19937_64 rng(20261210);
    std::normal_distribution<double> ability(0.0, 1.2);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    bool ok = readstat_begin_writing_sav(writer, file, cases) == READSTAT_OK;
    auto number = [&](std::size_t v, double x) {
        ok = ok && readstat_insert_double_value(writer, vars[v], x) == READSTAT_OK;
    };
    auto text = [&](std::size_t v, const char* t) {
        ok = ok && readstat_insert_string_value(writer, vars[v], t) == READSTAT_OK;
    };
    for (long n = 0; ok && n < cases; ++n) {
        ok = readstat_begin_row(writer) == READSTAT_OK;
        char id[24];
        std::snprintf(id, sizeof id, "P%06ld", n + 1);
        text(0, id);
        const double b = ability(rng);
        for (std::size_t i = 1; i <= kItems; ++i) {
            if (unit(rng) < 0.02) {
                ok = ok && readstat_insert_missing_value(writer, vars[i]) == READSTAT_OK;
                continue;
            }
            const double p = 1.0 / (1.0 + std::exp(-(b - (-2.0 + 4.0 * static_cast<double>(i) / static_cast<double>(kItems)))));
            double score = 0;
            for (int k = 0; k < 4; ++k) score += unit(rng) < p ? 1 : 0;
            number(i, score);
        }
        const auto k = static_cast<double>(n);
        number(kItems + 1, 1.1e10 + 86400.0 * std::fmod(k, 20000.0));  // born
        number(kItems + 2, 50.0 + 10.0 * b);                            // score
        number(kItems + 3, std::fmod(k, 12.0));                          // group
        const char region[] = {static_cast<char>('A' + n % 5), '\0'};
        text(kItems + 4, region);
        number(kItems + 5, 0.5 + unit(rng));                    // weight
        number(kItems + 6, 20000.0 + 1000.0 * std::fmod(k, 97.0));  // income
        text(kItems + 7, notes[n % 7]);
        ok = ok && readstat_end_row(writer) == READSTAT_OK;
    }
    ok = ok && readstat_end_writing(writer) == READSTAT_OK;
    readstat_writer_free(writer);
    return std::fclose(file) == 0 && ok;
}

// The selection file with the items under the item marker and the others as person labels.
bool place_variables(const std::string& selection) {
    std::vector<std::string> lines;
    if (!korvelan::spss::read_text_lines(selection, lines)) return false;
    std::string persons, items;
    for (const Column& c : columns()) (c.format == std::string("F1.0") ? items : persons) += c.name + "\r\n";
    std::string text;
    for (const std::string& l : lines) {
        text += l + "\r\n";
        if (l.rfind("! Person Label", 0) == 0) text += persons;
        if (l.rfind("! Item Response", 0) == 0) text += items;
    }
    std::FILE* f = std::fopen(selection.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

long file_size(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

// Runs the step in a child and prints its time and peak memory.
void measure(const char* name, const std::function<bool()>& step) {
    const double peak = bench::run_in_child([&] {
        const auto start = bench::Clock::now();
        const bool ok = step();
        std::printf("%-16s %8.3f s", name, bench::seconds_between(start, bench::Clock::now()));
        if (!ok) {
            std::printf("  FAILED\n");
            std::fflush(stdout);
            ::_exit(1);
        }
    });
    std::printf("  peak %8.1f MB\n", peak / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvelan::spss;
    const long cases = argc > 1 ? std::atol(argv[1]) : 20000;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    const std::string sav = folder + "/bench_survey.sav";
    const std::string selection = folder + "/bench_survey_selection.txt";
    std::printf("%ld cases x %zu variables\n", cases, columns().size());
    measure("generate", [&] { return write_survey(sav, cases); });
    std::printf(".sav file: %.1f MB\n", static_cast<double>(file_size(sav)) / 1048576.0);
    measure("nothing", [] { return true; });
    measure("--spss-select", [&] {
        return write_spss_selection_file(sav, selection).kind == OutcomeKind::Done && place_variables(selection);
    });
    measure("--spss-tab", [&] {
        return convert_spss_to_tab_text(sav, folder + "/bench_survey.tsv").kind == OutcomeKind::Done;
    });
    measure("--spss-control", [&] {
        return build_control_file_from_spss_selection(selection, folder + "/bench_survey_control.txt").kind ==
               OutcomeKind::Done;
    });
    return 0;
}
