#include "sign/DigestingDevice.h"

#include <sodium.h>

#include "sign/SigningKey.h"

namespace quorvex {

DigestingDevice::DigestingDevice(QIODevice& target) : target_(target) {
    SodiumReady();
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    worker_ = std::thread([this] { Hash(); });
}

DigestingDevice::~DigestingDevice() { Finish(); }

qint64 DigestingDevice::writeData(const char* data, qint64 size) {
    const qint64 written = target_.write(data, size);
    if (written != size) {
        setErrorString(target_.errorString());
        return -1;
    }
    {
        const std::lock_guard lock(mutex_);
        chunks_.emplace_back(data, static_cast<qsizetype>(size));
    }
    ready_.notify_one();
    return written;
}

void DigestingDevice::Hash() {
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    for (;;) {
        QByteArray chunk;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return ended_ || !chunks_.empty(); });
            if (chunks_.empty()) break;
            chunk = std::move(chunks_.front());
            chunks_.pop_front();
        }
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(chunk.constData()),
                                  static_cast<unsigned long long>(chunk.size()));
    }
    digest_.resize(crypto_generichash_BYTES_MAX);
    crypto_generichash_final(&state, reinterpret_cast<unsigned char*>(digest_.data()), crypto_generichash_BYTES_MAX);
}

QByteArray DigestingDevice::Finish() {
    if (worker_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        ready_.notify_one();
        worker_.join();
    }
    return digest_;
}

}  // namespace quorvex
