// Texts the template store shares with every screen that reports a failure
// about the shared files.
#pragma once

#include <string>

// Appended to messages about shared files.
inline const std::string ContactMsg = "\r\rPlease contact Ondral, Inc. for assistance.";
