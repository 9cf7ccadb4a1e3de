#include "tests/engine/tables/map_reading.h"

namespace korvelan::testing {

std::vector<std::string> symbol_map_rows(const std::vector<std::string>& block) {
    std::vector<std::string> rows;
    bool inside = false;
    for (const std::string& l : block) {
        const bool border = l.find("PERSONS -+- ITEMS") != std::string::npos;
        if (border && inside) break;
        if (inside) rows.push_back(l);
        inside = inside || border;
    }
    return rows;
}

std::size_t line_with(const std::vector<std::string>& block, const std::string& text) {
    for (std::size_t k = 0; k < block.size(); ++k)
        if (block[k].find(text) != std::string::npos) return k;
    return block.size();
}

std::string last_line(const std::vector<std::string>& block) {
    for (auto l = block.rbegin(); l != block.rend(); ++l)
        if (l->find_first_not_of(' ') != std::string::npos) return *l;
    return {};
}

}  // namespace korvelan::testing
