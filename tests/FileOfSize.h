// Makes a file as long as a test needs (a list beyond the size limit),
// keeping what it holds and filling the rest with zeros. Not through
// std::filesystem::resize_file: under Wine, MinGW's version of it now and
// then fails with "File too large" when the machine is busy.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace qm::test {

inline void GrowFileTo(const std::filesystem::path& path, uintmax_t size) {
    { std::ofstream create(path, std::ios::binary | std::ios::app); }
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(size - 1));
    file.put('\0');
}

}  // namespace qm::test
