#include "sign/FileSigner.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sodium.h>

#include "i18n/ProgramTexts.h"
#include "sign/MinisignFormat.h"
#include "sign/SigningKey.h"

namespace quorvex {

namespace {

constexpr qint64 kChunk = 1 << 20;

QByteArray OneLine(QString text) {
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    return text.toUtf8();
}

SignatureBytes Detached(const QByteArray& message, const SigningKey& key) {
    SignatureBytes sig{};
    crypto_sign_detached(sig.data(), nullptr, reinterpret_cast<const unsigned char*>(message.constData()),
                         static_cast<unsigned long long>(message.size()), key.secret.data());
    return sig;
}

}  // namespace

QString SignOutcome::Note() const {
    // Nothing to say of a file that was never written, and so never signed.
    if (done || !enabled || file.isEmpty()) return {};
    return TranslateText(QStringLiteral("[2550]Plik zapisano bez podpisu: %1")).arg(problem);
}

QByteArray TrustedCommentFor(const QString& program, const SignatureFacts& facts, const QString& fileName,
                             const QDateTime& signedUtc) {
    QByteArray c = OneLine(program);
    if (!facts.serial.isEmpty()) c += " serial:" + OneLine(facts.serial);
    if (!facts.logStart.isEmpty()) c += " log_start:" + OneLine(facts.logStart);
    if (facts.records >= 0) c += " records:" + QByteArray::number(facts.records);
    c += " signed:" + signedUtc.toUTC().toString(Qt::ISODate).toLatin1();
    // The name last: it may hold blanks, and it is what is cut when the line grows too long.
    c += " file:" + OneLine(fileName);
    if (c.size() > kMaxCommentBytes) {
        c.truncate(kMaxCommentBytes);
        // Never half a UTF-8 character at the cut.
        while (!c.isEmpty() && (static_cast<unsigned char>(c.back()) & 0xC0) == 0x80) c.chop(1);
        if (!c.isEmpty() && (static_cast<unsigned char>(c.back()) & 0x80)) c.chop(1);
    }
    return c;
}

QByteArray FileDigest(const QString& path, QString* error) {
    QFile file(path);
    if (!SodiumReady() || !file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return {};
    }
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), kChunk);
        if (n < 0) {
            if (error) *error = file.errorString();
            return {};
        }
        if (n == 0) break;
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(chunk.constData()),
                                  static_cast<unsigned long long>(n));
    }
    QByteArray digest(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_final(&state, reinterpret_cast<unsigned char*>(digest.data()), crypto_generichash_BYTES_MAX);
    return digest;
}

FileSigner::FileSigner(QString program, QString keyFolder, bool enabled)
    : program_(std::move(program)), keyFolder_(std::move(keyFolder)), enabled_(enabled) {}

SignOutcome FileSigner::Sign(const QString& path, const SignatureFacts& facts, const QByteArray& digest) const {
    SignOutcome out = SignNow(path, facts, digest);
    if (!out.done) QFile::remove(out.signaturePath);  // it belongs to what the file was before
    if (onSigned_) onSigned_(out);
    return out;
}

SignOutcome FileSigner::SignNow(const QString& path, const SignatureFacts& facts, const QByteArray& given) const {
    SignOutcome out;
    out.file = path;
    out.facts = facts;
    out.signaturePath = path + kSignatureSuffix;
    out.enabled = enabled_;
    if (!enabled_) return out;
    const KeyOutcome key = LoadOrCreateSigningKey(keyFolder_);
    if (!key.key) {
        out.problem = key.problem;
        return out;
    }
    QString error;
    const QByteArray digest = given.size() == crypto_generichash_BYTES_MAX ? given : FileDigest(path, &error);
    if (digest.isEmpty()) {
        out.problem =
            TranslateText(QStringLiteral("[2557]nie można odczytać pliku %1 do podpisania lub sprawdzenia: %2"))
                .arg(QDir::toNativeSeparators(path), error);
        return out;
    }
    MinisignSignature s;
    s.prehashed = true;
    s.id = key.key->publicKey.id;
    s.signature = Detached(digest, *key.key);
    s.trustedComment = TrustedCommentFor(program_, facts, QFileInfo(path).fileName(), QDateTime::currentDateTimeUtc());
    const QByteArray sig(reinterpret_cast<const char*>(s.signature.data()), 64);
    s.globalSignature = Detached(sig + s.trustedComment, *key.key);
    out.keyId = KeyIdText(s.id);
    // The public key rides along in the comment nobody has to trust: with it a signature by a key
    // not (yet) trusted here still shows whether the file is intact.
    s.untrustedComment =
        QStringLiteral("Quorvex signature, key %1, public key %2").arg(out.keyId, PublicKeyLine(key.key->publicKey));
    QSaveFile file(out.signaturePath);
    const QByteArray text = SignatureFileText(s);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        out.problem = TranslateText(QStringLiteral("[2556]nie można zapisać podpisu %1: %2"))
                          .arg(QDir::toNativeSeparators(out.signaturePath), file.errorString());
        return out;
    }
    out.trustedComment = s.trustedComment;
    out.done = true;
    return out;
}

}  // namespace quorvex
