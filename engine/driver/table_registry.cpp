#include "engine/driver/table_registry.h"

namespace korvelan {

namespace {

constexpr ReportSide kItems = ReportSide::Items;
constexpr ReportSide kPersons = ReportSide::Persons;

constexpr TableEntry kTableRegistry[] = {
    {1, 1, kItems, "variable maps of persons and items", nullptr},
    {2, 2, kItems, "category displays", nullptr},
    {3, 3, kItems, "summary statistics and rating-scale structure", nullptr},
    {4, 5, kPersons, "person fit plots", nullptr},
    {6, 6, kPersons, "person statistics in misfit order", nullptr},
    {7, 7, kPersons, "misfitting responses and keyforms of persons", nullptr},
    {8, 9, kItems, "item fit plots", nullptr},
    {10, 10, kItems, "item statistics in misfit order", nullptr},
    {11, 11, kItems, "misfitting responses of items", nullptr},
    {12, 12, kItems, "item map", nullptr},
    {13, 15, kItems, "item statistics in measure, entry and label order", nullptr},
    {16, 16, kPersons, "person map", nullptr},
    {17, 19, kPersons, "person statistics in measure, entry and label order", nullptr},
    {20, 20, kItems, "score tables", nullptr},
    {21, 21, kItems, "probability curves", nullptr},
    {22, 22, kItems, "Guttman scalogram", nullptr},
    {23, 23, kItems, "principal components of item residuals", nullptr},
    {24, 24, kPersons, "principal components of person residuals", nullptr},
    {25, 26, kItems, "item statistics in displacement and correlation order", nullptr},
    {27, 27, kItems, "item subtotals", nullptr},
    {28, 28, kPersons, "person subtotals", nullptr},
    {29, 29, kItems, "empirical curves", nullptr},
    {30, 30, kPersons, "differential item functioning", nullptr},
    {31, 31, kItems, "differential person functioning", nullptr},
    {32, 40, kItems, "no Table: an empty Table file after the run", nullptr},
    {99, 99, kItems, "comparison of two measure files", nullptr},
};

}  // namespace

std::span<const TableEntry> table_registry() { return kTableRegistry; }

const TableEntry* find_table_entry(int table) {
    for (const TableEntry& e : kTableRegistry)
        if (table >= e.first && table <= e.last) return &e;
    return nullptr;
}

}  // namespace korvelan
