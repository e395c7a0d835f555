// The desktop's bell for refused input, replaceable so tests can count it.
#pragma once

#include <functional>

namespace lintrel {

// Sounds the bell (QApplication::beep), or calls the sink set below.
void beep();

// Replaces the bell; an empty sink gives the real one back. Returns the previous sink.
std::function<void()> setBeepSink(std::function<void()> sink);

} // namespace lintrel
