// Feeds arbitrary bytes to the signature and public key readers, and as the signature file
// beside a results file to the whole check. Whatever they are given, the readers answer with a
// reason or a value that writes back to text they read again the same; the check gives a state
// and never calls a file valid that no key here signed.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sign/FileSigner.h"
#include "sign/MinisignFormat.h"
#include "sign/SignatureCheck.h"

using namespace quorvex;

namespace {

void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_signature: check on line %d failed\n", line);
    std::abort();
}
#define Require(condition) Check(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("1\t01.03.2015 08:30:00\t-12,5\t\r\n");
        return path;
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    FormatProblem problem;
    if (const auto sig = ParseSignature(bytes, &problem)) {
        const auto again = ParseSignature(SignatureFileText(*sig));
        Require(again.has_value());
        Require(again->id == sig->id && again->signature == sig->signature && again->prehashed == sig->prehashed);
        Require(again->trustedComment == sig->trustedComment && again->globalSignature == sig->globalSignature);
    } else {
        Require(!problem.numbered.isEmpty());
    }
    if (const auto key = ParsePublicKey(bytes)) {
        const auto again = ParsePublicKey(PublicKeyFileText(*key));
        Require(again.has_value() && again->id == key->id && again->key == key->key);
    }

    QFile sigFile(file + kSignatureSuffix);
    Require(sigFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    sigFile.write(bytes);
    sigFile.close();
    // No key is trusted here: a signature that forges none cannot come out valid.
    const SignatureCheck check = CheckSignature(file, {});
    Require(check.state != SignatureState::Valid && check.state != SignatureState::NotSigned);
    Require(!check.Text().isEmpty());
    return 0;
}
