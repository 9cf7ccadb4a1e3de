// The fixed texts of the information dialogs (About, Table Descriptions, Batch mode, File
// Comparison) and of the other dialogs that show only text.
#pragma once

#include <string>
#include <vector>

namespace korvelan {

struct InfoText {
    std::string title;
    std::vector<std::string> lines;  // top to bottom
};

// Dialog 100 About, 107 Table Descriptions, 201 Batch mode, 573 File Comparison; an empty text
// for any other number.
InfoText info_text(int dialog);

inline constexpr int kAboutDialog = 100;
inline constexpr int kTablesDialog = 107;
inline constexpr int kBatchDialog = 201;
inline constexpr int kComparisonDialog = 573;

inline constexpr const char* kProblemTitle = "Problem discovered ...";
inline constexpr const char* kSpssProgressText = "Processing SPSS File ...";

// The problem text as the problem dialog shows it: cut to 501 characters, without trailing
// blanks.
std::string problem_text(const std::string& message);

}  // namespace korvelan
