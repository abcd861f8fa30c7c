#include "sign/SignatureCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sodium.h>

#include "i18n/ProgramTexts.h"
#include "sign/FileSigner.h"
#include "sign/SigningKey.h"

namespace quorvex {

namespace {

const QString kTrustedKeysFolder = QStringLiteral("trusted-keys");
const QByteArray kFileField = QByteArrayLiteral(" file:");
const QString kEmbeddedKey = QStringLiteral("public key ");

bool Verifies(const SignatureBytes& sig, const QByteArray& message, const PublicKeyBytes& key) {
    return crypto_sign_verify_detached(sig.data(), reinterpret_cast<const unsigned char*>(message.constData()),
                                       static_cast<unsigned long long>(message.size()), key.data()) == 0;
}

std::optional<MinisignPublicKey> ReadKeyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return ParsePublicKey(file.read(8192));
}

// The public key a signature carries in its untrusted comment.
std::optional<MinisignPublicKey> EmbeddedKey(const QString& comment) {
    const qsizetype at = comment.indexOf(kEmbeddedKey);
    if (at < 0) return std::nullopt;
    return ParsePublicKey(comment.mid(at + kEmbeddedKey.size()).section(u' ', 0, 0).toLatin1());
}

SignatureCheck Result(SignatureState state, const QString& keyId, const QString& numbered = {},
                      const QStringList& args = {}) {
    SignatureCheck c;
    c.state = state;
    c.keyId = keyId;
    c.detail = {numbered, args};
    return c;
}

}  // namespace

QString SignatureCheck::Text() const {
    switch (state) {
    case SignatureState::Valid:
        return TranslateText(QStringLiteral("[2532]podpisany, ważny (klucz %1)")).arg(keyId);
    case SignatureState::Untrusted:
        return TranslateText(QStringLiteral("[2533]podpisany, ważny, klucz niezaufany (%1)")).arg(keyId);
    case SignatureState::Changed:
        return TranslateText(QStringLiteral("[2534]ZMIENIONY po podpisaniu")) + QStringLiteral(" (") + detail.Text() +
               u')';
    case SignatureState::NotSigned:
        return TranslateText(QStringLiteral("[2535]niepodpisany"));
    case SignatureState::Damaged:
        return TranslateText(QStringLiteral("[2539]podpis nieczytelny: %1")).arg(detail.Text());
    case SignatureState::UnknownKey:
        return TranslateText(QStringLiteral("[2540]podpisany nieznanym kluczem (%1), nie można go sprawdzić"))
            .arg(keyId);
    case SignatureState::OtherKey:
        return TranslateText(QStringLiteral("[2541]podpisany innym kluczem (%1) niż podany (%2)"))
            .arg(keyId, givenKeyId);
    }
    return {};
}

QString TrustedKeysFolder(const QString& keyFolder) { return QDir(keyFolder).filePath(kTrustedKeysFolder); }

QList<TrustedKey> LoadTrustedKeys(const QString& keyFolder) {
    QList<TrustedKey> keys;
    const QString own = QDir(keyFolder).filePath(kPublicKeyFile);
    if (const auto key = ReadKeyFile(own)) keys.push_back({*key, own, true});
    const QDir folder(TrustedKeysFolder(keyFolder));
    for (const QFileInfo& f : folder.entryInfoList({QStringLiteral("*.pub")}, QDir::Files, QDir::Name))
        if (const auto key = ReadKeyFile(f.filePath())) keys.push_back({*key, f.filePath(), false});
    return keys;
}

std::optional<TrustedKey> ImportTrustedKey(const QString& keyFolder, const QByteArray& text, QString* problem) {
    FormatProblem why;
    const auto key = ParsePublicKey(text, &why);
    if (!key) {
        if (problem) *problem = why.Text();
        return std::nullopt;
    }
    for (const TrustedKey& k : LoadTrustedKeys(keyFolder))
        if (k.key.id == key->id && k.key.key == key->key) return k;  // trusted already
    const QString folder = TrustedKeysFolder(keyFolder);
    QDir().mkpath(folder);
    QSaveFile file(QDir(folder).filePath(KeyIdText(key->id) + QStringLiteral(".pub")));
    const QByteArray content = PublicKeyFileText(*key);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (problem) *problem = file.errorString();
        return std::nullopt;
    }
    return TrustedKey{*key, file.fileName(), false};
}

bool RemoveTrustedKey(const QString& keyFolder, const KeyId& id) {
    bool removed = false;
    for (const TrustedKey& k : LoadTrustedKeys(keyFolder))
        if (!k.own && k.key.id == id) removed = QFile::remove(k.file) || removed;
    return removed;
}

SignatureCheck CheckSignature(const QString& path, const QList<TrustedKey>& trusted, const MinisignPublicKey* given) {
    QFile sigFile(path + kSignatureSuffix);
    if (!sigFile.exists()) return Result(SignatureState::NotSigned, {});
    if (!SodiumReady()) return Result(SignatureState::Damaged, {}, QStringLiteral("libsodium"));
    if (!sigFile.open(QIODevice::ReadOnly))
        return Result(SignatureState::Damaged, {}, QStringLiteral("[2546]nie można odczytać pliku podpisu: %1"),
                      {sigFile.errorString()});
    FormatProblem problem;
    const auto sig = ParseSignature(sigFile.read(16384), &problem);
    if (!sig) return Result(SignatureState::Damaged, {}, problem.numbered, problem.args);
    const QString keyId = KeyIdText(sig->id);

    // Which key checks it, and whether the answer may be trusted.
    std::optional<MinisignPublicKey> key;
    bool keyTrusted = true;
    if (given) {
        if (given->id != sig->id) {
            SignatureCheck c = Result(SignatureState::OtherKey, keyId);
            c.givenKeyId = KeyIdText(given->id);
            return c;
        }
        key = *given;
    } else {
        for (const TrustedKey& t : trusted)
            if (t.key.id == sig->id) key = t.key;
        if (!key) {
            key = EmbeddedKey(sig->untrustedComment);
            keyTrusted = false;
            if (key && key->id != sig->id) key.reset();
        }
    }
    if (!key) return Result(SignatureState::UnknownKey, keyId);

    QString error;
    QByteArray message;
    if (sig->prehashed) {
        message = FileDigest(path, &error);
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) message = file.readAll();
        error = file.errorString();
    }
    if (message.isEmpty() && !QFileInfo(path).isFile())
        return Result(SignatureState::Damaged, keyId,
                      QStringLiteral("[2557]nie można odczytać pliku %1 do podpisania lub sprawdzenia: %2"),
                      {QDir::toNativeSeparators(path), error});
    SignatureCheck c;
    c.keyId = keyId;
    c.trustedComment = sig->trustedComment;
    const QByteArray global =
        QByteArray(reinterpret_cast<const char*>(sig->signature.data()), 64) + sig->trustedComment;
    const bool commentHolds = Verifies(sig->globalSignature, global, key->key);
    if (!Verifies(sig->signature, message, key->key)) {
        c.state = SignatureState::Changed;
        c.detail = {QStringLiteral("[2536]treść pliku różni się od podpisanej"), {}};
        // A file renamed and changed, or a signature moved beside another file: the content is
        // not what was signed, and the signature names the file it was made for. That name
        // is told only when the comment carrying it is itself intact.
        const qsizetype at = sig->trustedComment.lastIndexOf(kFileField);
        const QString signedName =
            at < 0 ? QString() : QString::fromUtf8(sig->trustedComment.mid(at + kFileField.size()));
        if (commentHolds && !signedName.isEmpty() && signedName != QFileInfo(path).fileName())
            c.detail = {QStringLiteral("[2538]treść pliku różni się od podpisanej, a podpisano go jako %1"),
                        {signedName}};
        return c;
    }
    if (!commentHolds) {
        c.state = SignatureState::Changed;
        c.detail = {QStringLiteral("[2537]zmieniono komentarz zaufany"), {}};
        return c;
    }
    c.state = keyTrusted ? SignatureState::Valid : SignatureState::Untrusted;
    return c;
}

}  // namespace quorvex
