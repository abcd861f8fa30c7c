#pragma once
// Signs a file the program has just written: FILE.minisig beside it, in the common signature layout
// (MinisignFormat.h, the prehashed kind), so that any machine can check it with the public key
// alone. The trusted comment names the program and version, the logger's serial, the log's start,
// the record count, the signing moment in UTC and the file's name.
//
// Signing never costs the file: when the key is missing, unreadable or refused, or the signature
// cannot be written, the file stays as written and the outcome says it is unsigned and why. A
// signature left from an earlier file of that name is removed then (and when signing is off): it
// would call the new file changed.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace quorvex {

// The settings file's switch: section, key (1 = sign, the default; 0 = do not).
inline const QString kSigningSection = QStringLiteral("Signing");
inline const QString kSigningEnabledKey = QStringLiteral("Enabled");
inline const QString kSignatureSuffix = QStringLiteral(".minisig");

// What the trusted comment says of the records; empty fields (records < 0) are left out.
struct SignatureFacts {
    QString serial;
    QString logStart;  // "yyyy-MM-ddTHH:mm:ss" on the logger's clock
    int records = -1;
};

struct SignOutcome {
    bool done = false;    // FILE.minisig written
    bool enabled = true;  // false: signing is switched off, nothing was tried
    QString file;         // the signed file
    QString signaturePath;
    QString keyId;
    QByteArray trustedComment;
    SignatureFacts facts;  // what the records were, as asked
    QString problem;       // translated reason when not done (enabled only)

    // Empty when signed, when signing is off or when nothing was signed (no file written);
    // else "saved unsigned: <reason>" (translated).
    QString Note() const;
};

class FileSigner {
public:
    // `program`: the program and version for the trusted comment; `keyFolder`: where the key
    // lives (UserSettingsFolder() in the programs, a temporary folder in tests).
    FileSigner(QString program, QString keyFolder, bool enabled = true);

    bool Enabled() const { return enabled_; }
    const QString& KeyFolder() const { return keyFolder_; }

    // Signs `path` as it now lies on disk, or, given the BLAKE2b-512 `digest` of the bytes just
    // written to it (DigestingDevice.h), signs that without reading the file back.
    SignOutcome Sign(const QString& path, const SignatureFacts& facts, const QByteArray& digest = {}) const;

    // Called after every attempt (also a failed one), for whoever keeps a record of what was signed.
    void SetOnSigned(std::function<void(const SignOutcome&)> hook) { onSigned_ = std::move(hook); }

private:
    SignOutcome SignNow(const QString& path, const SignatureFacts& facts, const QByteArray& digest) const;

    QString program_;
    QString keyFolder_;
    bool enabled_;
    std::function<void(const SignOutcome&)> onSigned_;
};

// The trusted comment for these facts (one line, within the comment limit).
QByteArray TrustedCommentFor(const QString& program, const SignatureFacts& facts, const QString& fileName,
                             const QDateTime& signedUtc);

// BLAKE2b-512 of the file's bytes; empty with `error` set when it cannot be read.
QByteArray FileDigest(const QString& path, QString* error);

}  // namespace quorvex
