#include "archive/ImportSignature.h"

#include <QDir>

#include "i18n/Translator.h"

namespace quorvex {

namespace {

// The check's line as a numbered text, so that it can be had in any language.
ArchiveText StateText(const SignatureCheck& c) {
    const QString detail = ArchiveText{c.detail.numbered, c.detail.args}.In(kLanguageEnglish);
    switch (c.state) {
    case SignatureState::Valid:
        return {QStringLiteral("[2532]podpisany, ważny (klucz %1)"), {c.keyId}};
    case SignatureState::Untrusted:
        return {QStringLiteral("[2533]podpisany, ważny, klucz niezaufany (%1)"), {c.keyId}};
    case SignatureState::Changed:
        return {QStringLiteral("[2534]ZMIENIONY po podpisaniu"), {}};
    case SignatureState::NotSigned:
        return {QStringLiteral("[2535]niepodpisany"), {}};
    case SignatureState::Damaged:
        return {QStringLiteral("[2539]podpis nieczytelny: %1"), {detail}};
    case SignatureState::UnknownKey:
        return {QStringLiteral("[2540]podpisany nieznanym kluczem (%1), nie można go sprawdzić"), {c.keyId}};
    case SignatureState::OtherKey:
        return {QStringLiteral("[2541]podpisany innym kluczem (%1) niż podany (%2)"), {c.keyId, c.givenKeyId}};
    }
    return {};
}

}  // namespace

ArchiveText ImportSignature::Refusal(const QString& path) const {
    return {QStringLiteral("[2606]Plik %1 zmieniono po podpisaniu albo jego podpis jest nieczytelny (%2); "
                           "nie zaimportowano go"),
            {QDir::toNativeSeparators(path), check.Text()}};
}

QString ImportSignature::Note() const {
    QString note = QStringLiteral("signature: ") + StateText(check).In(kLanguageEnglish);
    if (check.state == SignatureState::Changed && !check.detail.numbered.isEmpty())
        note += QStringLiteral(" (%1)").arg(ArchiveText{check.detail.numbered, check.detail.args}.In(kLanguageEnglish));
    if (Refused()) note += QStringLiteral("; imported on the operator's word");
    return note;
}

ImportSignature CheckImportSignature(const QString& path, const QList<TrustedKey>& trusted) {
    return {CheckSignature(path, trusted)};
}

}  // namespace quorvex
