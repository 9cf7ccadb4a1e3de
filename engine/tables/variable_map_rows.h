// The vertical measure axis the variable maps share: rows 0 (bottom) to the top row, the row of
// an entry, the tick rows and their values, the mean and S.D. markers, and the per-row tallies
// of both sides that every sub-table of one map call draws from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

inline constexpr int kMapMaxRows = 62;  // the top row is at most 62; rows are 0..top

// The axis of one map call, in user units.
struct MapAxis {
    float lower = 0.0f;          // the measure at row 0
    float step = 1.0f;           // tick step: 1, 10 or 100
    float rows_per_unit = 1.0f;  // u
    float units_per_row = 1.0f;  // 1 / u
    int top = 1;                 // L, at least 1
};

// NINT of a count of rows, saturating at +-2^28 (a huge UMEAN= or USCALE=; not a number counts as
// far below) so that sums of rows cannot overflow.
int saturated_rows(float rows);
// NINT((measure - lower) x u), not bounded by the map (saturating as above).
int unbounded_map_row(const MapAxis& axis, float measure);
// The row of an entry: status 0 (extreme maximum) the top row, status -1 (extreme minimum)
// row 0, status 1 and above its measure's row bounded to 0..top; -1 for status -2 and below.
int entry_map_row(const MapAxis& axis, int status, float measure);

// The tick value of a row: ANINT((row / u + lower) / step) x step, as a whole number.
int map_tick_value(const MapAxis& axis, int row);
// Whether the row is the row of its own tick value.
bool is_map_tick_row(const MapAxis& axis, int row);
// Whether the row prints its tick value: a tick row, the top row or row 0.
bool carries_map_tick(const MapAxis& axis, int row);

// Weighted mean and population S.D. of the measured entries of one side.
struct MapSpread {
    double mean = 0.0;
    double sd = 0.0;
};
// The marker of a row beside the centre line: "M" on the mean's row, else "S" one S.D. and "T"
// two S.D.s either side of it, else blank.
char map_marker(const MapAxis& axis, int row, const MapSpread& spread);

// The per-row tallies of one map call (rows 0..top): entry counts, weighted counts (rounded up
// to whole numbers), and for items the weighted counts of their lowest and highest threshold
// rows and of the dichotomous items among polytomous ones.
struct MapTallies {
    std::vector<int> person_count, item_count;
    std::vector<double> person_weight, item_weight;
    std::vector<double> lowest, highest, dichotomous;
    MapSpread persons, items;
    bool polytomous = false;  // some rating-scale group has 2 or more steps
    double largest_person_weight = 0.0;
    double largest_item_weight = 0.0;  // item counts and threshold tallies
};

// The weight of entry n of a side: 1 when the side has no weights.
float entry_weight(const std::vector<float>& weights, int n);

// Entries per symbol for a panel of the given width from the largest weighted count of a row:
// max(1, nearest((width + largest - 1) / width)), halves to even; a request value of 1 or more
// (option letter given) takes over when larger, else the minimum per symbol of the control.
int map_entries_per_symbol(int width, double largest, bool requested, float request_value,
                           int control_minimum);

// Nearest whole number, halves to even.
int nearest_even(double x);

// The key line under a symbol map when a symbol stands for more than one entry:
// "EACH '#' IN THE <word> COLUMN IS" p " <plural>; EACH '.' IS 1" [" TO" p - 1].
void write_symbol_key_line(Run& run, int per_symbol, const std::string& word,
                           const std::string& plural);

}  // namespace korvelan
