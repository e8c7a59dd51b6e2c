// What the registry tests expect of the values they read back: the bytes of
// a number, and the sample Quillmark Works key that both the Windows
// registry and an exported registry file hold.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qm::test {

// The data of a DWORD value: its four bytes, the lowest first.
inline std::string Dword(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// The first four of `values`, read for the names Installation Date,
// Installation Time, Version_Major and Version_Minor of the sample key:
// 05-12-2004, 14:30:00, 3 and 10. The caller has checked that there are four.
inline void ExpectWorksValues(const std::vector<RegistryValue>& values) {
    EXPECT_EQ(RegistryValue::Type::Text, values[0].type);
    EXPECT_EQ("05-12-2004", values[0].data);
    EXPECT_EQ(RegistryValue::Type::Text, values[1].type);
    EXPECT_EQ("14:30:00", values[1].data);
    EXPECT_EQ(RegistryValue::Type::Dword, values[2].type);
    EXPECT_EQ(Dword(3), values[2].data);
    EXPECT_EQ(RegistryValue::Type::Dword, values[3].type);
    EXPECT_EQ(Dword(10), values[3].data);
}

}  // namespace qm::test
