// File-prompt filters: pairs of a description and a pattern ("Text Files (*.txt)", "*.txt").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

struct FilterPair {
    std::string description;
    std::string pattern;
    bool operator==(const FilterPair&) const = default;
};

// The pair of a settings filter text: the text and what stands between its parentheses when
// there are at least two characters; otherwise all files.
FilterPair filter_pair(std::string_view setting);
// The filters a file prompt offers: the batch-file pair first for a title holding "atch", else
// the caller's pairs followed by the text, control and data pairs they lack; all files last
// when no pair has "*.*".
std::vector<FilterPair> prompt_filters(std::string_view title, const std::vector<FilterPair>& caller);
// The filters as one file-dialog text: "Text Files (*.txt);;All Files (*)" ("*.*" offers every
// file, with or without a dot).
std::string dialog_filter_text(const std::vector<FilterPair>& filters);

}  // namespace korvelan
