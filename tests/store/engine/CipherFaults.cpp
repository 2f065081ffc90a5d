#include "CipherFaults.h"

#include <openssl/evp.h>

#include <dlfcn.h>

namespace {

int failFrom = 0;
int encryptions = 0;
bool failAll = false;

} // namespace

namespace cipher_faults {

void FailEncryptionsFrom(int n)
{
    failFrom = n;
    encryptions = 0;
}

int Encryptions() { return encryptions; }

void FailAll(bool fail) { failAll = fail; }

} // namespace cipher_faults

extern "C" int EVP_CipherUpdate(EVP_CIPHER_CTX* ctx, unsigned char* out, int* outl, const unsigned char* in, int inl)
{
    using Update = int (*)(EVP_CIPHER_CTX*, unsigned char*, int*, const unsigned char*, int);
    static const auto library = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "EVP_CipherUpdate"));
    bool fail = failAll;
    // Pages are encrypted in CBC mode; the random generator's own use of
    // the cipher (another mode) is left alone.
    if (EVP_CIPHER_CTX_get_mode(ctx) == EVP_CIPH_CBC_MODE && EVP_CIPHER_CTX_is_encrypting(ctx) == 1) {
        ++encryptions;
        fail = fail || (failFrom > 0 && encryptions >= failFrom);
    }
    if (fail || !library) {
        *outl = 0;
        return 0;
    }
    return library(ctx, out, outl, in, inl);
}
