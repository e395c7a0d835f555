// Shared pieces of the brand tests: a scripted random source and fixture reading.
#pragma once

#include "brand/brand_random.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lintrel::testing {

// Returns the queued numbers in turn (0 when the queue is empty) and records every call.
class ScriptedRandom : public RandomSource
{
public:
    explicit ScriptedRandom(std::deque<uint32_t> picks = {}) : picks_(std::move(picks)) {}

    void reseed() override
    {
        ++reseeds;
        calls.push_back(0);
    }
    uint32_t below(uint32_t n) override
    {
        calls.push_back(n);
        if (picks_.empty())
            return 0;
        const uint32_t v = picks_.front();
        picks_.pop_front();
        return v;
    }

    int reseeds = 0;
    std::vector<uint32_t> calls; // 0 for a reseed, n for a draw below n

private:
    std::deque<uint32_t> picks_;
};

inline std::string readFixture(const std::string &relative)
{
    const char *dir = std::getenv("LINTREL_FIXTURES");
    const std::string path = std::string(dir ? dir : "tests/fixtures") + "/" + relative;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing fixture " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace lintrel::testing
