#pragma once
// What every target shares: the library's own errors are its answer to bad
// input and are swallowed; anything else escapes and libFuzzer reports it.

#include "foundation/errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Runs f; true when it finished, false when it threw kab::Error.
template <class F> bool tolerant(F&& f) {
    try {
        f();
        return true;
    } catch (const kab::Error&) {
        return false;
    }
}

// A broken property is a finding like a crash.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void require(bool ok, const char* what) {
    if (!ok) fail(what);
}

} // namespace fuzz
