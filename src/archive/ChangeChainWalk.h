#pragma once
// The walk along the change log's chain (ChangeLog.h), one row after another in sequence order,
// whichever way the rows are read: each row's hash is computed again from the one before and
// held against the stored one, and the end against the chain's head.
#include <QByteArrayView>
#include <QList>

#include <cstdint>

#include "archive/ChangeLog.h"

struct evp_md_ctx_st;
struct evp_md_st;

namespace quorvex {

class ChangeChainWalk {
public:
    // `check` starts empty; `withRecords` gets the intact entries that name a download.
    ChangeChainWalk(ChangeLogCheck& check, QList<ChangeEntry>& withRecords);
    ~ChangeChainWalk();
    ChangeChainWalk(const ChangeChainWalk&) = delete;
    ChangeChainWalk& operator=(const ChangeChainWalk&) = delete;

    // One row: its number, stored hash (hex) and canonical bytes; `records` gives the download
    // it names (download, first, last, fingerprint), asked only of an intact row.
    template <typename Records>
    void Row(std::int64_t seq, QByteArrayView storedHash, QByteArrayView canonical, const Records& records) {
        if (!Holds(seq, storedHash, canonical)) return;
        ChangeEntry e;
        e.sequence = seq;
        records(e);
        if (e.download != 0) withRecords_.push_back(e);
    }

    // Against the head (the last entry appended, 0 for none): entries missing from the end show here.
    void Head(std::int64_t last, QByteArrayView lastHash);

private:
    // Counts the row; whether the chain still holds with it.
    bool Holds(std::int64_t seq, QByteArrayView storedHash, QByteArrayView canonical);
    bool SameHash(QByteArrayView hex) const;
    void Broken(std::int64_t at);

    ChangeLogCheck& check_;
    QList<ChangeEntry>& withRecords_;
    evp_md_ctx_st* context_;
    evp_md_st* sha256_;
    unsigned char previous_[32] = {};  // the hash of the last row that held
    std::int64_t expected_ = 1;        // the next row's number
};

}  // namespace quorvex
