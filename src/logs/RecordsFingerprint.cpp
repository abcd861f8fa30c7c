#include "logs/RecordsFingerprint.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QtEndian>

#include <cmath>
#include <cstdint>

namespace quorvex {

QString RecordsFingerprint(const ResultsStore& store) {
    constexpr qsizetype kRecordBytes = 20;
    constexpr qsizetype kChunk = kRecordBytes * 4096;
    const bool humidity = store.HasHumidity();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray chunk(kChunk, Qt::Uninitialized);
    qsizetype used = 0;
    std::uint32_t number = 0;
    const auto tenths = [](float value) {
        return static_cast<std::int32_t>(std::lround(static_cast<double>(value) * 10.0));
    };
    if (store.Count() > 0) {
        store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
            auto* out = reinterpret_cast<uchar*>(chunk.data() + used);
            qToBigEndian<std::uint32_t>(++number, out);
            qToBigEndian<std::int64_t>(std::llround(r.time * 86'400'000.0), out + 4);
            qToBigEndian<std::int32_t>(tenths(r.temperature), out + 12);
            qToBigEndian<std::int32_t>(humidity ? tenths(r.humidity) : 0, out + 16);
            used += kRecordBytes;
            if (used == kChunk) {
                hash.addData(QByteArrayView(chunk.constData(), used));
                used = 0;
            }
        });
    }
    hash.addData(QByteArrayView(chunk.constData(), used));
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace quorvex
