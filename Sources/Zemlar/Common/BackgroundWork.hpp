// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <expected>
#include <string>
#include <type_traits>
#include <utility>

namespace zemlar {

/// The value of work done on the thread pool, or the description of the exception it threw.
template <typename Value> using Guarded = std::expected<Value, std::string>;

/// Starts `work(arguments...)` on the thread pool; the arguments are copied. An exception is
/// caught right there and handed back as a value: the tasks the shell starts are awaited by
/// nobody, so a thrown exception would vanish with them and leave their guards set for good.
template <typename Work, typename... Arguments>
auto inBackground(Work work, Arguments... arguments) {
    using Value = std::invoke_result_t<Work&, Arguments&...>;
    return QtConcurrent::run(
        [work = std::move(work), ... arguments = std::move(arguments)]() mutable -> Guarded<Value> {
            try {
                return work(arguments...);
            } catch (const std::exception& error) {
                return std::unexpected(std::string(error.what()));
            } catch (...) {
                return std::unexpected(std::string("unknown exception"));
            }
        });
}

} // namespace zemlar
