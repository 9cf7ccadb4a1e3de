// Comma- and tab-separated output files: every record has one field for each name of its column
// heading (an empty field where the fixed record leaves a blank), and every number is written in
// full at its decimals, however wide the user's scale makes it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/outfiles/run_output_services.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/shell/measure_file.h"
#include "tests/support/data_sets.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The lines of the file of one output code written after the run with CSV= csv.
std::vector<std::string> written(SummaryRun& a, char code, char csv) {
    a.run.cv.csv = csv;
    a.host.file_answers.push_back(a.dir.file(std::string(1, code) + ".csv"));
    a.host.line_file.clear();
    EXPECT_TRUE(write_output_file_after_run(a.run, code));
    return a.host.line_file;
}

bool is_number(const std::string& field) {
    if (field.empty() || field.find_first_of("0123456789") == std::string::npos) return false;
    std::size_t used = 0;
    std::stod(field, &used);
    return used == field.size();
}

// Every record after the heading line `heading` has as many fields as the heading has names,
// and no field is stars.
void expect_whole_records(const std::vector<std::string>& lines, std::size_t heading, char separator,
                          const std::string& what) {
    ASSERT_GT(lines.size(), heading + 1) << what;
    const std::size_t names = split_fields(lines[heading], separator).size();
    EXPECT_GT(names, 1u) << what;
    for (std::size_t k = heading + 1; k < lines.size(); ++k) {
        const std::vector<std::string> fields = split_fields(lines[k], separator);
        EXPECT_EQ(fields.size(), names) << what << ": " << lines[k];
        EXPECT_EQ(lines[k].find('*'), std::string::npos) << what << ": " << lines[k];
    }
}

}  // namespace

TEST(SeparatedRecords, OneFieldPerHeadingNameAndNumbersInFull) {
    SummaryRun run(rating_scale_set("USCALE=10000\nUMEAN=500\nUDECIM=4\n"));
    ASSERT_EQ(run.exit_status, 0);
    for (const char csv : {'Y', 'T'}) {
        const char separator = csv == 'Y' ? ',' : '\t';
        // The heading line of the column names in each file: PFILE=, IFILE=, ISFILE= after three
        // title lines, SFILE= after one, SCFILE= after four.
        for (const auto& [code, heading] : std::vector<std::pair<char, std::size_t>>{{'P', 3}, {'I', 3}, {'J', 3}, {'S', 1}, {'C', 4}})
            expect_whole_records(written(run, code, csv), heading, separator, std::string(1, code) + csv);

        // Measures of thousands with four decimals: every one in full.
        const std::vector<MeasureRecord> fixed = run.persons();
        const std::vector<std::string> persons = written(run, 'P', csv);
        ASSERT_EQ(persons.size(), fixed.size() + 4);
        for (std::size_t k = 0; k < fixed.size(); ++k) {
            const std::vector<std::string> f = split_fields(persons[k + 4], separator);
            ASSERT_TRUE(is_number(f[2]) && is_number(f[6])) << persons[k + 4];
            EXPECT_EQ(f[2].size() - f[2].find('.'), 5u) << f[2];
            EXPECT_NEAR(std::stod(f[2]), fixed[k].measure, 1.0) << persons[k + 4];
        }
    }
    // With a person S.D. of 0 the norm fields of SCFILE= are blank: they stay as empty fields.
    run.run.arrays.estimation.person_sd_measure = 0.0f;
    const std::vector<std::string> scores = written(run, 'C', 'Y');
    expect_whole_records(scores, 4, ',', "SCFILE= with S.D. 0");
    for (std::size_t k = 5; k < scores.size(); ++k) {
        const std::vector<std::string> f = split_fields(scores[k], ',');
        ASSERT_EQ(f.size(), 11u);
        EXPECT_EQ(f[4] + f[5], "") << scores[k];
        EXPECT_TRUE(is_number(f[6]) && is_number(f[10])) << scores[k];
    }
}
