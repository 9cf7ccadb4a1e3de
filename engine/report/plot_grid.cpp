#include "engine/report/plot_grid.h"

#include <algorithm>
#include <cstdlib>

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

// The characters that count coincident points: a blank, then "1" to "9", then "*" for ten or
// more (the last "*" is where "*" goes on counting).
constexpr std::string_view kCountCharacters = " 123456789**";

// 1 for a blank, 2 to 10 for "1" to "9", 11 for "*", 0 for any other character.
int count_index(char c) {
    const std::size_t k = kCountCharacters.find(c);
    return k == std::string_view::npos ? 0 : static_cast<int>(k) + 1;
}

// The count after one more point; a cell holding a plot symbol counts as "1".
char next_count(char c) {
    const int k = count_index(c);
    return kCountCharacters[static_cast<std::size_t>(k == 0 ? 2 : k)];
}

bool is_count(char c) {
    return count_index(c) >= 2;
}

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

void blank_plot_cells(PlotGrid& grid, int first_row, int last_row, int last_column) {
    first_row = std::max(first_row, 0);
    last_row = std::min(last_row, kPlotRows - 1);
    const int columns = std::clamp(last_column + 1, 0, kPlotColumns);
    for (int r = first_row; r <= last_row; ++r)
        std::fill_n(grid.cells[static_cast<std::size_t>(r)].begin(), columns, ' ');
}

void merge_flag_character(char& cell, char symbol) {
    if (cell == ' ')
        cell = symbol;
    else if (cell != symbol)
        cell = '*';
}

namespace {

constexpr int kOffsets[3] = {0, 1, -1};

// The neighbourhood of a cell, probed in the order row offsets 0, +1, -1 and, within each,
// column offsets 0, +1, -1, each probe bounded to the plot.
struct Neighbourhood {
    PlotGrid& grid;
    int column, row, last_column, last_row;
    char& at(int dc, int dr) const {
        const int c = std::clamp(column + dc, 0, last_column);
        const int r = std::clamp(row + dr, 0, last_row);
        return grid.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }
    Neighbourhood around(int dc, int dr) const {
        return {grid, std::clamp(column + dc, 0, last_column), std::clamp(row + dr, 0, last_row),
                last_column, last_row};
    }
    // The first cell for which take(cell) is true; nullptr when none.
    template <typename Take>
    char* first(Take take, int* dc_out = nullptr, int* dr_out = nullptr) const {
        for (int dr : kOffsets)
            for (int dc : kOffsets)
                if (char& c = at(dc, dr); take(c)) {
                    if (dc_out) *dc_out = dc, *dr_out = dr;
                    return &c;
                }
        return nullptr;
    }
};

}  // namespace

void place_plot_point(PlotGrid& grid, char symbol, int column, int row, int last_column,
                      int last_row) {
    const Neighbourhood n{grid, column, row, std::clamp(last_column, 0, kPlotColumns - 1),
                          std::clamp(last_row, 0, kPlotRows - 1)};
    if (char* c = n.first([&](char x) { return x == ' ' || (symbol == ' ' && is_count(x)); })) {
        *c = symbol == ' ' ? next_count(*c) : symbol;
        return;
    }
    // The letters tie the plot to the lists beside it: no count covers one, and a letter takes
    // the first cell that holds only a count, which moves to a free cell next to it or is
    // dropped. A letter whose every neighbour holds an earlier letter is not shown.
    if (is_letter(symbol)) {
        int dc = 0, dr = 0;
        if (char* c = n.first([](char x) { return is_count(x); }, &dc, &dr)) {
            const char count = *c;
            *c = symbol;
            if (char* free = n.around(dc, dr).first([](char x) { return x == ' '; })) *free = count;
        }
        return;
    }
    char& centre = n.at(0, 0);
    if (symbol >= '1' && symbol <= '9') centre = '*';
    else if (!is_letter(centre)) centre = next_count(centre);
}

char get_category_plot_symbol(std::span<const std::int32_t> values, int n, int value) {
    n = std::clamp(n, 0, static_cast<int>(values.size()));
    auto listed = [&](int i) { return std::abs(values[static_cast<std::size_t>(i - 1)]); };
    bool digits = n <= 9;
    for (int i = 1; digits && i <= n; ++i) digits = listed(i) <= 9;
    if (digits) return static_cast<char>('0' + value);
    for (int i = 1; i <= std::min(n, 26) && i <= n - i + 1; ++i) {
        if (value == listed(i)) return static_cast<char>('A' + i - 1);
        if (value == listed(n - i + 1)) return static_cast<char>('a' + i - 1);
    }
    return ' ';
}

void centre_plot_title(PlotGrid& grid, std::string_view text, int width) {
    text = trim_right(text);
    const int room = std::clamp(width + 1, 0, kPlotYTitleLength);
    // The title stands down the margin, a character a line.
    const std::string_view kept = character_prefix(text, static_cast<std::size_t>(room));
    const int k = static_cast<int>(character_count(kept));
    const int offset = std::max((room - k) / 2, 0);
    grid.y_title = pad_characters(
        std::string(static_cast<std::size_t>(offset), ' ') + std::string(kept), kPlotYTitleLength);
}

}  // namespace korvelan
