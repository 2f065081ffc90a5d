#pragma once

namespace store {

// The engine's page encryption with the work per page cut to the cipher and
// the digest themselves. The engine encrypts every page with AES-256-CBC and
// signs it with HMAC-SHA1, and by default sets both up anew for each page: a
// fresh cipher and digest context, looked up by name, keyed, used once and
// freed. That setting up cost more than the encryption. This cipher keeps one
// keyed cipher context per key and direction, and the digest's inner and
// outer states per signing key, so a page costs its IV, its decryption and
// its digest. The file format stays exactly the engine's.
//
// It serves the engine version whose interface it was written for (3.4)
// only, and only once it has decrypted, signed and encrypted a known page
// exactly as the engine's own cipher does; otherwise the engine keeps its
// own. That version writes whatever its page buffer holds even after a
// cipher reported a failure, so any failure inside this cipher wipes its
// output and ends the process at once: the next open rolls the interrupted
// transaction back from its journal.
//
// A scope: the connections keyed while it lives use this cipher, which they
// keep; once it ends, what was registered before it is registered again.
class PageCipherScope {
public:
    PageCipherScope();
    ~PageCipherScope();
    PageCipherScope(const PageCipherScope&) = delete;
    PageCipherScope& operator=(const PageCipherScope&) = delete;

    bool Active() const { return active_; }

private:
    bool active_ = false;
    void* previous_ = nullptr; // a copy of the table registered before, in the engine's memory
};

// The name the cipher gives the engine (PRAGMA cipher_provider).
inline constexpr char PageCipherName[] = "quillory-page-cipher";

} // namespace store
