#pragma once
// The signature beside a results file about to be imported into the archive. A file changed
// after signing (or whose signature cannot be read) goes in only on the operator's word, and
// its import's change-log entry says so; so does the entry of a file without a signature.
#include <QList>
#include <QString>

#include "archive/ArchiveText.h"
#include "sign/SignatureCheck.h"

namespace quorvex {

struct ImportSignature {
    SignatureCheck check;

    // Changed after signing, or the signature cannot be read: not imported unless accepted.
    bool Refused() const { return check.Alarming(); }
    // "The file F was changed after signing (…); it was not imported".
    ArchiveText Refusal(const QString& path) const;
    // What the import's change-log entry records (in English, as the change log keeps its
    // details): "signature: not signed", "signature: CHANGED after signing (…)", ….
    QString Note() const;
};

ImportSignature CheckImportSignature(const QString& path, const QList<TrustedKey>& trusted);

}  // namespace quorvex
