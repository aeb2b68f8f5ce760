// The simulated data-exchange library: an in-memory tag store behind the 31 functions of
// Tembrix3, with a control interface for tests and the bench. Statuses: tembrix3_control.h.
#include "standins/tembrix3/tembrix3_control.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "dataexchange/tembrix3.h"

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kWordOnByte = -2000;
constexpr int32_t kNoSuchTag = -2001;
constexpr int32_t kWrongType = -2002;
constexpr int32_t kOutOfRange = -2003;
constexpr int32_t kNotActive = -2004;
constexpr int32_t kDeactivated = -2005;
constexpr int32_t kWrongShape = -2006;
constexpr int32_t kRemoved = -2007;
constexpr int32_t kTextTooLong = -2008;
constexpr int32_t kNoDataDirectory = -2009;
constexpr int32_t kBadDefinition = -2010;

constexpr int32_t kMaxElements = 65536;
constexpr size_t kLogLimit = 4096;
constexpr int32_t kTextLimit = static_cast<int32_t>(sizeof(SimValue::text)) - 1;  // 95

enum class TagState { Inactive, Active, Deactivated, Removed };

struct Tag {
    int32_t type = SimTagByte;
    bool array = false;
    int32_t firstIndex = 0;
    std::vector<SimValue> values;  // one for a scalar
    TagState state = TagState::Inactive;
};

struct Injection {
    int32_t ordinal;
    int32_t status;
    int32_t remaining;
    bool delivers;
    SimValue value;
};

// How a function sees the store: which value family it moves and in what shape.
enum class Family { Byte, Word, Short, Wide32, Double, Flags, Text, None };

struct FunctionInfo {
    int32_t ordinal;
    const char* name;
};

const FunctionInfo kFunctions[] = {
    {4, "ActivateTag"},      {5, "DeactivateTag"},     {6, "ScanActiveTags"},  {7, "ReadTagFlags"},
    {8, "WriteTagFlags"},    {11, "ReadTagLong"},      {12, "ReadTagShort"},   {13, "ReadTagDouble"},
    {15, "WriteTagLong"},    {16, "WriteTagShort"},    {17, "WriteTagDouble"}, {21, "ReadArrayDouble"},
    {22, "ReadArrayLong"},   {23, "ReadArrayShort"},   {24, "ReadTagByte"},    {25, "ReadTagWord"},
    {26, "ReadTagDword"},    {27, "ReadArrayByte"},    {28, "ReadArrayWord"},  {29, "ReadArrayDword"},
    {30, "ReadTagText"},     {31, "WriteArrayLong"},   {32, "WriteArrayShort"}, {33, "WriteTagByte"},
    {34, "WriteTagWord"},    {35, "WriteTagDword"},    {36, "WriteArrayByte"}, {37, "WriteArrayWord"},
    {38, "WriteArrayDword"}, {39, "WriteArrayDouble"}, {40, "WriteTagText"},
};

struct Store {
    std::map<std::string, Tag> tags;
    std::deque<Injection> injections;
    std::deque<SimCall> log;
    bool dataDirectory = true;
};

Store& TheStore() {
    static Store store;
    return store;
}

uint32_t MaskFor(int32_t type) {
    switch (type) {
        case SimTagByte:
        case SimTagFlags: return 0xFFu;
        case SimTagWord:
        case SimTagShort: return 0xFFFFu;
        default: return 0xFFFFFFFFu;
    }
}

bool Serves(Family family, int32_t type) {
    switch (family) {
        case Family::Byte: return type == SimTagByte;
        case Family::Word:
        case Family::Short: return type == SimTagWord || type == SimTagShort;
        case Family::Wide32: return type == SimTagDword || type == SimTagLong;
        case Family::Double: return type == SimTagDouble;
        case Family::Flags: return type == SimTagFlags;
        case Family::Text: return type == SimTagText;
        case Family::None: return false;
    }
    return false;
}

// One call in progress: filled as the function reads its arguments, logged when it returns.
struct Call {
    SimCall entry{};
    explicit Call(int32_t ordinal, const char* name) {
        entry.ordinal = ordinal;
        if (name != nullptr) {
            std::strncpy(entry.name, name, sizeof entry.name - 1);
            entry.name[sizeof entry.name - 1] = '\0';
        }
    }
    int32_t Finish(int32_t status) {
        entry.status = status;
        Store& store = TheStore();
        store.log.push_back(entry);
        while (store.log.size() > kLogLimit) store.log.pop_front();
        return status;
    }
};

// The next injected answer for the function, if one is pending.
bool TakeInjection(int32_t ordinal, Injection& taken) {
    Store& store = TheStore();
    for (auto it = store.injections.begin(); it != store.injections.end(); ++it) {
        if (it->ordinal != ordinal) continue;
        taken = *it;
        if (--it->remaining <= 0) store.injections.erase(it);
        return true;
    }
    return false;
}

// Finds the tag a read or write addresses and checks everything but the arguments.
int32_t FindForAccess(const char* name, Family family, bool array, Tag*& found) {
    found = nullptr;
    if (name == nullptr) return kNoSuchTag;
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end()) return kNoSuchTag;
    Tag& tag = it->second;
    switch (tag.state) {
        case TagState::Removed: return kRemoved;
        case TagState::Inactive: return kNotActive;
        case TagState::Deactivated: return kDeactivated;
        case TagState::Active: break;
    }
    if (tag.array != array) return kWrongShape;
    if (family == Family::Word && tag.type == SimTagByte) return kWordOnByte;
    if (!Serves(family, tag.type)) return kWrongType;
    found = &tag;
    return kOk;
}

// The elements first .. last of an array tag, when count matches and they lie inside it.
int32_t ElementRange(const Tag& tag, int32_t count, int32_t first, int32_t last, size_t& start) {
    const int64_t span = static_cast<int64_t>(last) - first + 1;
    if (count < 1 || span != count) return kOutOfRange;
    const int64_t offset = static_cast<int64_t>(first) - tag.firstIndex;
    if (offset < 0 || offset + span > static_cast<int64_t>(tag.values.size())) return kOutOfRange;
    start = static_cast<size_t>(offset);
    return kOk;
}

// Moves integer values of `bytes` width between caller storage and the store's bits.
void Deliver(const SimValue& value, Family family, void* destination) {
    switch (family) {
        case Family::Byte:
        case Family::Flags: {
            const uint8_t byte = static_cast<uint8_t>(value.bits);
            std::memcpy(destination, &byte, 1);
            break;
        }
        case Family::Word:
        case Family::Short: {
            const uint16_t half = static_cast<uint16_t>(value.bits);
            std::memcpy(destination, &half, 2);
            break;
        }
        case Family::Wide32: std::memcpy(destination, &value.bits, 4); break;
        case Family::Double: std::memcpy(destination, &value.real, 8); break;
        case Family::Text:
        case Family::None: break;
    }
}

SimValue Taken(Family family, const void* source) {
    SimValue value{};
    switch (family) {
        case Family::Byte:
        case Family::Flags: {
            uint8_t byte;
            std::memcpy(&byte, source, 1);
            value.bits = byte;
            break;
        }
        case Family::Word:
        case Family::Short: {
            uint16_t half;
            std::memcpy(&half, source, 2);
            value.bits = half;
            break;
        }
        case Family::Wide32: std::memcpy(&value.bits, source, 4); break;
        case Family::Double: std::memcpy(&value.real, source, 8); break;
        case Family::Text:
        case Family::None: break;
    }
    return value;
}

// A scalar read of one value into the caller's storage.
int32_t ReadScalar(int32_t ordinal, const char* name, Family family, void* destination) {
    Call call(ordinal, name);
    Injection injected;
    if (TakeInjection(ordinal, injected)) {
        if (injected.delivers && destination != nullptr) Deliver(injected.value, family, destination);
        return call.Finish(injected.status);
    }
    Tag* tag;
    const int32_t status = FindForAccess(name, family, false, tag);
    if (status != kOk) return call.Finish(status);
    if (destination == nullptr) return call.Finish(kOutOfRange);
    Deliver(tag->values[0], family, destination);
    return call.Finish(kOk);
}

// A scalar write of a value the caller passed.
int32_t WriteScalar(int32_t ordinal, const char* name, Family family, const SimValue& passed) {
    Call call(ordinal, name);
    call.entry.passed = passed;
    Injection injected;
    if (TakeInjection(ordinal, injected)) return call.Finish(injected.status);
    Tag* tag;
    const int32_t status = FindForAccess(name, family, false, tag);
    if (status != kOk) return call.Finish(status);
    SimValue stored = passed;
    stored.bits &= MaskFor(tag->type);
    tag->values[0] = stored;
    return call.Finish(kOk);
}

int32_t ReadArray(int32_t ordinal, const char* base, Family family, void* values, size_t width,
                  int32_t count, int32_t first, int32_t last) {
    Call call(ordinal, base);
    call.entry.numbers[0] = count;
    call.entry.numbers[1] = first;
    call.entry.numbers[2] = last;
    Injection injected;
    if (TakeInjection(ordinal, injected)) {
        if (injected.delivers && values != nullptr) Deliver(injected.value, family, values);
        return call.Finish(injected.status);
    }
    Tag* tag;
    int32_t status = FindForAccess(base, family, true, tag);
    if (status != kOk) return call.Finish(status);
    size_t start = 0;
    status = ElementRange(*tag, count, first, last, start);
    if (status != kOk) return call.Finish(status);
    if (values == nullptr) return call.Finish(kOutOfRange);
    for (int32_t i = 0; i < count; ++i) {
        Deliver(tag->values[start + static_cast<size_t>(i)], family,
                static_cast<uint8_t*>(values) + static_cast<size_t>(i) * width);
    }
    return call.Finish(kOk);
}

int32_t WriteArray(int32_t ordinal, const char* base, Family family, const void* values, size_t width,
                   int32_t count, int32_t first, int32_t last) {
    Call call(ordinal, base);
    call.entry.numbers[0] = count;
    call.entry.numbers[1] = first;
    call.entry.numbers[2] = last;
    if (values != nullptr) call.entry.passed = Taken(family, values);
    Injection injected;
    if (TakeInjection(ordinal, injected)) return call.Finish(injected.status);
    Tag* tag;
    int32_t status = FindForAccess(base, family, true, tag);
    if (status != kOk) return call.Finish(status);
    size_t start = 0;
    status = ElementRange(*tag, count, first, last, start);
    if (status != kOk) return call.Finish(status);
    if (values == nullptr) return call.Finish(kOutOfRange);
    for (int32_t i = 0; i < count; ++i) {
        SimValue stored = Taken(family, static_cast<const uint8_t*>(values) + static_cast<size_t>(i) * width);
        stored.bits &= MaskFor(tag->type);
        tag->values[start + static_cast<size_t>(i)] = stored;
    }
    return call.Finish(kOk);
}

int32_t Flags(int32_t ordinal, const char* name, int32_t first, uint8_t* flags, int32_t count, bool write) {
    Call call(ordinal, name);
    call.entry.numbers[0] = first;
    call.entry.numbers[1] = count;
    if (write && flags != nullptr) call.entry.passed.bits = *flags;
    Injection injected;
    if (TakeInjection(ordinal, injected)) {
        if (!write && injected.delivers && flags != nullptr) Deliver(injected.value, Family::Flags, flags);
        return call.Finish(injected.status);
    }
    Tag* tag;
    const int32_t status = FindForAccess(name, Family::Flags, false, tag);
    if (status != kOk) return call.Finish(status);
    if (first != 1 || count != 1 || flags == nullptr) return call.Finish(kOutOfRange);
    if (write) {
        tag->values[0].bits = *flags;
    } else {
        Deliver(tag->values[0], Family::Flags, flags);
    }
    return call.Finish(kOk);
}

// Copies text into a buffer of `capacity` bytes, cut to fit, NUL-terminated.
void DeliverText(const char* text, char* buffer, int32_t capacity, int32_t* length) {
    const size_t full = std::strlen(text);
    if (length != nullptr) *length = static_cast<int32_t>(full);
    if (buffer == nullptr || capacity < 1) return;
    const size_t room = static_cast<size_t>(capacity) - 1;
    const size_t copied = full < room ? full : room;
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
}

// The value slot of a tag for the control interface.
int32_t FindValue(const char* name, int32_t index, Tag*& tag, SimValue*& slot) {
    if (name == nullptr) return kNoSuchTag;
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end() || it->second.state == TagState::Removed) return kNoSuchTag;
    tag = &it->second;
    size_t position = 0;
    if (tag->array) {
        const int64_t offset = static_cast<int64_t>(index) - tag->firstIndex;
        if (offset < 0 || offset >= static_cast<int64_t>(tag->values.size())) return kOutOfRange;
        position = static_cast<size_t>(offset);
    }
    slot = &tag->values[position];
    return kOk;
}

}  // namespace

extern "C" {

// ---- The 31 functions of the data-exchange library ----

int32_t QOR_WINAPI ActivateTag(const char* name) {
    Call call(4, name);
    Injection injected;
    if (TakeInjection(4, injected)) return call.Finish(injected.status);
    if (!TheStore().dataDirectory) return call.Finish(kNoDataDirectory);
    if (name == nullptr) return call.Finish(kNoSuchTag);
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end() || it->second.state == TagState::Removed) return call.Finish(kNoSuchTag);
    it->second.state = TagState::Active;
    return call.Finish(kOk);
}

int32_t QOR_WINAPI DeactivateTag(const char* name) {
    Call call(5, name);
    Injection injected;
    if (TakeInjection(5, injected)) return call.Finish(injected.status);
    if (name == nullptr) return call.Finish(kNoSuchTag);
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end()) return call.Finish(kNoSuchTag);
    switch (it->second.state) {
        case TagState::Removed:
            TheStore().tags.erase(it);  // the loss is acknowledged: the name is gone
            return call.Finish(kRemoved);
        case TagState::Inactive: return call.Finish(kNotActive);
        case TagState::Deactivated: return call.Finish(kDeactivated);
        case TagState::Active: break;
    }
    it->second.state = TagState::Deactivated;
    return call.Finish(kOk);
}

int32_t QOR_WINAPI ScanActiveTags() {
    Call call(6, nullptr);
    Injection injected;
    if (TakeInjection(6, injected)) return call.Finish(injected.status);
    return call.Finish(kOk);
}

int32_t QOR_WINAPI ReadTagFlags(const char* name, int32_t first, uint8_t* flags, int32_t count) {
    return Flags(7, name, first, flags, count, false);
}
int32_t QOR_WINAPI WriteTagFlags(const char* name, int32_t first, uint8_t* flags, int32_t count) {
    return Flags(8, name, first, flags, count, true);
}

int32_t QOR_WINAPI ReadTagLong(const char* name, int32_t* value) { return ReadScalar(11, name, Family::Wide32, value); }
int32_t QOR_WINAPI ReadTagShort(const char* name, int16_t* value) { return ReadScalar(12, name, Family::Short, value); }
int32_t QOR_WINAPI ReadTagDouble(const char* name, double* value) { return ReadScalar(13, name, Family::Double, value); }
int32_t QOR_WINAPI ReadTagByte(const char* name, uint8_t* value) { return ReadScalar(24, name, Family::Byte, value); }
int32_t QOR_WINAPI ReadTagWord(const char* name, uint16_t* value) { return ReadScalar(25, name, Family::Word, value); }
int32_t QOR_WINAPI ReadTagDword(const char* name, uint32_t* value) { return ReadScalar(26, name, Family::Wide32, value); }

int32_t QOR_WINAPI WriteTagLong(const char* name, int32_t value) {
    return WriteScalar(15, name, Family::Wide32, Taken(Family::Wide32, &value));
}
int32_t QOR_WINAPI WriteTagShort(const char* name, int16_t value) {
    return WriteScalar(16, name, Family::Short, Taken(Family::Short, &value));
}
int32_t QOR_WINAPI WriteTagDouble(const char* name, double value) {
    return WriteScalar(17, name, Family::Double, Taken(Family::Double, &value));
}
int32_t QOR_WINAPI WriteTagByte(const char* name, uint8_t value) {
    return WriteScalar(33, name, Family::Byte, Taken(Family::Byte, &value));
}
int32_t QOR_WINAPI WriteTagWord(const char* name, uint16_t value) {
    return WriteScalar(34, name, Family::Word, Taken(Family::Word, &value));
}
int32_t QOR_WINAPI WriteTagDword(const char* name, uint32_t value) {
    return WriteScalar(35, name, Family::Wide32, Taken(Family::Wide32, &value));
}

int32_t QOR_WINAPI ReadTagText(const char* name, char* text, int32_t capacity, int32_t* length) {
    Call call(30, name);
    call.entry.numbers[0] = capacity;
    Injection injected;
    if (TakeInjection(30, injected)) {
        if (injected.delivers) DeliverText(injected.value.text, text, capacity, length);
        return call.Finish(injected.status);
    }
    Tag* tag;
    const int32_t status = FindForAccess(name, Family::Text, false, tag);
    if (status != kOk) return call.Finish(status);
    if (text == nullptr || capacity < 1) return call.Finish(kOutOfRange);
    DeliverText(tag->values[0].text, text, capacity, length);
    const bool fits = std::strlen(tag->values[0].text) < static_cast<size_t>(capacity);
    return call.Finish(fits ? kOk : kTextTooLong);
}

int32_t QOR_WINAPI WriteTagText(const char* name, const char* text, int32_t length) {
    Call call(40, name);
    call.entry.numbers[0] = length;
    // Never more than `length` bytes are read: the text need not end in a NUL.
    if (text != nullptr && length > 0) {
        const size_t copied = static_cast<size_t>(length < kTextLimit ? length : kTextLimit);
        std::memcpy(call.entry.passed.text, text, copied);
    }
    Injection injected;
    if (TakeInjection(40, injected)) return call.Finish(injected.status);
    Tag* tag;
    const int32_t status = FindForAccess(name, Family::Text, false, tag);
    if (status != kOk) return call.Finish(status);
    if (text == nullptr && length > 0) return call.Finish(kOutOfRange);
    if (length < 0 || length > kTextLimit) return call.Finish(kTextTooLong);
    tag->values[0] = call.entry.passed;
    return call.Finish(kOk);
}

int32_t QOR_WINAPI ReadArrayDouble(const char* base, double* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(21, base, Family::Double, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI ReadArrayLong(const char* base, int32_t* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(22, base, Family::Wide32, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI ReadArrayShort(const char* base, int16_t* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(23, base, Family::Short, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI ReadArrayByte(const char* base, uint8_t* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(27, base, Family::Byte, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI ReadArrayWord(const char* base, uint16_t* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(28, base, Family::Word, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI ReadArrayDword(const char* base, uint32_t* values, int32_t count, int32_t first, int32_t last) {
    return ReadArray(29, base, Family::Wide32, values, sizeof *values, count, first, last);
}

int32_t QOR_WINAPI WriteArrayLong(const char* base, int32_t* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(31, base, Family::Wide32, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI WriteArrayShort(const char* base, int16_t* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(32, base, Family::Short, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI WriteArrayByte(const char* base, uint8_t* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(36, base, Family::Byte, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI WriteArrayWord(const char* base, uint16_t* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(37, base, Family::Word, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI WriteArrayDword(const char* base, uint32_t* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(38, base, Family::Wide32, values, sizeof *values, count, first, last);
}
int32_t QOR_WINAPI WriteArrayDouble(const char* base, double* values, int32_t count, int32_t first, int32_t last) {
    return WriteArray(39, base, Family::Double, values, sizeof *values, count, first, last);
}

// ---- Control interface ----

SIM_API void SimReset(void) {
    Store& store = TheStore();
    store.tags.clear();
    store.injections.clear();
    store.log.clear();
    store.dataDirectory = true;
}

SIM_API void SimSetDataDirectory(int configured) { TheStore().dataDirectory = configured != 0; }

SIM_API int32_t SimDefineTag(const char* name, int32_t type, int32_t firstIndex, int32_t elementCount) {
    if (name == nullptr || name[0] == '\0') return kBadDefinition;
    if (type < SimTagByte || type > SimTagText) return kBadDefinition;
    if (elementCount < 0 || elementCount > kMaxElements) return kBadDefinition;
    if (elementCount > 0 && (type == SimTagText || type == SimTagFlags)) return kBadDefinition;
    if (static_cast<int64_t>(firstIndex) + elementCount - 1 > INT32_MAX) return kBadDefinition;
    Tag tag;
    tag.type = type;
    tag.array = elementCount > 0;
    tag.firstIndex = firstIndex;
    tag.values.assign(static_cast<size_t>(elementCount > 0 ? elementCount : 1), SimValue{});
    TheStore().tags[name] = tag;
    return kOk;
}

SIM_API int32_t SimRemoveTag(const char* name) {
    if (name == nullptr) return kNoSuchTag;
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end() || it->second.state == TagState::Removed) return kNoSuchTag;
    if (it->second.state == TagState::Active) {
        it->second.state = TagState::Removed;  // the name now answers -2007
        it->second.values.clear();
    } else {
        TheStore().tags.erase(it);
    }
    return kOk;
}

SIM_API int32_t SimSetValue(const char* name, int32_t index, const SimValue* value) {
    Tag* tag;
    SimValue* slot;
    const int32_t status = FindValue(name, index, tag, slot);
    if (status != kOk) return status;
    if (value == nullptr) return kOutOfRange;
    SimValue stored{};
    if (tag->type == SimTagDouble) {
        stored.real = value->real;
    } else if (tag->type == SimTagText) {
        std::memcpy(stored.text, value->text, sizeof stored.text - 1);
        stored.text[sizeof stored.text - 1] = '\0';
    } else {
        stored.bits = value->bits & MaskFor(tag->type);
    }
    *slot = stored;
    return kOk;
}

SIM_API int32_t SimGetValue(const char* name, int32_t index, SimValue* value) {
    Tag* tag;
    SimValue* slot;
    const int32_t status = FindValue(name, index, tag, slot);
    if (status != kOk) return status;
    if (value == nullptr) return kOutOfRange;
    *value = *slot;
    return kOk;
}

SIM_API void SimInjectStatus(int32_t ordinal, int32_t status, int32_t count, const SimValue* delivered) {
    Store& store = TheStore();
    if (count <= 0) {
        for (auto it = store.injections.begin(); it != store.injections.end();) {
            it = it->ordinal == ordinal ? store.injections.erase(it) : it + 1;
        }
        return;
    }
    Injection injection{ordinal, status, count, delivered != nullptr, SimValue{}};
    if (delivered != nullptr) {
        injection.value = *delivered;
        injection.value.text[sizeof injection.value.text - 1] = '\0';
    }
    store.injections.push_back(injection);
}

SIM_API int32_t SimCallCount(void) { return static_cast<int32_t>(TheStore().log.size()); }

SIM_API int32_t SimGetCall(int32_t position, SimCall* call) {
    const std::deque<SimCall>& log = TheStore().log;
    if (call == nullptr || position < 0 || static_cast<size_t>(position) >= log.size()) return kOutOfRange;
    *call = log[static_cast<size_t>(position)];
    return kOk;
}

SIM_API void SimClearLog(void) { TheStore().log.clear(); }

SIM_API int32_t SimSetTagActive(const char* name, int32_t active) {
    if (name == nullptr) return kNoSuchTag;
    auto it = TheStore().tags.find(name);
    if (it == TheStore().tags.end()) return kNoSuchTag;
    Tag& tag = it->second;
    if (tag.state == TagState::Removed) return kRemoved;
    if (active != 0) {
        tag.state = TagState::Active;
    } else if (tag.state == TagState::Active) {
        tag.state = TagState::Deactivated;
    }
    return kOk;
}

SIM_API const char* SimFunctionName(int32_t ordinal) {
    for (const FunctionInfo& function : kFunctions) {
        if (function.ordinal == ordinal) return function.name;
    }
    return nullptr;
}

}  // extern "C"
