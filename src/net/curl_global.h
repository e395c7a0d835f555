// Process-wide libcurl initialisation.
#pragma once

namespace lintrel {

// Initialises libcurl once per process; safe to call from any thread, any number of times.
void ensureCurlInitialised();

} // namespace lintrel
