// quorvex-cli key and verify: the installation's signing key, and the check of a file's signature.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cli/CliCommands.h"
#include "i18n/ProgramTexts.h"
#include "settings/IniFile.h"
#include "sign/SignatureCheck.h"
#include "sign/SigningKey.h"

namespace quorvex {

void SayUnsigned(const SignOutcome& outcome) {
    const QString note = outcome.Note();
    if (!note.isEmpty()) Say(MessageLine(note));
}

int RunKey(const CliContext&) {
    ProgramTexts texts;
    texts.SetLanguage(kLanguageEnglish);
    texts.Install();
    const KeyOutcome key = LoadOrCreateSigningKey(UserSettingsFolder());
    if (!key.key) {
        Say(key.problem);
        return kExitFile;
    }
    if (key.created) Say(QStringLiteral("a new signing key was made"));
    Print(QStringLiteral("public key: %1\nkey id: %2\npublic key file: %3\nsecret key file: %4\n")
              .arg(PublicKeyLine(key.key->publicKey), KeyIdText(key.key->publicKey.id),
                   QDir::toNativeSeparators(key.publicPath), QDir::toNativeSeparators(key.secretPath)));
    return kExitDone;
}

int RunVerify(const CliContext& c) {
    ProgramTexts texts;
    texts.SetLanguage(c.language);
    texts.Install();
    std::optional<MinisignPublicKey> given;
    if (!c.options.pubkey.isEmpty()) {
        // A key file's path, or the key's line itself.
        QByteArray text = c.options.pubkey.toUtf8();
        QFile file(c.options.pubkey);
        if (QFileInfo(c.options.pubkey).isFile() && file.open(QIODevice::ReadOnly)) text = file.read(8192);
        FormatProblem problem;
        given = ParsePublicKey(text, &problem);
        if (!given) {
            Say(QStringLiteral("--pubkey %1: %2").arg(c.options.pubkey, problem.Text()));
            return kExitUsage;
        }
    }
    const QString& path = c.options.resultsFile;
    if (!QFileInfo(path).isFile()) {
        Say(QStringLiteral("no file %1").arg(path));
        return kExitArchive;
    }
    const SignatureCheck check = CheckSignature(path, LoadTrustedKeys(UserSettingsFolder()), given ? &*given : nullptr);
    Print(QStringLiteral("%1: %2\n").arg(QDir::toNativeSeparators(path), check.Text()));
    // A comment is shown only once its signature holds: until then it is anybody's text.
    if (check.state == SignatureState::Valid || check.state == SignatureState::Untrusted)
        Print(QStringLiteral("trusted comment: %1\n").arg(QString::fromUtf8(check.trustedComment)));
    return check.Trusted() ? kExitDone : kExitArchive;
}

}  // namespace quorvex
