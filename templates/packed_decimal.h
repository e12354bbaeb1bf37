// The product family's packed decimal numbers and their text.
//
// Layout: two decimal digits a byte, high nibble first; the low nibble of
// the last byte is the sign, 15 (F) positive, 13 (D) negative. N bytes hold
// 2N - 1 digits. The decimal point is implied: a field with 2 decimals
// holds hundredths, so 12.34 in 3 bytes is 01 23 4F and -0.50 in 2 bytes is
// 05 0D.
#pragma once

#include <cstdint>
#include <string>

// S: packed bytes on entry, their text on return: "-" first unless the
// sign nibble is 15 (so a C is negative too), "." before the last Decimals
// digits (zeros fill in when there are fewer digits), leading zeros removed
// ("0" when nothing is left, ".00" for zero with 2 decimals), right-aligned
// in 12 characters, never cut. An empty S gives "0"; a digit nibble above 9
// shows as "?". Reads nothing outside S.
void DecimalToStr(std::string& S, int Decimals);

// Units (hundredths for 2 decimals) as Bytes packed bytes, sign F for zero
// and above, D below. Raises EConvertError when Bytes is outside 1..10 or
// the value needs more than 2 * Bytes - 1 digits.
std::string PackDecimal(int64_t Units, int Bytes);
