// Two's-complement word arithmetic of the engine: every sum and product wraps
// modulo 2^32 explicitly, so no step ever relies on signed overflow.
#pragma once

#include <cstdint>

namespace fx {

inline int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
inline int32_t Neg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
inline int32_t Shl(int32_t a, int bits) { return static_cast<int32_t>(static_cast<uint32_t>(a) << bits); }
// Arithmetic (sign-propagating) shift; defined for negative values since C++20.
inline int32_t Sar(int32_t a, int bits) { return a >> bits; }
inline int16_t Int16(int32_t a) { return static_cast<int16_t>(a); }

}  // namespace fx
