#pragma once

#include <string>

// The engine as this program sets it up.
namespace store {

// Sets the engine up for this program, once and before anything else starts
// it: one thread without mutexes, the program's file layer, and the secret
// heap under the engine's and the cryptography library's allocations
// (SecretHeap.h). Since the process is about to hold keys, it also stops
// being dumpable: no core file, and no other process of the same user may
// trace it or read its memory.
// Returns the name of the file layer (null: the engine's default).
const char* PrepareEngine();

// The longest path of a database file that the engine opens, in bytes of
// the file system's encoding: its file layer's limit for a path less the room
// that the name of the file's journal ("-journal") takes beyond it.
int LongestDatabasePath();

// The engine's version as it names itself ("3.4.1", "4.5.5 community");
// empty for an engine that encrypts nothing.
const std::string& CipherVersion();

// The major number of that version (0 for an engine that encrypts nothing).
int CipherMajorVersion();

} // namespace store
