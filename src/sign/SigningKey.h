#pragma once
// The installation's signing key: an Ed25519 key pair made on first need in the user's settings
// folder. The secret key file (kSecretKeyFile, our own layout: a comment line, then
// base64("Ed" + key id + libsodium's 64-byte secret key)) is readable by the user alone; one that
// other users can read or write is refused, since a key others can copy proves nothing. The public
// key lies beside it as kPublicKeyFile in the common public-key layout (MinisignFormat.h).
#include <QString>

#include <array>
#include <optional>

#include "sign/MinisignFormat.h"

namespace quorvex {

inline const QString kSecretKeyFile = QStringLiteral("quorvex.key");
inline const QString kPublicKeyFile = QStringLiteral("quorvex.pub");

struct SigningKey {
    MinisignPublicKey publicKey;
    std::array<unsigned char, 64> secret{};  // libsodium's layout: seed, then the public key
    ~SigningKey();
};

struct KeyOutcome {
    std::optional<SigningKey> key;
    QString problem;  // translated, names the file; empty with a key
    QString secretPath, publicPath;
    bool created = false;
};

// Reads the key in `folder`, making it when there is none yet (two programs making it at once end
// with one key: the second takes the first's). Rewrites a missing or differing public key file.
KeyOutcome LoadOrCreateSigningKey(const QString& folder);

// libsodium set up once per process; false when it cannot be (then nothing is signed or checked).
bool SodiumReady();

}  // namespace quorvex
