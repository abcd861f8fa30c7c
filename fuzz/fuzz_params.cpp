// Feeds arbitrary poll replies to the parameter model and reads every text and
// value back, in each of the three locales; then offers the same bytes as typed
// text to every SetText. Nothing may crash, overflow or read out of bounds.
#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "params/Codecs.h"
#include "params/ParameterModel.h"

using namespace quorvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QLocale locales[] = {QLocale(QStringLiteral("pl_PL")), QLocale(QStringLiteral("en_US")),
                                      QLocale(QStringLiteral("de_DE"))};
    static ParameterModel model;  // lives as long as the program, like the real one
    if (size < 4) return 0;
    QLocale::setDefault(locales[data[0] % 3]);
    ResetDecimalSeparator();
    // Split into replies: start register (2 bytes), byte count (1 byte), data.
    std::size_t pos = 1;
    while (pos + 3 <= size) {
        const auto start = static_cast<std::uint16_t>((data[pos] << 8) | data[pos + 1]);
        std::size_t count = data[pos + 2];
        pos += 3;
        if (count > size - pos) count = size - pos;
        model.StoreRegisters(data + pos, static_cast<std::uint16_t>(start % 600), static_cast<int>(count));
        pos += count;
        for (Parameter* p : model.Parameters) {
            (void)p->GetText();
            (void)p->GetValue();
        }
    }
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    for (Parameter* p : model.Parameters) {
        p->SetText(typed);
        (void)p->GetText();
    }
    model.Param<WriteInterval>().SetValue(static_cast<int>(size * 2654435761u));
    (void)model.Param<WriteInterval>().GetText();
    if (data[0] & 0x80) model.InvalidateAll();
    return 0;
}
