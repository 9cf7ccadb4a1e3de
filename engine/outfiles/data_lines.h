// The transformed data files GUFILE=, SIFILE= and the unfolded file: one line per person in the
// layout of the input data records (ITEM1=, XWIDE=, NI=, NAME1=, NAMLEN=), so that the file
// can be analysed again. Lines are whole strings of whatever length the layout needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

struct DataLineLayout {
    std::int64_t item1 = 1;  // column of the first response
    std::int64_t xwide = 1;
    std::int64_t items = 0;
    std::int64_t label_column = 1;
    std::int64_t label_width = 0;
    std::size_t length = 0;  // the whole line
};

// The layout of the run. The label goes to NAME1= when at_name1 is set or its columns lie wholly
// before or after the responses; otherwise to column 1 when it fits before ITEM1=, else right
// after the last response.
DataLineLayout data_line_layout(const Run& run, bool at_name1);

// Entries of status -1 or above, the highest measure in logits first (the highest reported
// measure, or the lowest under a negative USCALE=); equal measures in entry order. The order of
// the responses is then the same whichever way the scale is reported.
std::vector<std::int32_t> entries_by_measure(const ControlVariables& cv, const std::vector<std::int8_t>& status,
                                             const std::vector<float>& measure, std::int32_t count);

// A blank line of the layout.
void start_data_line(std::string& line, const DataLineLayout& layout);
// The label placed in its field of the line, once the responses stand in theirs: NAMLEN=
// characters, cut or blank-padded, so that a column is a character when the file is read back.
void place_data_line_label(std::string& line, const DataLineLayout& layout, std::string_view label);
// The field of item i (from 1), XWIDE= columns: the text, cut or blank-padded.
void put_response_field(std::string& line, const DataLineLayout& layout, std::int64_t i, std::string_view text);

// The generator of the simulations: a 32-bit state moved by state x 69069 + 1; each value is the
// state's high 24 bits / 2^24, in [0, 1).
struct SimulationGenerator {
    std::uint32_t state = 1;
    double next() {
        state = state * 69069u + 1u;
        return static_cast<double>(state >> 8) / 16777216.0;
    }
};

// GUFILE=: 0/1 data pushed toward a perfect Guttman pattern inside the G0ZONE= and G1ZONE=
// zones (clamped to 0..100 and kept in the run's control values).
void write_guttmanized_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records);
// SIFILE=: responses drawn from the model at the estimated measures, each category with its
// model probability, coded as CODES= codes. Every simulation starts the generator afresh.
void write_simulated_data_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                               EntryRecords& records, CategoryCurves& curves);
// The unfolded file (after the run only): 0/1 data recoded into 0/1/2 around each person's
// Guttman limits.
void write_unfolded_data_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records);

}  // namespace korvelan
