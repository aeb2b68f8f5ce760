#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Records are tested filled with 0x00 and again with 0xFF, so that any byte the driver
// must leave alone shows when it is touched.
inline constexpr uint8_t kFillBytes[] = {0x00, 0xFF};

template <typename Record>
void FillRecord(Record& record, uint8_t byte) {
    std::memset(static_cast<void*>(&record), byte, sizeof record);
}

template <typename Record>
std::vector<uint8_t> BytesOf(const Record& record) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(bytes, bytes + sizeof record);
}
