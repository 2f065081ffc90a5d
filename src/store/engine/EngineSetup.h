#pragma once

// The engine as this program sets it up.
namespace store {

// Sets the engine up for this program, once and before anything else starts
// it: one thread without mutexes, the program's page cache and file layer.
// Returns the name of that file layer (null: the engine's default).
const char* PrepareEngine();

} // namespace store
