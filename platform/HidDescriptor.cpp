#include "platform/HidDescriptor.h"

#include <QMap>
#include <algorithm>

namespace platform {

namespace {

struct GlobalState
{
    uint16_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

struct TlcBuilder
{
    HidTlc tlc;
    // bits per report id, per main item type (0 input, 1 output, 2 feature)
    QMap<uint8_t, uint64_t> bits[3];
};

constexpr uint64_t kMaxReportBits = 65536ull * 8ull; // far beyond any real report

int LengthOf(const QMap<uint8_t, uint64_t> &bits)
{
    if (bits.isEmpty())
        return 0;
    uint64_t most = 0;
    for (auto it = bits.cbegin(); it != bits.cend(); ++it)
        most = std::max(most, it.value());
    return static_cast<int>((most + 7) / 8) + 1;
}

QVector<uint8_t> IdsOf(const QMap<uint8_t, uint64_t> &bits, bool usesIds)
{
    QVector<uint8_t> ids;
    if (!usesIds)
        return ids;
    for (auto it = bits.cbegin(); it != bits.cend(); ++it)
        ids.append(it.key());
    return ids; // QMap keys are ascending
}

} // namespace

QVector<HidTlc> ParseReportDescriptor(const QByteArray &descriptor, bool *ok)
{
    QVector<HidTlc> result;
    auto fail = [&]() {
        if (ok)
            *ok = false;
        return QVector<HidTlc>();
    };
    if (ok)
        *ok = true;
    if (descriptor.isEmpty())
        return fail();

    const auto *bytes = reinterpret_cast<const uint8_t *>(descriptor.constData());
    const int size = descriptor.size();
    GlobalState global;
    QVector<GlobalState> stack;
    uint32_t lastUsage = 0;
    bool lastUsageHasPage = false;
    int depth = 0;
    bool usesIds = false;
    TlcBuilder current;
    QVector<TlcBuilder> built;

    int pos = 0;
    while (pos < size) {
        const uint8_t prefix = bytes[pos++];
        if (prefix == 0xFE) { // long item: [0xFE][size][tag][data...]
            if (pos + 2 > size)
                return fail();
            const int dataSize = bytes[pos];
            pos += 2;
            if (pos + dataSize > size)
                return fail();
            pos += dataSize;
            continue;
        }
        int dataSize = prefix & 0x03;
        if (dataSize == 3)
            dataSize = 4;
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (pos + dataSize > size)
            return fail(); // truncated item
        uint32_t value = 0;
        for (int i = 0; i < dataSize; ++i)
            value |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
        pos += dataSize;

        if (type == 0) { // main
            switch (tag) {
            case 0x8:  // Input
            case 0x9:  // Output
            case 0xB: { // Feature
                if (depth == 0)
                    return fail();
                const int which = tag == 0x8 ? 0 : (tag == 0x9 ? 1 : 2);
                const uint64_t add = static_cast<uint64_t>(global.reportSize) * global.reportCount;
                uint64_t &total = current.bits[which][global.reportId];
                total += add;
                if (add > kMaxReportBits || total > kMaxReportBits)
                    return fail();
                break;
            }
            case 0xA: // Collection
                if (depth == 0) {
                    current = TlcBuilder();
                    current.tlc.usagePage = lastUsageHasPage ? static_cast<uint16_t>(lastUsage >> 16)
                                                             : global.usagePage;
                    current.tlc.usage = static_cast<uint16_t>(lastUsage & 0xFFFF);
                }
                ++depth;
                if (depth > 64)
                    return fail();
                break;
            case 0xC: // End Collection
                if (depth == 0)
                    return fail();
                --depth;
                if (depth == 0)
                    built.append(current);
                break;
            default:
                return fail();
            }
            lastUsage = 0;
            lastUsageHasPage = false;
        } else if (type == 1) { // global
            switch (tag) {
            case 0x0: global.usagePage = static_cast<uint16_t>(value); break;
            case 0x7: global.reportSize = value; break;
            case 0x8:
                if (value == 0 || value > 255)
                    return fail();
                global.reportId = static_cast<uint8_t>(value);
                usesIds = true;
                break;
            case 0x9: global.reportCount = value; break;
            case 0xA: stack.append(global); if (stack.size() > 32) return fail(); break;
            case 0xB:
                if (stack.isEmpty())
                    return fail();
                global = stack.takeLast();
                break;
            default: break; // logical/physical extents, unit, exponent
            }
            if (global.reportSize > 0xFFFF || global.reportCount > 0xFFFF)
                return fail();
        } else if (type == 2) { // local
            if (tag == 0x0) {
                lastUsage = value;
                lastUsageHasPage = dataSize == 4;
            }
        } else {
            return fail(); // reserved item type
        }
    }
    if (depth != 0 || built.isEmpty())
        return fail();

    for (TlcBuilder &b : built) {
        // Report id 0 stands for "no id" only when the descriptor declares none.
        if (usesIds) {
            for (auto &m : b.bits)
                if (m.contains(0) && m.value(0) == 0)
                    m.remove(0);
        }
        HidTlc tlc = b.tlc;
        tlc.usesReportIds = usesIds;
        tlc.inputLength = LengthOf(b.bits[0]);
        tlc.outputLength = LengthOf(b.bits[1]);
        tlc.featureLength = LengthOf(b.bits[2]);
        tlc.inputIds = IdsOf(b.bits[0], usesIds);
        tlc.outputIds = IdsOf(b.bits[1], usesIds);
        tlc.featureIds = IdsOf(b.bits[2], usesIds);
        result.append(tlc);
    }
    return result;
}

} // namespace platform
