// Running a blocking call on a worker thread while the GUI thread keeps serving events.
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace lintrel {

// Runs work on a worker thread and spins a local event loop on the calling thread until it
// ends, so windows repaint, resize and take clicks meanwhile (handlers may run in between).
// Without a Qt application object, work simply runs on the calling thread.
void runOnWorkerKeepingUiAlive(const std::function<void()> &work);

// Runs f as above and returns its result; an exception thrown by f is rethrown here.
template <class F> auto runKeepingUiAlive(F &&f) -> decltype(f())
{
    using R = decltype(f());
    std::exception_ptr error;
    if constexpr (std::is_void_v<R>) {
        runOnWorkerKeepingUiAlive([&] {
            try {
                f();
            } catch (...) {
                error = std::current_exception();
            }
        });
        if (error)
            std::rethrow_exception(error);
    } else {
        std::optional<R> result;
        runOnWorkerKeepingUiAlive([&] {
            try {
                result.emplace(f());
            } catch (...) {
                error = std::current_exception();
            }
        });
        if (error)
            std::rethrow_exception(error);
        return std::move(*result);
    }
}

} // namespace lintrel
