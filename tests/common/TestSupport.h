#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace twds::test {

// Messages as "id|value|value...", so that tests see which text was chosen
// and with which values.
inline std::string EchoLookup(int id, std::initializer_list<std::string_view> values) {
    std::string text = std::to_string(id);
    for (const std::string_view value : values) {
        text += "|";
        text += value;
    }
    return text;
}

// A page request as the viewer sends it: `head` (" 00002048F") padded with
// blanks to `length`.
inline std::string PageRequest(std::string_view head, std::size_t length) {
    std::string request(length, ' ');
    request.replace(0, head.size(), head);
    return request;
}

// Sets (or, with no value, removes) an environment variable for one scope
// and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnvironment() { Set(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
        // An empty value removes the variable.
        _putenv_s(name_, value ? value->c_str() : "");
#else
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
#endif
    }
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace twds::test
