#include "sign/SigningKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sodium.h>
#include <sys/stat.h>

#include <cstring>

#include "i18n/ProgramTexts.h"

namespace quorvex {

namespace {

const QByteArray kSecretComment = QByteArrayLiteral("Quorvex secret signing key: keep it to yourself\n");

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

KeyOutcome Problem(KeyOutcome outcome, const QString& text) {
    outcome.key.reset();
    outcome.problem = text;
    return outcome;
}

// The key in a secret key file's text; nothing when it is damaged (also when its public half
// does not follow from its seed).
std::optional<SigningKey> ParseSecret(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2) return std::nullopt;
    const auto raw = QByteArray::fromBase64Encoding(lines[1].trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!raw || raw.decoded.size() != 2 + 8 + 64 || !raw.decoded.startsWith("Ed")) return std::nullopt;
    SigningKey key;
    std::memcpy(key.publicKey.id.data(), raw.decoded.constData() + 2, 8);
    std::memcpy(key.secret.data(), raw.decoded.constData() + 10, 64);
    unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(pk, sk, key.secret.data());
    const bool whole = sodium_memcmp(sk, key.secret.data(), sizeof sk) == 0;
    sodium_memzero(sk, sizeof sk);
    if (!whole) return std::nullopt;
    std::memcpy(key.publicKey.key.data(), pk, sizeof pk);
    return key;
}

QByteArray SecretText(const SigningKey& key) {
    QByteArray raw = QByteArrayLiteral("Ed");
    raw.append(reinterpret_cast<const char*>(key.publicKey.id.data()), 8);
    raw.append(reinterpret_cast<const char*>(key.secret.data()), 64);
    QByteArray text = kSecretComment + raw.toBase64() + '\n';
    sodium_memzero(raw.data(), static_cast<std::size_t>(raw.size()));
    return text;
}

// Writes a new secret key file, readable by the user alone from its first byte, and puts it in
// place unless another program did so first. Empty on success (also when the other won).
QString WriteNewSecret(const QString& path, const SigningKey& key) {
    QFile temp(path + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid()));
    if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return temp.errorString();
    const QByteArray text = SecretText(key);
    const bool written = temp.write(text) == text.size() && temp.flush();
    temp.close();
    if (!written) {
        temp.remove();
        return temp.errorString();
    }
    // Never over a key already there: files signed with it would lose the key that checks them.
    if (!temp.rename(path)) temp.remove();
    return {};
}

}  // namespace

SigningKey::~SigningKey() { sodium_memzero(secret.data(), secret.size()); }

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

KeyOutcome LoadOrCreateSigningKey(const QString& folder) {
    KeyOutcome out;
    out.secretPath = QDir(folder).filePath(kSecretKeyFile);
    out.publicPath = QDir(folder).filePath(kPublicKeyFile);
    if (!SodiumReady()) return Problem(out, QStringLiteral("libsodium"));
    if (!QFileInfo::exists(out.secretPath)) {
        if (!QDir().mkpath(folder))
            return Problem(out, TranslateText(QStringLiteral("[2555]nie można utworzyć klucza podpisu w %1: %2"))
                                    .arg(Native(folder), QStringLiteral("mkdir")));
        SigningKey fresh;
        unsigned char pk[crypto_sign_PUBLICKEYBYTES];
        crypto_sign_keypair(pk, fresh.secret.data());
        randombytes_buf(fresh.publicKey.id.data(), fresh.publicKey.id.size());
        const QString reason = WriteNewSecret(out.secretPath, fresh);
        if (!reason.isEmpty())
            return Problem(out, TranslateText(QStringLiteral("[2555]nie można utworzyć klucza podpisu w %1: %2"))
                                    .arg(Native(folder), reason));
        out.created = true;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(out.secretPath).constData(), &st) == 0 && (st.st_mode & 077) != 0)
        return Problem(
            out,
            TranslateText(QStringLiteral("[2552]klucz podpisu %1 jest dostępny dla innych użytkowników (chmod 600 %1)"))
                .arg(Native(out.secretPath)));
    QFile file(out.secretPath);
    if (!file.open(QIODevice::ReadOnly))
        return Problem(out, TranslateText(QStringLiteral("[2553]nie można odczytać klucza podpisu %1: %2"))
                                .arg(Native(out.secretPath), file.errorString()));
    QByteArray text = file.read(4096);
    out.key = ParseSecret(text);
    sodium_memzero(text.data(), static_cast<std::size_t>(text.size()));
    if (!out.key)
        return Problem(
            out, TranslateText(QStringLiteral("[2554]klucz podpisu %1 jest uszkodzony")).arg(Native(out.secretPath)));
    // The public key beside it is only a copy for others: put it right whenever it is not.
    const QByteArray publicText = PublicKeyFileText(out.key->publicKey);
    QFile current(out.publicPath);
    if (!current.open(QIODevice::ReadOnly) || current.readAll() != publicText) {
        QSaveFile pub(out.publicPath);
        if (pub.open(QIODevice::WriteOnly)) {
            pub.write(publicText);
            pub.commit();
        }
    }
    return out;
}

}  // namespace quorvex
