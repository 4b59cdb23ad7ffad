#pragma once

// The system's SHA-1, fed piece by piece: OpenSSL's libcrypto on Linux (it uses the
// processor's SHA instructions where there are some), CNG (bcrypt) on Windows. Built into the
// zip module only, so that neither library is loaded before the first file is identified.
// sha1Begin gives a state (null when the system has none to give), sha1Add feeds it, sha1End
// writes the 20 bytes of digest and frees the state.
//
// closeDescriptor closes a C runtime descriptor, as the zip module must when libzip did not
// take one.
namespace platform {

void *sha1Begin();
void sha1Add(void *state, const char *data, long long size);
void sha1End(void *state, unsigned char *out);

void closeDescriptor(int fd);

} // namespace platform
