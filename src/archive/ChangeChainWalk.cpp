#include "archive/ChangeChainWalk.h"

#include <openssl/evp.h>

namespace quorvex {

ChangeChainWalk::ChangeChainWalk(ChangeLogCheck& check, QList<ChangeEntry>& withRecords)
    : check_(check),
      withRecords_(withRecords),
      context_(EVP_MD_CTX_new()),
      sha256_(EVP_MD_fetch(nullptr, "SHA256", nullptr)) {
    check_ = {};
}

ChangeChainWalk::~ChangeChainWalk() {
    EVP_MD_free(sha256_);
    EVP_MD_CTX_free(context_);
}

bool ChangeChainWalk::Holds(std::int64_t seq, QByteArrayView storedHash, QByteArrayView canonical) {
    ++check_.entries;
    if (!check_.Intact()) return false;
    // A missing number is an entry removed; one out of place reads as changed.
    if (seq != expected_) {
        Broken(expected_);
        return false;
    }
    // OpenSSL's SHA-256 uses the processor's SHA instructions: a long chain is checked in a
    // fraction of the time QCryptographicHash takes.
    unsigned int length = 0;
    if (!context_ || !sha256_ || !EVP_DigestInit_ex2(context_, sha256_, nullptr) ||
        !EVP_DigestUpdate(context_, previous_, sizeof previous_) ||
        !EVP_DigestUpdate(context_, canonical.data(), static_cast<std::size_t>(canonical.size())) ||
        !EVP_DigestFinal_ex(context_, previous_, &length) || !SameHash(storedHash)) {
        Broken(seq);
        return false;
    }
    ++expected_;
    return true;
}

void ChangeChainWalk::Head(std::int64_t last, QByteArrayView lastHash) {
    if (!check_.Intact()) return;
    const std::int64_t found = expected_ - 1;
    if (last > found)
        Broken(expected_);  // removed from the end
    else if (last < found)
        Broken(last + 1);  // added behind the program's back
    else if (last > 0 && !SameHash(lastHash))
        Broken(last);
}

// The stored hash is 64 lower-case hex digits of the hash just computed.
bool ChangeChainWalk::SameHash(QByteArrayView hex) const {
    static constexpr char kDigits[] = "0123456789abcdef";
    if (hex.size() != 2 * static_cast<qsizetype>(sizeof previous_)) return false;
    for (std::size_t i = 0; i < sizeof previous_; ++i)
        if (hex[2 * i] != kDigits[previous_[i] >> 4] || hex[2 * i + 1] != kDigits[previous_[i] & 15]) return false;
    return true;
}

void ChangeChainWalk::Broken(std::int64_t at) {
    check_.fault = ChangeLogCheck::Fault::Changed;
    check_.brokenAt = at;
}

}  // namespace quorvex
