#pragma once
// The one shape of result that crosses a folder boundary: a value, or an error
// with its code and its sentence. A result has no default: success is said with
// a value or with Ok(), never assumed, so a forgotten assignment cannot report it.
//
// Standard C++ only: the archive layer returns it too.
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace core {

// The first of the subsystems' own codes, for failures the system has no code for
// (another change running, a museum that does not answer). No system code has bit
// 29 set. Each subsystem declares its own codes once, beside its results, from a
// block of 256 of its own: platform kOwnCodes + 0x100, packs + 0x200, change +
// 0x300, museum + 0x400.
inline constexpr int kOwnCodes = 1 << 29;

struct Error {
    // The system's code where there is one (2 file not found, 5 access denied, 23
    // damaged data, 1223 cancelled, ...), else the subsystem's own; never 0.
    int code = 1;
    // A sentence for the person, UTF-8.
    std::string text;
};

template <class T>
class [[nodiscard]] Result {
public:
    static_assert(!std::is_same_v<T, Error>, "a result holds a value or an error, not an error as its value");

    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const& { return std::get<1>(state_); }
    Error&& error() && { return std::get<1>(std::move(state_)); }

private:
    std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result(Error error) : error_(std::move(error)) {}
    static Result success() { return Result(); }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const& { return *error_; }
    Error&& error() && { return std::move(*error_); }

private:
    Result() = default;
    std::optional<Error> error_;
};

inline Result<void> Ok() { return Result<void>::success(); }

inline Error MakeError(int code, std::string text) { return Error{code == 0 ? 1 : code, std::move(text)}; }

} // namespace core

// Passes an error up to the caller, whose own result takes a core::Error.
#define AMBIENCE_TRY(expression)                                                                                       \
    do {                                                                                                               \
        if (auto ambience_try_result_ = (expression); !ambience_try_result_.ok())                                      \
            return std::move(ambience_try_result_).error();                                                            \
    } while (false)
