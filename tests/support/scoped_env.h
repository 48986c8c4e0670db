// Sets (or with nullptr removes) an environment variable for one scope and
// puts the old value back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace qm::test {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(name, value);
    }
    ~ScopedEnv() { Set(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;

  private:
    static void Set(const char* name, const char* value) {
#ifdef _WIN32
        ::_putenv_s(name, value ? value : "");  // an empty value removes it
#else
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
    }

    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace qm::test
