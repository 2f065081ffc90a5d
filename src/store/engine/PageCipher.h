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
// A scope: the connections keyed while it lives use this cipher, which they
// keep; once it ends, connections keyed later get the engine's default
// again. The cipher is used only on the engine version whose interface it
// was written for; on any other the engine keeps its own.
class PageCipherScope {
public:
    PageCipherScope();
    ~PageCipherScope();
    PageCipherScope(const PageCipherScope&) = delete;
    PageCipherScope& operator=(const PageCipherScope&) = delete;

    bool Active() const { return active_; }

private:
    bool active_;
};

} // namespace store
