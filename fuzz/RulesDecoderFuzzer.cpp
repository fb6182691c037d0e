#include "core/RulesCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = RulesCodec::decode(input);
    if (!decoded.rules)
        return decoded.error.isEmpty() ? (std::abort(), 0) : 0;

    for (const auto style : {RulesCodec::Style::Compact, RulesCodec::Style::PrettySorted}) {
        const auto again = RulesCodec::decode(RulesCodec::encode(*decoded.rules, style));
        if (!again.rules || *again.rules != *decoded.rules)
            std::abort();
    }
    return 0;
}
