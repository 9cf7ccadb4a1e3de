#include "shell/services/file_filters.h"

#include "engine/run/numtext.h"

namespace korvelan {

namespace {
const FilterPair kAllFiles{"All Files (*.*)", "*.*"};
const FilterPair kBatchFiles{"Batch Files (*.bat)", "*.bat"};
const FilterPair kAddedPairs[] = {
    {"Text Files (*.txt)", "*.txt"}, {"Control Files (*.con)", "*.con"}, {"Data Files (*.dat)", "*.dat"}};

bool holds(const std::vector<FilterPair>& pairs, std::string_view pattern) {
    for (const FilterPair& p : pairs)
        if (p.pattern.find(pattern) != std::string::npos) return true;
    return false;
}
}  // namespace

FilterPair filter_pair(std::string_view setting) {
    const std::size_t open = setting.find('(');
    const std::size_t close = open == std::string_view::npos ? open : setting.find(')', open + 1);
    if (close == std::string_view::npos || close - open - 1 < 2) return kAllFiles;
    return {std::string(trim(setting)), std::string(setting.substr(open + 1, close - open - 1))};
}

std::vector<FilterPair> prompt_filters(std::string_view title, const std::vector<FilterPair>& caller) {
    std::vector<FilterPair> pairs;
    if (title.find("atch") != std::string_view::npos) {
        pairs.push_back(kBatchFiles);
        pairs.insert(pairs.end(), caller.begin(), caller.end());
    } else {
        pairs = caller;
        for (const FilterPair& added : kAddedPairs)
            if (!holds(caller, added.pattern)) pairs.push_back(added);
    }
    if (!holds(pairs, "*.*")) pairs.push_back(kAllFiles);
    return pairs;
}

std::string dialog_filter_text(const std::vector<FilterPair>& filters) {
    std::string text;
    for (const FilterPair& f : filters) {
        if (!text.empty()) text += ";;";
        std::string pattern = f.pattern == "*.*" ? "*" : f.pattern;
        std::string description = f.description;
        const std::size_t shown = description.find("(" + f.pattern + ")");
        if (shown != std::string::npos) description.erase(shown);
        text += std::string(trim(description)) + " (" + pattern + ")";
    }
    return text;
}

}  // namespace korvelan
