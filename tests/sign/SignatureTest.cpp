// Signatures of written files: made with the installation's key, checked by the common minisign
// tool and ours alike, and every damaged, tampered or foreign signature reported for what it is.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ProgramTextsScope.h"
#include "logs/ResultsFile.h"
#include "sign/FileSigner.h"
#include "sign/SignatureCheck.h"
#include "sign/SigningKey.h"

namespace quorvex {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

int Minisign(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("minisign"), args);
    if (!p.waitForFinished(30000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class Signature : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        data = Path("log.txt");
        WriteAll(data, "1\t01.03.2015 08:30:00\t-12,5\t\r\n2\t01.03.2015 08:35:00\t-12,4\t\r\n");
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString KeyFolder() const { return dir.filePath(QStringLiteral("config")); }
    SignOutcome Sign(const QString& path, const QString& folder) const {
        return FileSigner(QStringLiteral("Quorvex 4.6"), folder).Sign(path, {QStringLiteral("0019A7F3"), {}, 2});
    }

    test::ProgramTextsScope texts{kLanguageEnglish};
    QTemporaryDir dir;
    QString data;
};

TEST_F(Signature, OurSignaturesAndTheCommonToolsAgreeBothWays) {
    const SignOutcome signedFile = Sign(data, KeyFolder());
    ASSERT_TRUE(signedFile.done) << signedFile.problem.toStdString();
    EXPECT_TRUE(signedFile.trustedComment.contains("serial:0019A7F3"));
    EXPECT_TRUE(signedFile.trustedComment.endsWith("file:log.txt"));
    const QString pub = QDir(KeyFolder()).filePath(kPublicKeyFile);
    // The key is the user's alone; the public half lies beside it.
    EXPECT_EQ((QFile::permissions(QDir(KeyFolder()).filePath(kSecretKeyFile)) & 0x0077).toInt(), 0);
    EXPECT_EQ(CheckSignature(data, LoadTrustedKeys(KeyFolder())).state, SignatureState::Valid);

    if (QStandardPaths::findExecutable(QStringLiteral("minisign")).isEmpty())
        GTEST_SKIP() << "minisign is not installed (scripts/deps.sh installs it)";
    EXPECT_EQ(Minisign({QStringLiteral("-Vq"), QStringLiteral("-m"), data, QStringLiteral("-p"), pub}), 0);
    WriteAll(data, ReadAll(data) + "3\t01.03.2015 08:40:00\t99,9\t\r\n");
    EXPECT_NE(Minisign({QStringLiteral("-Vq"), QStringLiteral("-m"), data, QStringLiteral("-p"), pub}), 0);

    // The tool's own key and signatures, both kinds, read by us with its public key file.
    const QString theirPub = Path("their.pub"), theirKey = Path("their.key");
    ASSERT_EQ(Minisign({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), theirPub,
                        QStringLiteral("-s"), theirKey}),
              0);
    const auto theirs = ParsePublicKey(ReadAll(theirPub));
    ASSERT_TRUE(theirs);
    for (const bool legacy : {false, true}) {
        QStringList args{QStringLiteral("-S"), QStringLiteral("-s"), theirKey, QStringLiteral("-m"), data};
        if (legacy) args << QStringLiteral("-l");
        ASSERT_EQ(Minisign(args), 0);
        EXPECT_EQ(CheckSignature(data, {}, &*theirs).state, SignatureState::Valid) << legacy;
        // Without that key nothing here vouches for it, and its comment carries none.
        EXPECT_EQ(CheckSignature(data, LoadTrustedKeys(KeyFolder())).state, SignatureState::UnknownKey);
    }
}

TEST_F(Signature, EveryDamagedOrForeignSignatureIsReportedForWhatItIs) {
    const QString other = Path("other.txt");
    WriteAll(other, "another file\n");
    const QString strangerFolder = dir.filePath(QStringLiteral("stranger"));
    const QString sig = data + kSignatureSuffix;
    const auto line = [&](int n) { return ReadAll(sig).split('\n').value(n); };
    const auto replaceLine = [&](int n, const QByteArray& with) {
        QList<QByteArray> lines = ReadAll(sig).split('\n');
        lines[n] = with;
        WriteAll(sig, lines.join('\n'));
    };
    const struct {
        const char* name;
        std::function<void()> tamper;
        SignatureState state;
        const char* detail;  // the reason's id, for the states that give one
    } cases[] = {
        {"intact", [] {}, SignatureState::Valid, ""},
        {"file changed", [&] { WriteAll(data, ReadAll(data).replace("-12,5", "-02,5")); }, SignatureState::Changed,
         "[2536]"},
        {"trusted comment changed", [&] { replaceLine(2, line(2).replace("records:2", "records:9")); },
         SignatureState::Changed, "[2537]"},
        {"for another file",
         [&] {
             Sign(other, KeyFolder());
             QFile::remove(sig);
             QFile::copy(other + kSignatureSuffix, sig);
         },
         SignatureState::Changed, "[2538]"},
        {"no signature", [&] { QFile::remove(sig); }, SignatureState::NotSigned, ""},
        {"truncated", [&] { WriteAll(sig, ReadAll(sig).left(ReadAll(sig).indexOf("\ntrusted comment: ") - 3)); },
         SignatureState::Damaged, "[2543]"},
        {"last line cut off", [&] { WriteAll(sig, ReadAll(sig).split('\n').mid(0, 3).join('\n') + '\n'); },
         SignatureState::Damaged, "[2542]"},
        {"not base64", [&] { replaceLine(1, "RU!!" + line(1).mid(4)); }, SignatureState::Damaged, "[2543]"},
        {"unknown algorithm", [&] { replaceLine(1, QByteArray::fromBase64(line(1)).replace(0, 2, "Xy").toBase64()); },
         SignatureState::Damaged, "[2544]"},
        {"comment line missing", [&] { replaceLine(0, "a comment"); }, SignatureState::Damaged, "[2545]"},
        {"empty", [&] { WriteAll(sig, {}); }, SignatureState::Damaged, "[2542]"},
        {"binary noise", [&] { WriteAll(sig, QByteArray(20000, '\xff')); }, SignatureState::Damaged, "[2547]"},
        {"another key, carried along", [&] { Sign(data, strangerFolder); }, SignatureState::Untrusted, ""},
        {"another key, not carried",
         [&] {
             Sign(data, strangerFolder);
             replaceLine(0, "untrusted comment: x");
         },
         SignatureState::UnknownKey, ""},
    };
    for (const auto& c : cases) {
        WriteAll(data, "1\t01.03.2015 08:30:00\t-12,5\t\r\n");
        ASSERT_TRUE(Sign(data, KeyFolder()).done);
        c.tamper();
        const SignatureCheck check = CheckSignature(data, LoadTrustedKeys(KeyFolder()));
        EXPECT_EQ(check.state, c.state) << c.name << ": " << check.Text().toStdString();
        EXPECT_EQ(check.detail.numbered.left(6), QString::fromLatin1(c.detail)) << c.name;
        EXPECT_EQ(check.Trusted(), c.state == SignatureState::Valid) << c.name;
        // The other file's name is what the operator reads.
        if (c.state == SignatureState::Changed && check.detail.numbered.startsWith(QStringLiteral("[2538]"))) {
            EXPECT_TRUE(check.Text().contains(QStringLiteral("other.txt"))) << check.Text().toStdString();
        }
    }
    // A key named for the check is the only one that counts.
    ASSERT_TRUE(Sign(data, KeyFolder()).done);
    const auto stranger = ParsePublicKey(ReadAll(QDir(strangerFolder).filePath(kPublicKeyFile)));
    ASSERT_TRUE(stranger);
    EXPECT_EQ(CheckSignature(data, LoadTrustedKeys(KeyFolder()), &*stranger).state, SignatureState::OtherKey);
    // Imported, the stranger's key is trusted; removed, it is not.
    ASSERT_TRUE(Sign(data, strangerFolder).done);
    QString problem;
    ASSERT_TRUE(ImportTrustedKey(KeyFolder(), ReadAll(QDir(strangerFolder).filePath(kPublicKeyFile)), &problem));
    EXPECT_EQ(CheckSignature(data, LoadTrustedKeys(KeyFolder())).state, SignatureState::Valid);
    EXPECT_FALSE(ImportTrustedKey(KeyFolder(), "RWQ not a key", &problem));
    EXPECT_TRUE(RemoveTrustedKey(KeyFolder(), stranger->id));
    EXPECT_EQ(CheckSignature(data, LoadTrustedKeys(KeyFolder())).state, SignatureState::Untrusted);
}

TEST_F(Signature, AFileThatCannotBeSignedIsSavedUnsignedAndSaysWhy) {
    ResultsStore store;
    store.serialNumber = QStringLiteral("0019A7F3");
    for (int i = 0; i < 3; ++i) store.Append(-12.5f, 40.0f, ToMoment(QDate(2015, 3, 1), QTime(8, 30 + i)));
    const QString key = QDir(KeyFolder()).filePath(kSecretKeyFile);
    ASSERT_TRUE(Sign(data, KeyFolder()).done);  // makes the key
    const struct {
        const char* name;
        std::function<void()> before;
        bool enabled;
        const char* reason;  // in the note; empty: signed, or nothing said when switched off
    } cases[] = {
        {"signed", [] {}, true, ""},
        {"others may read the key", [&] { QFile::setPermissions(key, QFile::permissions(key) | QFile::ReadOther); },
         true, "other users"},
        {"key damaged",
         [&] {
             WriteAll(key, "Quorvex secret signing key\nRWQAAA\n");
             QFile::setPermissions(key, QFile::ReadOwner | QFile::WriteOwner);
         },
         true, "damaged"},
        {"switched off", [] {}, false, ""},
    };
    for (const auto& c : cases) {
        for (const ResultsFormat format : {ResultsFormat::Text, ResultsFormat::Csv}) {
            const QString path = format == ResultsFormat::Csv ? Path("out.csv") : Path("out.txt");
            WriteAll(path + kSignatureSuffix, "a stale signature of what the file was before");
            c.before();
            const FileSigner signer(QStringLiteral("Quorvex 4.6"), KeyFolder(), c.enabled);
            const SaveResultsOutcome saved = SaveResultsFile(path, store, format, false, &signer);
            ASSERT_TRUE(saved.ok) << c.name;
            EXPECT_FALSE(ReadAll(path).isEmpty()) << c.name;
            const bool signedNow = c.enabled && std::string(c.reason).empty();
            EXPECT_EQ(saved.signature.done, signedNow) << c.name;
            // A stale signature never stays beside the new file.
            EXPECT_EQ(CheckSignature(path, LoadTrustedKeys(KeyFolder())).state,
                      signedNow ? SignatureState::Valid : SignatureState::NotSigned)
                << c.name;
            EXPECT_EQ(saved.signature.Note().isEmpty(), !c.enabled || signedNow) << c.name;
            EXPECT_TRUE(saved.signature.Note().contains(QString::fromLatin1(c.reason))) << c.name;
            if (signedNow) {
                EXPECT_TRUE(saved.signature.trustedComment.contains(" records:3 ")) << c.name;
            }
        }
    }
}

}  // namespace
}  // namespace quorvex
