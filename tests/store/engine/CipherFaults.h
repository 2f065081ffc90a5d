#pragma once

// Failures of the cryptography library on demand. This test program has an
// EVP_CipherUpdate of its own, which stands before the library's for every
// caller in the process (the program's page cipher and the engine's own) and
// passes each call on unless told to fail it.
namespace cipher_faults {

// Counts the calls that encrypt in CBC mode (a page) from now on; the n-th
// of them (from 1) and every later one fail. 0 fails none and only counts.
void FailEncryptionsFrom(int n);
// The calls that encrypted since the last FailEncryptionsFrom.
int Encryptions();
// Fails every call, encrypting or decrypting, while set.
void FailAll(bool fail);

} // namespace cipher_faults
