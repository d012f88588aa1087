// A readable difference between two texts, line by line: lines only in the
// expected text begin with "-", lines only in the actual one with "+", with a
// little unchanged context around each change.
#pragma once
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace kovado::test {

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string LineDiff(const std::string& expected, const std::string& actual,
                            std::size_t maxLines = 80) {
    const auto a = SplitLines(expected), b = SplitLines(actual);
    const std::size_t n = a.size(), m = b.size();
    // Longest common subsequence, from the ends.
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] =
                a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    struct Row {
        char mark;
        std::string text;
    };
    std::vector<Row> rows;
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[i] == b[j]) {
            rows.push_back({' ', a[i++]});
            ++j;
        } else if (i < n && (j == m || lcs[i + 1][j] >= lcs[i][j + 1])) {
            rows.push_back({'-', a[i++]});
        } else {
            rows.push_back({'+', b[j++]});
        }
    }
    constexpr std::size_t kContext = 2;
    std::string out;
    std::size_t shown = 0;
    bool skipped = false;
    for (std::size_t r = 0; r < rows.size() && shown < maxLines; ++r) {
        bool near = false;
        for (std::size_t k = (r > kContext ? r - kContext : 0);
             k <= r + kContext && k < rows.size(); ++k)
            near = near || rows[k].mark != ' ';
        if (!near) {
            skipped = true;
            continue;
        }
        if (skipped && shown > 0) out += "  ...\n";
        skipped = false;
        out += rows[r].mark;
        out += ' ' + rows[r].text + '\n';
        ++shown;
    }
    if (shown >= maxLines) out += "...\n";
    return out;
}

}  // namespace kovado::test
