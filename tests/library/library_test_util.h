// Helpers for the library's tests: a fresh library state (every thread has its own), a fixed
// clock, and the environment variables the folder mapping reads.
#pragma once

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <tovcore/AppObject.h>

#include "library/src/LibraryState.h"

namespace libtest {

// Runs `body` on a new thread, so it starts from a library state that no test has touched.
inline void OnFreshThread(const std::function<void()>& body) {
    std::thread t(body);
    t.join();
}

// 2024-03-05 14:07:09 in UTC; the tests run with TZ=UTC0 so the text is fixed.
inline std::chrono::system_clock::time_point FixedTime() {
    return std::chrono::system_clock::from_time_t(1709647629);
}
inline constexpr const char* kFixedTimeText = "2024-03-05 14:07:09";

inline void UseUtcAndFixedClock() {
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    tovcore::detail::State().clock.now = [] { return FixedTime(); };
}

inline tovcore::AppObject TestApp() {
    tovcore::AppObject app;
    app.EXEName = "Tester";
    app.Major = 2;
    app.Minor = 3;
    app.Revision = 45;
    app.CompanyName = "Acme";
    app.Title = "Test Program";
    return app;
}

// Sets or removes environment variables for the life of the object, then puts them back.
class EnvGuard {
public:
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    ~EnvGuard() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace libtest
