#include "hid/ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace hid {

namespace {

// Item types and tags of the short items.
enum : uint8_t { kTypeMain = 0, kTypeGlobal = 1, kTypeLocal = 2 };
enum : uint8_t {
    kMainInput = 0x8,
    kMainOutput = 0x9,
    kMainCollection = 0xA,
    kMainFeature = 0xB,
    kMainEndCollection = 0xC,
};
enum : uint8_t {
    kGlobalUsagePage = 0x0,
    kGlobalLogicalMin = 0x1,
    kGlobalLogicalMax = 0x2,
    kGlobalPhysicalMin = 0x3,
    kGlobalPhysicalMax = 0x4,
    kGlobalUnitExponent = 0x5,
    kGlobalUnit = 0x6,
    kGlobalReportSize = 0x7,
    kGlobalReportId = 0x8,
    kGlobalReportCount = 0x9,
    kGlobalPush = 0xA,
    kGlobalPop = 0xB,
};
enum : uint8_t { kLocalUsage = 0x0, kLocalUsageMin = 0x1, kLocalUsageMax = 0x2 };
constexpr uint8_t kLongItemPrefix = 0xFE;

// Main item flag bits.
constexpr uint32_t kFlagConstant = 0x01;
constexpr uint32_t kFlagVariable = 0x02;
constexpr uint32_t kFlagRelative = 0x04;
constexpr uint32_t kFlagNullState = 0x40;

constexpr uint32_t kMaxDataBitSize = 32;
constexpr uint64_t kMaxReportBits = (kMaxReportBytes - 1) * 8;
// Data elements over all main items; bounds the decoding tables and loops.
constexpr uint64_t kMaxDataElements = 1u << 16;

// A number as written in an item: both readings, because whether a maximum
// is signed depends on its minimum.
struct ItemNumber {
    int64_t asSigned = 0;
    uint32_t asUnsigned = 0;
};

struct GlobalState {
    uint16_t usagePage = 0;
    ItemNumber logicalMin, logicalMax, physicalMin, physicalMax;
    uint32_t unit = 0;
    int8_t unitExponent = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// Usages of the local state: a single usage or a range, each either
// extended (page written with it) or on the global page of the main item.
struct UsageSpan {
    bool extended = false;
    uint16_t page = 0;
    uint16_t first = 0;
    uint16_t last = 0;
    uint32_t Size() const { return uint32_t(last - first) + 1; }
};

struct LocalState {
    std::vector<UsageSpan> spans;
    bool haveMin = false;
    uint32_t minValue = 0;
    bool minExtended = false;
};

struct Item {
    uint8_t type = 0;
    uint8_t tag = 0;
    uint8_t size = 0;
    ItemNumber number;
};

// The range of a global pair: a maximum is signed when the minimum is negative.
void ResolveRange(const ItemNumber& min, const ItemNumber& max, int32_t& outMin, int32_t& outMax) {
    const int64_t lo = min.asSigned;
    int64_t hi = lo < 0 ? max.asSigned : int64_t(max.asUnsigned);
    if (hi > INT32_MAX) hi = max.asSigned;  // a 4-byte value with the top bit set
    outMin = int32_t(lo);
    outMax = int32_t(hi);
}

class Parser {
  public:
    Parser(const uint8_t* data, size_t len) : data_(data), len_(len) {}

    bool Run(ParsedDescriptor& out, std::string& error);

  private:
    bool Fail(const std::string& why) {
        char where[48];
        std::snprintf(where, sizeof where, " at byte %zu", itemStart_);
        error_ = why + where;
        return false;
    }

    bool NextItem(Item& item);
    bool HandleMain(const Item& item);
    bool HandleGlobal(const Item& item);
    bool HandleLocal(const Item& item);
    bool OpenCollection();
    bool AddField(ReportType type, uint32_t flags);
    bool AddArrayCap(HidCapability cap, const std::vector<UsageSpan>& spans);
    bool AddVariableCaps(const HidCapability& base, const std::vector<UsageSpan>& spans);
    bool PushCap(HidCapability cap);
    std::vector<UsageSpan> ResolvedSpans() const;
    bool Finish(ParsedDescriptor& out);

    const uint8_t* data_;
    size_t len_;
    size_t pos_ = 0;
    size_t itemStart_ = 0;
    std::string error_;

    GlobalState global_;
    std::vector<GlobalState> stack_;
    LocalState local_;
    size_t depth_ = 0;
    bool usesReportIds_ = false;
    bool fieldWithoutId_ = false;
    size_t capCount_ = 0;
    uint64_t dataElements_ = 0;
    std::vector<HidCollectionInfo> collections_;
    // Bits laid out so far per report type and report ID.
    std::array<std::array<uint32_t, 256>, kReportTypeCount> bits_{};
};

bool Parser::NextItem(Item& item) {
    itemStart_ = pos_;
    const uint8_t prefix = data_[pos_++];
    if (prefix == kLongItemPrefix) {
        if (len_ - pos_ < 2) return Fail("truncated long item");
        const size_t dataSize = data_[pos_];
        pos_ += 2;
        if (len_ - pos_ < dataSize) return Fail("truncated long item");
        pos_ += dataSize;
        item.type = 0xFF;  // skipped by the caller
        return true;
    }
    static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
    item.size = kSizes[prefix & 0x3];
    item.type = (prefix >> 2) & 0x3;
    item.tag = prefix >> 4;
    if (len_ - pos_ < item.size) return Fail("truncated item");
    uint32_t u = 0;
    for (uint8_t i = 0; i < item.size; ++i)
        u |= uint32_t(data_[pos_ + i]) << (8 * i);
    pos_ += item.size;
    item.number.asUnsigned = u;
    switch (item.size) {
        case 1:
            item.number.asSigned = int8_t(u);
            break;
        case 2:
            item.number.asSigned = int16_t(u);
            break;
        case 4:
            item.number.asSigned = int32_t(u);
            break;
        default:
            item.number.asSigned = 0;
            break;
    }
    return true;
}

bool Parser::Run(ParsedDescriptor& out, std::string& error) {
    bool ok = true;
    if (data_ == nullptr || len_ == 0) {
        ok = Fail("empty descriptor");
    } else if (len_ > kMaxDescriptorBytes) {
        ok = Fail("descriptor longer than " + std::to_string(kMaxDescriptorBytes) + " bytes");
    }
    while (ok && pos_ < len_) {
        Item item;
        ok = NextItem(item);
        if (!ok || item.type == 0xFF) continue;
        switch (item.type) {
            case kTypeMain:
                ok = HandleMain(item);
                break;
            case kTypeGlobal:
                ok = HandleGlobal(item);
                break;
            case kTypeLocal:
                ok = HandleLocal(item);
                break;
            default:
                ok = Fail("reserved item type");
                break;
        }
    }
    if (ok) {
        itemStart_ = len_;
        ok = Finish(out);
    }
    if (!ok) {
        out = ParsedDescriptor{};
        error = error_;
    }
    return ok;
}

bool Parser::HandleMain(const Item& item) {
    bool ok = true;
    switch (item.tag) {
        case kMainInput:
            ok = AddField(ReportType::Input, item.number.asUnsigned);
            break;
        case kMainOutput:
            ok = AddField(ReportType::Output, item.number.asUnsigned);
            break;
        case kMainFeature:
            ok = AddField(ReportType::Feature, item.number.asUnsigned);
            break;
        case kMainCollection:
            ok = OpenCollection();
            break;
        case kMainEndCollection:
            if (depth_ == 0) return Fail("End Collection without Collection");
            --depth_;
            break;
        default:
            return Fail("reserved main item");
    }
    local_ = LocalState{};
    return ok;
}

bool Parser::HandleGlobal(const Item& item) {
    const ItemNumber& n = item.number;
    switch (item.tag) {
        case kGlobalUsagePage:
            if (n.asUnsigned > 0xFFFF) return Fail("usage page out of range");
            global_.usagePage = uint16_t(n.asUnsigned);
            break;
        case kGlobalLogicalMin:
            global_.logicalMin = n;
            break;
        case kGlobalLogicalMax:
            global_.logicalMax = n;
            break;
        case kGlobalPhysicalMin:
            global_.physicalMin = n;
            break;
        case kGlobalPhysicalMax:
            global_.physicalMax = n;
            break;
        case kGlobalUnitExponent: {
            const int v = int(n.asUnsigned & 0xF);
            global_.unitExponent = int8_t(v >= 8 ? v - 16 : v);
            break;
        }
        case kGlobalUnit:
            global_.unit = n.asUnsigned;
            break;
        case kGlobalReportSize:
            global_.reportSize = n.asUnsigned;
            break;
        case kGlobalReportCount:
            global_.reportCount = n.asUnsigned;
            break;
        case kGlobalReportId:
            if (n.asUnsigned == 0 || n.asUnsigned > 255) return Fail("report ID out of range");
            global_.reportId = uint8_t(n.asUnsigned);
            usesReportIds_ = true;
            break;
        case kGlobalPush:
            if (stack_.size() >= kMaxGlobalStack) return Fail("Push nested too deep");
            stack_.push_back(global_);
            break;
        case kGlobalPop:
            if (stack_.empty()) return Fail("Pop without Push");
            global_ = stack_.back();
            stack_.pop_back();
            break;
        default:
            break;  // reserved global items carry nothing we use
    }
    return true;
}

bool Parser::HandleLocal(const Item& item) {
    const uint32_t v = item.number.asUnsigned;
    const bool extended = item.size == 4;
    auto span = [&](uint32_t first, uint32_t last) {
        if (local_.spans.size() >= kMaxLocalUsages) return Fail("too many usages");
        UsageSpan s;
        s.extended = extended;
        s.page = uint16_t(first >> 16);
        s.first = uint16_t(first);
        s.last = uint16_t(last);
        local_.spans.push_back(s);
        return true;
    };
    switch (item.tag) {
        case kLocalUsage:
            return span(v, v);
        case kLocalUsageMin:
            local_.haveMin = true;
            local_.minValue = v;
            local_.minExtended = extended;
            return true;
        case kLocalUsageMax: {
            if (!local_.haveMin) return Fail("Usage Maximum without Usage Minimum");
            const uint32_t first =
                local_.minExtended ? local_.minValue
                                   : (local_.minValue & 0xFFFF) | (extended ? v & 0xFFFF0000u : 0);
            const uint32_t last = extended ? v : ((first & 0xFFFF0000u) | (v & 0xFFFF));
            local_.haveMin = false;
            if ((first >> 16) != (last >> 16) || (last & 0xFFFF) < (first & 0xFFFF)) {
                return Fail("bad usage range");
            }
            const bool wasExtended = local_.minExtended || extended;
            if (!span(first, last)) return false;
            local_.spans.back().extended = wasExtended;
            return true;
        }
        default:
            return true;  // designators, strings, delimiters: not used
    }
}

std::vector<UsageSpan> Parser::ResolvedSpans() const {
    std::vector<UsageSpan> spans = local_.spans;
    for (UsageSpan& s : spans) {
        if (!s.extended) s.page = global_.usagePage;
    }
    return spans;
}

bool Parser::OpenCollection() {
    if (depth_ >= kMaxCollectionDepth) return Fail("collections nested too deep");
    if (depth_ == 0) {
        if (collections_.size() >= kMaxCollections) return Fail("too many top-level collections");
        HidCollectionInfo c;
        const auto spans = ResolvedSpans();
        c.usagePage = spans.empty() ? global_.usagePage : spans.front().page;
        c.usage = spans.empty() ? 0 : spans.front().first;
        collections_.push_back(std::move(c));
    }
    ++depth_;
    return true;
}

bool Parser::AddField(ReportType type, uint32_t flags) {
    if (depth_ == 0) return Fail("report field outside a collection");
    const uint64_t size = global_.reportSize;
    const uint64_t count = global_.reportCount;
    const bool constant = (flags & kFlagConstant) != 0;
    if (!constant && count > 0 && (size == 0 || size > kMaxDataBitSize)) {
        return Fail("report size of a data field out of range");
    }
    const uint64_t fieldBits = size * count;
    uint32_t& laid = bits_[size_t(type)][global_.reportId];
    if (fieldBits > kMaxReportBits || laid + fieldBits > kMaxReportBits) {
        return Fail("report longer than " + std::to_string(kMaxReportBytes) + " bytes");
    }
    const uint32_t offset = laid;
    laid += uint32_t(fieldBits);
    if (!usesReportIds_) fieldWithoutId_ = true;

    HidCollectionInfo& c = collections_.back();
    if (std::find(c.reportIds.begin(), c.reportIds.end(), global_.reportId) == c.reportIds.end()) {
        c.reportIds.push_back(global_.reportId);
    }
    if (constant || fieldBits == 0) return true;  // padding takes room, has no usages

    dataElements_ += count;
    if (dataElements_ > kMaxDataElements) return Fail("too many report fields");
    HidCapability cap;
    cap.type = type;
    cap.isArray = (flags & kFlagVariable) == 0;
    cap.isButton = cap.isArray || size == 1;
    cap.isAbsolute = (flags & kFlagRelative) == 0;
    cap.hasNull = (flags & kFlagNullState) != 0;
    cap.reportId = global_.reportId;
    cap.bitOffset = 8 + offset;
    cap.bitSize = uint16_t(size);
    cap.reportCount = uint16_t(count);
    ResolveRange(global_.logicalMin, global_.logicalMax, cap.logicalMin, cap.logicalMax);
    ResolveRange(global_.physicalMin, global_.physicalMax, cap.physicalMin, cap.physicalMax);
    cap.units = global_.unit;
    cap.unitExponent = global_.unitExponent;
    const auto spans = ResolvedSpans();
    return cap.isArray ? AddArrayCap(std::move(cap), spans) : AddVariableCaps(cap, spans);
}

bool Parser::PushCap(HidCapability cap) {
    if (++capCount_ > kMaxCapabilities) return Fail("too many capabilities");
    collections_.back().caps.push_back(std::move(cap));
    return true;
}

// An array field: its elements hold indexes into the usages declared for it.
bool Parser::AddArrayCap(HidCapability cap, const std::vector<UsageSpan>& spans) {
    cap.usagePage = spans.empty() ? global_.usagePage : spans.front().page;
    if (spans.size() == 1) {
        cap.isRange = spans[0].first != spans[0].last;
        cap.usageMin = spans[0].first;
        cap.usageMax = spans[0].last;
    } else if (spans.size() > 1) {
        uint64_t total = 0;
        for (const UsageSpan& s : spans)
            total += s.Size();
        if (total > kMaxArrayUsages) return Fail("too many usages in an array field");
        for (const UsageSpan& s : spans) {
            for (uint32_t u = s.first; u <= s.last; ++u)
                cap.usageTable.push_back(uint16_t(u));
        }
        const auto [lo, hi] = std::minmax_element(cap.usageTable.begin(), cap.usageTable.end());
        cap.usageMin = *lo;
        cap.usageMax = *hi;
    }
    return PushCap(std::move(cap));
}

// A variable field: element i takes the i-th declared usage, the last usage
// repeating when there are more elements than usages. Each span of usages
// becomes one capability.
bool Parser::AddVariableCaps(const HidCapability& base, const std::vector<UsageSpan>& spans) {
    uint32_t remaining = base.reportCount;
    uint32_t element = 0;
    auto emit = [&](uint16_t page, uint16_t first, uint32_t elements, bool range) {
        HidCapability cap = base;
        cap.usagePage = page;
        cap.isRange = range && elements > 1;
        cap.usageMin = first;
        cap.usageMax = cap.isRange ? uint16_t(first + elements - 1) : first;
        cap.reportCount = uint16_t(elements);
        cap.bitOffset = base.bitOffset + element * base.bitSize;
        element += elements;
        remaining -= elements;
        return PushCap(std::move(cap));
    };
    for (size_t i = 0; i < spans.size() && remaining > 0; ++i) {
        const UsageSpan& s = spans[i];
        // A single last usage covers every remaining element (a value array).
        const bool lastSingle = i + 1 == spans.size() && s.first == s.last;
        const uint32_t take = lastSingle ? remaining : std::min(remaining, s.Size());
        if (!emit(s.page, s.first, take, !lastSingle)) return false;
    }
    if (remaining > 0) {
        // More elements than usages: the last usage (or usage 0) repeats.
        const uint16_t page = spans.empty() ? global_.usagePage : spans.back().page;
        const uint16_t usage = spans.empty() ? 0 : spans.back().last;
        if (!emit(page, usage, remaining, false)) return false;
    }
    return true;
}

bool Parser::Finish(ParsedDescriptor& out) {
    if (depth_ != 0) return Fail("collection not closed");
    if (collections_.empty()) return Fail("no top-level collection");
    if (usesReportIds_ && fieldWithoutId_) return Fail("report field without a report ID");
    for (HidCollectionInfo& c : collections_) {
        std::sort(c.reportIds.begin(), c.reportIds.end());
        for (size_t t = 0; t < kReportTypeCount; ++t) {
            uint32_t longest = 0;
            for (uint8_t id : c.reportIds)
                longest = std::max(longest, bits_[t][id]);
            c.reportBytes[t] = longest == 0 ? 0 : uint16_t(1 + (longest + 7) / 8);
        }
    }
    out.usesReportIds = usesReportIds_;
    out.collections = std::move(collections_);
    return true;
}

// ---- decoding ----

bool Matches(const HidCapability& cap, ReportType type, bool button, uint16_t page) {
    return cap.type == type && cap.isButton == button && (page == 0 || cap.usagePage == page);
}

int64_t SignExtend(uint32_t raw, uint16_t bits) {
    if (bits == 0 || bits >= 32) return int32_t(raw);
    const uint32_t sign = 1u << (bits - 1);
    return int64_t(int32_t((raw ^ sign) - sign));
}

// The element value of a field, signed when its logical minimum is negative.
int64_t LogicalValue(const HidCapability& cap, uint32_t raw) {
    return cap.logicalMin < 0 ? SignExtend(raw, cap.bitSize) : int64_t(raw);
}

// The usage an array element selects, or 0 for none.
uint16_t ArrayUsage(const HidCapability& cap, uint32_t raw) {
    const int64_t v = LogicalValue(cap, raw);
    if (v < cap.logicalMin || v > cap.logicalMax) return 0;
    const uint64_t index = uint64_t(v - cap.logicalMin);
    if (!cap.usageTable.empty()) return index < cap.usageTable.size() ? cap.usageTable[index] : 0;
    if (index > uint64_t(cap.usageMax - cap.usageMin)) return 0;
    return uint16_t(cap.usageMin + index);
}

// Finds the value capability of a usage in the report's ID.
HidStatus FindValueCap(const HidCollectionInfo& c, ReportType type, uint16_t page, uint16_t usage,
                       uint8_t reportId, const HidCapability*& found) {
    bool otherId = false;
    for (const HidCapability& cap : c.caps) {
        if (!Matches(cap, type, false, page) || usage < cap.usageMin || usage > cap.usageMax) {
            continue;
        }
        if (cap.reportId != reportId) {
            otherId = true;
            continue;
        }
        found = &cap;
        return kHidStatusSuccess;
    }
    return otherId ? kHidStatusIncompatibleReportId : kHidStatusUsageNotFound;
}

}  // namespace

bool HidCollectionInfo::HasReportId(uint8_t id) const {
    return std::find(reportIds.begin(), reportIds.end(), id) != reportIds.end();
}

size_t HidCollectionInfo::CountCaps(ReportType t, bool buttons) const {
    return size_t(std::count_if(caps.begin(), caps.end(), [&](const HidCapability& cap) {
        return cap.type == t && cap.isButton == buttons;
    }));
}

bool ParseReportDescriptor(const uint8_t* data, size_t len, ParsedDescriptor& out,
                           std::string* error) {
    std::string why;
    Parser parser(data, len);
    const bool ok = parser.Run(out, why);
    if (!ok && error) *error = why;
    return ok;
}

bool ReadReportBits(const uint8_t* report, size_t len, uint32_t bitOffset, uint16_t bitSize,
                    uint32_t& out) {
    out = 0;
    if (report == nullptr || bitSize == 0 || bitSize > 32) return false;
    if (uint64_t(bitOffset) + bitSize > uint64_t(len) * 8) return false;
    const size_t first = bitOffset / 8;
    const unsigned shift = bitOffset % 8;
    const size_t bytes = (shift + bitSize + 7) / 8;  // at most 5
    uint64_t acc = 0;
    for (size_t i = 0; i < bytes; ++i)
        acc |= uint64_t(report[first + i]) << (8 * i);
    acc >>= shift;
    out = uint32_t(bitSize == 32 ? acc : acc & ((uint64_t(1) << bitSize) - 1));
    return true;
}

uint32_t MaxUsageListLength(const HidCollectionInfo& c, ReportType type, uint16_t usagePage) {
    uint32_t total = 0;
    for (const HidCapability& cap : c.caps) {
        if (Matches(cap, type, true, usagePage)) total += cap.reportCount;
    }
    return total;
}

HidStatus GetUsages(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                    const uint8_t* report, size_t len, std::vector<uint16_t>& usages) {
    usages.clear();
    if (report == nullptr || len == 0) return kHidStatusInvalidReportLength;
    bool anyCap = false;
    bool sameId = false;
    for (const HidCapability& cap : c.caps) {
        if (!Matches(cap, type, true, usagePage)) continue;
        anyCap = true;
        if (cap.reportId != report[0]) continue;
        sameId = true;
        for (uint32_t e = 0; e < cap.reportCount; ++e) {
            uint32_t raw = 0;
            if (!ReadReportBits(report, len, cap.bitOffset + e * cap.bitSize, cap.bitSize, raw)) {
                usages.clear();
                return kHidStatusInvalidReportLength;
            }
            if (cap.isArray) {
                const uint16_t u = ArrayUsage(cap, raw);
                if (u != 0) usages.push_back(u);
            } else if (raw != 0) {
                usages.push_back(cap.isRange ? uint16_t(cap.usageMin + e) : cap.usageMin);
            }
        }
    }
    if (!anyCap) return kHidStatusUsageNotFound;
    return sameId ? kHidStatusSuccess : kHidStatusIncompatibleReportId;
}

HidStatus GetUsageValue(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                        uint16_t usage, const uint8_t* report, size_t len, uint32_t& value) {
    value = 0;
    if (report == nullptr || len == 0) return kHidStatusInvalidReportLength;
    const HidCapability* cap = nullptr;
    const HidStatus st = FindValueCap(c, type, usagePage, usage, report[0], cap);
    if (st != kHidStatusSuccess) return st;
    const uint32_t element = cap->isRange ? uint32_t(usage - cap->usageMin) : 0;
    if (!ReadReportBits(report, len, cap->bitOffset + element * cap->bitSize, cap->bitSize,
                        value)) {
        return kHidStatusInvalidReportLength;
    }
    return kHidStatusSuccess;
}

HidStatus GetScaledUsageValue(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                              uint16_t usage, const uint8_t* report, size_t len, int32_t& value) {
    value = 0;
    uint32_t raw = 0;
    const HidStatus st = GetUsageValue(c, type, usagePage, usage, report, len, raw);
    if (st != kHidStatusSuccess) return st;
    const HidCapability* cap = nullptr;
    FindValueCap(c, type, usagePage, usage, report[0], cap);
    const int64_t lmin = cap->logicalMin, lmax = cap->logicalMax;
    if (lmin >= lmax) return kHidStatusBadLogPhyValues;
    int64_t pmin = cap->physicalMin, pmax = cap->physicalMax;
    if (pmin == 0 && pmax == 0) {
        pmin = lmin;
        pmax = lmax;
    }
    if (pmin >= pmax) return kHidStatusBadLogPhyValues;
    const int64_t v = LogicalValue(*cap, raw);
    if (v < lmin || v > lmax) return cap->hasNull ? kHidStatusNull : kHidStatusValueOutOfRange;
    value = int32_t(pmin + (v - lmin) * (pmax - pmin) / (lmax - lmin));
    return kHidStatusSuccess;
}

}  // namespace hid
