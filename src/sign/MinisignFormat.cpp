#include "sign/MinisignFormat.h"

#include <QList>

#include <algorithm>
#include <cstring>

#include "i18n/ProgramTexts.h"

namespace quorvex {

namespace {

const QByteArray kUntrustedPrefix = QByteArrayLiteral("untrusted comment: ");
const QByteArray kTrustedPrefix = QByteArrayLiteral("trusted comment: ");
const QByteArray kKeyAlgorithm = QByteArrayLiteral("Ed");
const QByteArray kPrehashedAlgorithm = QByteArrayLiteral("ED");
constexpr qsizetype kMaxFileBytes = 8192;  // four short lines; anything longer is not ours to read

// The lines of a small text file, CR LF taken as LF, a last line without LF kept.
QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return lines;
}

std::optional<QByteArray> Base64Of(const QByteArray& line, qsizetype size) {
    const auto decoded = QByteArray::fromBase64Encoding(line.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size) return std::nullopt;
    return decoded.decoded;
}

template <std::size_t N>
void CopyInto(std::array<unsigned char, N>& to, const QByteArray& from, qsizetype offset) {
    std::memcpy(to.data(), from.constData() + offset, N);
}

template <std::size_t N>
QByteArray Bytes(const std::array<unsigned char, N>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), N);
}

template <class T>
std::optional<T> Fail(FormatProblem* problem, const QString& numbered, const QStringList& args = {}) {
    if (problem) *problem = {numbered, args};
    return std::nullopt;
}

}  // namespace

QString FormatProblem::Text() const {
    QString text = TranslateText(numbered);
    for (const QString& a : args) text = text.arg(a);
    return text;
}

QString KeyIdText(const KeyId& id) {
    QString text;
    for (auto it = id.rbegin(); it != id.rend(); ++it) text += QStringLiteral("%1").arg(*it, 2, 16, QChar(u'0'));
    return text.toUpper();
}

QString PublicKeyLine(const MinisignPublicKey& key) {
    return QString::fromLatin1((kKeyAlgorithm + Bytes(key.id) + Bytes(key.key)).toBase64());
}

QByteArray PublicKeyFileText(const MinisignPublicKey& key) {
    return "untrusted comment: Quorvex public key " + KeyIdText(key.id).toLatin1() + '\n' +
           PublicKeyLine(key).toLatin1() + '\n';
}

std::optional<MinisignPublicKey> ParsePublicKey(const QByteArray& text, FormatProblem* problem) {
    using R = MinisignPublicKey;
    if (text.size() > kMaxFileBytes) return Fail<R>(problem, QStringLiteral("[2547]plik jest za długi"));
    QList<QByteArray> lines = Lines(text);
    // The file's comment line, or the key's base64 line given alone.
    if (!lines.isEmpty() && lines.first().startsWith(kUntrustedPrefix)) lines.removeFirst();
    if (lines.isEmpty() || lines.first().trimmed().isEmpty())
        return Fail<R>(problem, QStringLiteral("[2542]brak wiersza %1"), {QString::number(text.isEmpty() ? 1 : 2)});
    const auto raw = Base64Of(lines.first(), 42);
    if (!raw || !raw->startsWith(kKeyAlgorithm))
        return Fail<R>(problem, QStringLiteral("[2568]to nie jest klucz publiczny"));
    R key;
    CopyInto(key.id, *raw, 2);
    CopyInto(key.key, *raw, 10);
    return key;
}

QByteArray SignatureFileText(const MinisignSignature& s) {
    const QByteArray algorithm = s.prehashed ? kPrehashedAlgorithm : kKeyAlgorithm;
    return kUntrustedPrefix + s.untrustedComment.toUtf8() + '\n' +
           (algorithm + Bytes(s.id) + Bytes(s.signature)).toBase64() + '\n' + kTrustedPrefix + s.trustedComment + '\n' +
           Bytes(s.globalSignature).toBase64() + '\n';
}

std::optional<MinisignSignature> ParseSignature(const QByteArray& text, FormatProblem* problem) {
    using R = MinisignSignature;
    if (text.size() > kMaxFileBytes) return Fail<R>(problem, QStringLiteral("[2547]plik jest za długi"));
    const QList<QByteArray> lines = Lines(text);
    const auto missing = [&](int line) {
        return Fail<R>(problem, QStringLiteral("[2542]brak wiersza %1"), {QString::number(line)});
    };
    const auto prefixMissing = [&](int line, const QByteArray& prefix) {
        return Fail<R>(problem, QStringLiteral("[2545]wiersz %1 nie zaczyna się od „%2”"),
                       {QString::number(line), QString::fromLatin1(prefix.trimmed())});
    };
    const auto notBase64 = [&](int line) {
        return Fail<R>(problem, QStringLiteral("[2543]wiersz %1 nie jest zapisem base64 o właściwej długości"),
                       {QString::number(line)});
    };
    R s;
    if (lines.size() < 1) return missing(1);
    if (!lines[0].startsWith(kUntrustedPrefix)) return prefixMissing(1, kUntrustedPrefix);
    s.untrustedComment = QString::fromUtf8(lines[0].mid(kUntrustedPrefix.size()));
    if (lines.size() < 2) return missing(2);
    const auto raw = Base64Of(lines[1], 74);
    if (!raw) return notBase64(2);
    const QByteArray algorithm = raw->left(2);
    if (algorithm != kPrehashedAlgorithm && algorithm != kKeyAlgorithm)
        return Fail<R>(problem, QStringLiteral("[2544]nieznany algorytm podpisu"));
    s.prehashed = algorithm == kPrehashedAlgorithm;
    CopyInto(s.id, *raw, 2);
    CopyInto(s.signature, *raw, 10);
    if (lines.size() < 3) return missing(3);
    if (!lines[2].startsWith(kTrustedPrefix)) return prefixMissing(3, kTrustedPrefix);
    s.trustedComment = lines[2].mid(kTrustedPrefix.size());
    if (lines.size() < 4) return missing(4);
    const auto global = Base64Of(lines[3], 64);
    if (!global) return notBase64(4);
    CopyInto(s.globalSignature, *global, 0);
    return s;
}

}  // namespace quorvex
