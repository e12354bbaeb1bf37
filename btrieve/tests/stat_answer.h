// Builds buffers of the Stat shape (btrieve/stat_layout.h) for tests: fake
// Stat answers, and create buffers for the real engine, which takes the
// same shape.
#pragma once

#include "btrieve/stat_layout.h"

#include <cstdint>
#include <string>
#include <vector>

// The header with keyCount as given (it need not match the segments),
// then the segment entries, then the sequences as given.
std::string StatAnswer(uint16_t recordLength, uint16_t keyCount, const std::vector<TStatSegment>& segments,
                       uint32_t recordCount = 0, const std::vector<std::string>& sequences = {},
                       uint16_t pageSize = 4096);

// A 265-byte collating sequence: a 9-byte header naming it, then the
// weights, here every byte weighing itself plus shift (mod 256).
std::string TestSequence(const std::string& name, uint8_t shift);
