// The line wrapper's reference, one line and one cluster at a time: for tests and fuzzing.
#pragma once

#include "text_samples.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::test {

// The wrapper as a user would describe it: one line at a time, one cluster at a time.
inline std::string referenceWrap(std::string_view text, size_t max, std::string_view newline,
                                 Measure measure = Measure::Clusters)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    std::string out;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::vector<test::Cluster> cs = splitClusters(lines[n]);
        size_t start = 0;
        for (;;) {
            // The first cluster that takes the line past max; it is searched for a break too.
            size_t used = 0, over = start;
            for (; over < cs.size(); ++over) {
                used += measure == Measure::Columns ? cs[over].width : 1;
                if (used > max)
                    break;
            }
            if (over == cs.size())
                break;
            size_t head = over == start ? over + 1 : over;
            for (size_t p = start; p <= over; ++p)
                head = (cs[p].flags & unicode::kBreak) ? p + 1 : head;
            if (head == cs.size())
                break; // no cut that leaves an empty rest
            for (size_t k = start; k < head; ++k)
                out += cs[k].text;
            out += newline;
            start = head;
        }
        for (size_t k = start; k < cs.size(); ++k)
            out += cs[k].text;
        if (n + 1 < lines.size())
            out += newline;
    }
    return out;
}

} // namespace lintrel::test
