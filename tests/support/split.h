#pragma once
// Names given as one text apart by "|", so that a row of a table stays on one line.
#include <string>
#include <vector>

namespace zelvar::testing {

inline std::vector<std::string> split(const std::string& joined) {
    std::vector<std::string> out;
    for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
        bar = joined.find('|', from);
        out.push_back(joined.substr(from, bar - from));
    }
    return out;
}

}  // namespace zelvar::testing
