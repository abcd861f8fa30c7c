#pragma once
// A write-only device in front of another that also takes the BLAKE2b-512 digest of every byte
// written, on a thread of its own: a large file is hashed while it is still being formatted, so
// signing it costs next to nothing on top of writing it, and nothing has to be read back.
#include <QByteArray>
#include <QIODevice>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quorvex {

class DigestingDevice : public QIODevice {
public:
    // `target` must be open for writing; this device opens itself.
    explicit DigestingDevice(QIODevice& target);
    ~DigestingDevice() override;

    // The digest of everything written (64 bytes); call once, after the last write.
    QByteArray Finish();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    void Hash();

    QIODevice& target_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<QByteArray> chunks_;
    bool ended_ = false;
    QByteArray digest_;
    std::thread worker_;
};

}  // namespace quorvex
