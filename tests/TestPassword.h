// The password that guards the release data, for the tests and the scripts
// that drive the tool (scripts/test-password reads it from here). The
// program itself keeps only a digest of it.
#pragma once

#include <string>

constexpr char kTestPassword[] = "tallowin";

// The password with its first letter in upper case: the case counts.
inline std::string MistypedTestPassword() {
    std::string mistyped = kTestPassword;
    mistyped[0] = static_cast<char>(mistyped[0] - 'a' + 'A');
    return mistyped;
}
