// A key segment as the store declares the keys of the files it creates: the
// file-creation layer's key specification itself, so a table of these is
// handed to BtrCreateFile as it stands.
#pragma once

#include "btrieve/create_file.h"

using TKeySegment = TKeySpec;

// Key 0 of every file the store makes: the auto-increment prefix.
constexpr TKeySegment PrefixKeySegment{0, 0, 1, AutoIncKeyLength, false, false, true};
