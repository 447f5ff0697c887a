#pragma once

#include "store/Cipher.h"

namespace snipora {

// The current Windows account's keys: a new key is 256 random bits (BCryptGenRandom), kept on
// disk only as DPAPI's blob for the current user (CryptProtectData, no UI), and seals with
// AES-256-GCM through CNG. The key's bytes are wiped as soon as its CNG key is made, and the
// CNG key object when the cipher goes.
IKeyVault& PlatformKeyVault();

}  // namespace snipora
