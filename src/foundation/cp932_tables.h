#pragma once
// The code page 932 tables that foundation/sjis.cpp converts with. The build
// writes them (tools/cp932_tables.cpp) from the C library's iconv, so that
// the conversions are iconv's own, duplicate mappings and all, while the
// program never loads iconv's modules.

#include <cstdint>

namespace kab::sjis::cp932 {

// Marks a byte or byte pair that does not decode, and a code point that
// does not encode; no code point or code page 932 code has this value.
inline constexpr std::uint16_t kNone = 0xFFFF;

// Byte -> code point of a single-byte character.
extern const std::uint16_t decodeSingle[256];
// Byte -> 0 if it starts no double-byte character, else 1 + its row in
// decodeDouble. A row holds the code points of the trail bytes
// trailFirst .. trailFirst + trailCount - 1.
extern const std::uint8_t decodeRow[256];
extern const unsigned trailFirst, trailCount;
extern const std::uint16_t decodeDouble[];

// Code point (the Basic Multilingual Plane: nothing beyond it encodes) ->
// code: one byte below 0x100, else lead byte * 0x100 + trail byte. The
// index names a block of kEncodeBlock code points for each code point / kEncodeBlock.
inline constexpr unsigned kEncodeBlock = 64;
extern const std::uint16_t encodeIndex[0x10000 / kEncodeBlock];
extern const std::uint16_t encodeBlocks[];
// The code points that encode to nothing at all (iconv drops Unicode's
// language tags): silentFirst .. silentLast, or none if silentFirst >
// silentLast.
extern const char32_t silentFirst, silentLast;

} // namespace kab::sjis::cp932
