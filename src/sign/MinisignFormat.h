#pragma once
// The two text files anyone can check our signatures with, in the widely used minisign layout:
//   public key:  "untrusted comment: …" LF, base64("Ed" + key id (8 bytes) + Ed25519 public key (32))
//   signature:   "untrusted comment: …" LF, base64(algorithm (2) + key id (8) + Ed25519 signature (64)) LF,
//                "trusted comment: …" LF, base64(Ed25519 signature of (signature || trusted comment text)) LF
// The algorithm "ED" signs the BLAKE2b-512 digest of the file (what we write); "Ed" signs the file's
// bytes themselves (older signers), read for completeness. Reading never trusts lengths it is given:
// every malformed input comes back as a reason, never a crash.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace quorvex {

using KeyId = std::array<unsigned char, 8>;
using PublicKeyBytes = std::array<unsigned char, 32>;
using SignatureBytes = std::array<unsigned char, 64>;

inline constexpr int kMaxCommentBytes = 1024;  // what the common verifier accepts in one comment

struct MinisignPublicKey {
    KeyId id{};
    PublicKeyBytes key{};
};

struct MinisignSignature {
    bool prehashed = true;  // "ED": the signature is over BLAKE2b-512 of the file
    KeyId id{};
    SignatureBytes signature{};
    QString untrustedComment;
    QByteArray trustedComment;  // exactly the bytes the global signature covers
    SignatureBytes globalSignature{};
};

// Why a signature or key file cannot be read: a numbered text with its arguments, translated on use.
struct FormatProblem {
    QString numbered;
    QStringList args;
    QString Text() const;
};

// The key id as people read it: 16 upper-case hex digits of the little-endian number.
QString KeyIdText(const KeyId& id);

// The base64 line of a public key ("RW…").
QString PublicKeyLine(const MinisignPublicKey& key);
// The whole public key file.
QByteArray PublicKeyFileText(const MinisignPublicKey& key);
// A public key file, or its base64 line alone.
std::optional<MinisignPublicKey> ParsePublicKey(const QByteArray& text, FormatProblem* problem = nullptr);

QByteArray SignatureFileText(const MinisignSignature& s);
std::optional<MinisignSignature> ParseSignature(const QByteArray& text, FormatProblem* problem = nullptr);

}  // namespace quorvex
