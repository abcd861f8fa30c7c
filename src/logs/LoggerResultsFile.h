#pragma once
// The results file an unattended download writes into a folder (the window's automatic
// download, quorvex-cli watch): named from the logger's name, serial number and the moment of
// its first record, so two loggers never share a file and a logger's later reads of the same
// log replace its own. The name and serial are data from a device; whatever they hold, the
// name stays one plain file name within the folder.
#include <QString>

#include "logs/ResultsFile.h"
#include "logs/ResultsStore.h"

namespace quorvex {

// Longest part of the file name taken from the logger's name, in characters.
constexpr int kFileNamePartLength = 48;

// "<name> <serial> <yyyy-MM-dd HH-mm-ss>" (no suffix): path separators, control characters and
// the characters other systems refuse become "_", a leading dot too (no hidden files), blanks are
// trimmed, each part is bounded, and a name without a letter or digit left becomes "Logger".
QString LoggerResultsFileName(const ResultsStore& store);

struct WrittenResults {
    bool ok = false;
    QString path;       // the file (written, or the one that could not be)
    QString errorText;  // why not, translated; empty on success
    bool folderMissing = false;
    SignOutcome signature;  // the file written: whether it was signed, and if not why
};

// Writes the whole store into `folder` under LoggerResultsFileName (with `nameTail` after it, before
// the suffix), replacing an earlier file of the same log at once and only when all of it is
// written. Every file the program writes without asking for a name goes through here; with a
// signer it is signed as every saved file is.
WrittenResults WriteLoggerResults(const QString& folder, const ResultsStore& store, ResultsFormat format,
                                  const FileSigner* signer = nullptr, bool csvDewPoint = false,
                                  const QString& nameTail = {});

}  // namespace quorvex
