#pragma once
// Texts of a long results file repeat: days change rarely, times of day and
// values come from a small set. The file writers format each text once and
// reuse its bytes.
#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace quorvex {

class TextCache {
public:
    static constexpr qsizetype kLimit = 100000;  // distinct texts kept

    template <class Make>
    const QByteArray& Get(qint64 key, Make make) {
        auto it = texts_.constFind(key);
        if (it != texts_.constEnd()) return *it;
        if (texts_.size() >= kLimit) texts_.clear();
        // Formatters give QString (stored as UTF-8) or the bytes themselves.
        if constexpr (std::is_same_v<decltype(make()), QString>)
            return *texts_.insert(key, make().toUtf8());
        else
            return *texts_.insert(key, make());
    }

private:
    QHash<qint64, QByteArray> texts_;
};

// A key for a float value: its bits.
inline qint64 FloatKey(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace quorvex
