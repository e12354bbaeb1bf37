// Flushes to disk counted in a test's helper program, and its death by
// SIGKILL at a chosen one: the middle of a commit, as a power cut leaves it.
// Linking sync_kill.cpp defines fsync and fdatasync in the program; its own
// definitions come before the C library's for every library it loads, the
// record manager's SQLite included.
#pragma once

// From now on the Nth flush kills the process instead of happening; 0
// disarms. Restarts the count of SyncsCounted.
void ArmKillAtSync(int N);

// Flushes since the last ArmKillAtSync.
int SyncsCounted();
