#pragma once
// Checking FILE.minisig beside a file against the keys trusted here: the installation's own public
// key and those imported (kept one file each in the trusted keys folder). A signature by a key not
// trusted is still checked with the public key its untrusted comment carries: it then shows the
// file intact but says the key is not trusted, which is all such a key can prove.
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "sign/MinisignFormat.h"

namespace quorvex {

enum class SignatureState {
    Valid,       // signed, intact, by a trusted key
    Untrusted,   // signed, intact, by a key not trusted here
    Changed,     // the file or the trusted comment no longer matches the signature
    NotSigned,   // no signature beside the file
    Damaged,     // a signature file that cannot be read as one
    UnknownKey,  // signed by a key neither trusted nor carried along: cannot be checked
    OtherKey,    // signed by another key than the one the check was asked to use
};

struct SignatureCheck {
    SignatureState state = SignatureState::NotSigned;
    QString keyId;              // the signature's key
    QString givenKeyId;         // OtherKey: the key asked for
    QByteArray trustedComment;  // as found; vouched for only when Valid or Untrusted
    FormatProblem detail;       // Changed, Damaged: what exactly

    // Valid: the only state a script may take as proof.
    bool Trusted() const { return state == SignatureState::Valid; }
    // The operator must be told at once (an error box): the file or its signature was tampered with.
    bool Alarming() const { return state == SignatureState::Changed || state == SignatureState::Damaged; }
    // One line in the program's language.
    QString Text() const;
};

struct TrustedKey {
    MinisignPublicKey key;
    QString file;      // where it is kept
    bool own = false;  // the installation's own key
};

// The trusted keys folder below the key folder.
QString TrustedKeysFolder(const QString& keyFolder);

// The installation's own public key (if made yet) and every imported one.
QList<TrustedKey> LoadTrustedKeys(const QString& keyFolder);
// Copies a public key file (or its base64 line) into the trusted keys; nothing with `problem`
// set when it is no public key or cannot be kept.
std::optional<TrustedKey> ImportTrustedKey(const QString& keyFolder, const QByteArray& text, QString* problem);
// Removes an imported key; the own key is never removed. False when nothing was removed.
bool RemoveTrustedKey(const QString& keyFolder, const KeyId& id);

// Checks path + ".minisig". With `given`, that key alone is used and counts as trusted (the
// operator named it).
SignatureCheck CheckSignature(const QString& path, const QList<TrustedKey>& trusted,
                              const MinisignPublicKey* given = nullptr);

}  // namespace quorvex
