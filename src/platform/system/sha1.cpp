#include "sha1.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <limits>

namespace platform {

#ifdef Q_OS_WIN

namespace {

struct Cng
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    DWORD objectSize = 0;
};

// One provider for the life of the module: opening it is the slow part.
const Cng &cng()
{
    static const Cng opened = [] {
        Cng c;
        DWORD got = 0;
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&c.algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0)))
            return Cng();
        if (!BCRYPT_SUCCESS(BCryptGetProperty(c.algorithm, BCRYPT_OBJECT_LENGTH,
                                              reinterpret_cast<PUCHAR>(&c.objectSize),
                                              sizeof c.objectSize, &got, 0))) {
            BCryptCloseAlgorithmProvider(c.algorithm, 0);
            return Cng();
        }
        return c;
    }();
    return opened;
}

// The hash and the object memory CNG keeps it in, freed together.
struct State
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char *object = nullptr;
};

} // namespace

void *sha1Begin()
{
    const Cng &c = cng();
    if (!c.algorithm)
        return nullptr;
    auto *state = new State;
    state->object = static_cast<unsigned char *>(std::malloc(c.objectSize ? c.objectSize : 1));
    if (!state->object
        || !BCRYPT_SUCCESS(BCryptCreateHash(c.algorithm, &state->hash, state->object, c.objectSize,
                                            nullptr, 0, 0))) {
        std::free(state->object);
        delete state;
        return nullptr;
    }
    return state;
}

void sha1Add(void *state, const char *data, long long size)
{
    auto *s = static_cast<State *>(state);
    while (size > 0) {
        const ULONG piece = ULONG(qMin<long long>(size, std::numeric_limits<ULONG>::max()));
        BCryptHashData(s->hash, reinterpret_cast<PUCHAR>(const_cast<char *>(data)), piece, 0);
        data += piece;
        size -= piece;
    }
}

void sha1End(void *state, unsigned char *out)
{
    auto *s = static_cast<State *>(state);
    BCryptFinishHash(s->hash, out, 20, 0);
    BCryptDestroyHash(s->hash);
    std::free(s->object);
    delete s;
}

void closeDescriptor(int fd)
{
    _close(fd);
}

#else

void *sha1Begin()
{
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    if (context && EVP_DigestInit_ex(context, EVP_sha1(), nullptr) != 1) {
        EVP_MD_CTX_free(context);
        return nullptr;
    }
    return context;
}

void sha1Add(void *state, const char *data, long long size)
{
    EVP_DigestUpdate(static_cast<EVP_MD_CTX *>(state), data, size_t(size));
}

void sha1End(void *state, unsigned char *out)
{
    unsigned int length = 0;
    EVP_DigestFinal_ex(static_cast<EVP_MD_CTX *>(state), out, &length);
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX *>(state));
}

void closeDescriptor(int fd)
{
    ::close(fd);
}

#endif

} // namespace platform
