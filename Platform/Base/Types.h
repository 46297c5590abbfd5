// Fixed-size integers and the result code of every operation, from the platform up.
#pragma once

#include <cstdint>

typedef std::uint8_t u8;
typedef std::uint16_t u16;
typedef std::uint32_t u32;
typedef std::uint64_t u64;
typedef std::int8_t i8;
typedef std::int16_t i16;
typedef std::int32_t i32;
typedef std::int64_t i64;

// 0 is success, 1 a failure; any other non-zero code is passed up unchanged.
enum [[nodiscard]] QLResultEnum : int{
    QL_OK = 0,
    QL_FAIL = 1,
};
