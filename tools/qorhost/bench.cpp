#include "tools/qorhost/bench.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "standins/hostrt/hostrt.h"
#include "standins/tembrix3/tembrix3_control.h"
#include "tools/qorhost/cp437.h"

using scenario::Command;
using scenario::Value;
using scenario::Verb;

namespace {

// ---------------------------------------------------------------------------------------------
// Record fields

enum Kind { Int32, Uint32, Uint16, Hex16, Handle, CharArray, TextPointer, Float, Bytes };

struct Layout {
    const char* name;
    size_t offset;
    size_t width;
    Kind kind;
};

const Layout kChannelLayout[] = {
    {"timeout", 0, 4, Int32},      {"portHandle", 4, 4, Handle}, {"active", 8, 4, Int32},
    {"portName", 12, 12, CharArray}, {"baudRate", 24, 2, Uint16}, {"dataBits", 26, 2, Uint16},
    {"stopBits", 28, 2, Uint16},   {"parity", 30, 2, Uint16},    {"portOptions", 32, 2, Hex16},
    {"padding", 34, 2, Bytes},
};

const Layout kGateLayout[] = {
    {"name", 0, 4, TextPointer},     {"activationIn1", 4, 4, Int32},   {"activationIn2", 8, 4, Int32},
    {"type", 12, 4, Int32},          {"activationOut1", 16, 4, Int32}, {"activationOut2", 20, 4, Int32},
    {"activationOut3", 24, 4, Int32}, {"activationOut4", 28, 4, Int32}, {"activationOut5", 32, 4, Int32},
    {"hostOwned", 36, 4, Bytes},     {"value", 40, 4, Handle},
};

// The value cell, seen as the gate's type sees it; every byte belongs to some field.
const Layout kCell16[] = {{"cell[0..1]", 0, 2, Bytes}, {"value16", 2, 2, Uint16}, {"cell[4..79]", 4, 76, Bytes}};
const Layout kCellReal[] = {{"real", 0, 4, Float}, {"cell[4..79]", 4, 76, Bytes}};
const Layout kCellLong[] = {{"value32", 0, 4, Int32}, {"cell[4..79]", 4, 76, Bytes}};
const Layout kCellDword[] = {{"value32", 0, 4, Uint32}, {"cell[4..79]", 4, 76, Bytes}};
const Layout kCellText[] = {{"text", 0, 80, CharArray}};

const Layout kInfoLayout[] = {
    {"info0", 0, 4, Int32},   {"vendor", 4, 4, TextPointer}, {"banner", 8, 4, TextPointer},
    {"info12", 12, 4, Int32}, {"info16", 16, 4, Int32},      {"hostOwned", 20, 8, Bytes},
    {"info28", 28, 4, Int32},
};

template <typename T>
T Read(const uint8_t* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The shortest decimal form that reads back as the same float.
std::string ShowFloat(float value) {
    char text[48];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}

std::string ShowDouble(double value) {
    char text[48];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

std::string Hex(uint32_t value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", width, value);
    return text;
}

std::string ShowBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    size_t shown = 0;
    for (; shown < bytes.size() && shown < 8; ++shown) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[shown]);
        out += (shown > 0 ? " " : "") + std::string(hex);
    }
    if (shown < bytes.size()) {
        size_t nonZero = 0;
        for (uint8_t b : bytes) nonZero += b != 0;
        out += " ... (" + std::to_string(nonZero) + " of " + std::to_string(bytes.size()) + " bytes non-zero)";
    }
    return out;
}

std::string ShowOptions(uint16_t word) {
    const char* dtr = (word & (kDtrEnable | kDtrEnableToo)) != 0 ? "on" : (word & kDtrHandshake) != 0 ? "handshake" : "off";
    const char* rts = (word & (kRtsEnable | kRtsEnableToo)) != 0   ? "on"
                      : (word & kRtsHandshake) != 0                 ? "handshake"
                      : (word & kRtsToggle) != 0                    ? "toggle"
                                                                    : "off";
    return Hex(word, 4) + " (DTR " + dtr + ", RTS " + rts + ")";
}

FieldValue Take(const uint8_t* record, const Layout& layout) {
    FieldValue field;
    field.name = layout.name;
    field.kind = layout.kind;
    const uint8_t* at = record + layout.offset;
    field.raw.assign(at, at + layout.width);
    switch (layout.kind) {
    case Int32:
        field.shown = std::to_string(Read<int32_t>(at));
        break;
    case Uint32: {
        const uint32_t value = Read<uint32_t>(at);
        field.shown = std::to_string(value);
        if (value > 0x7FFFFFFFu) field.shown += " (" + std::to_string(static_cast<int32_t>(value)) + ")";
        break;
    }
    case Uint16: {
        const uint16_t value = Read<uint16_t>(at);
        field.shown = std::to_string(value);
        if (value >= 0x8000u) field.shown += " (" + std::to_string(static_cast<int16_t>(value)) + ")";
        break;
    }
    case Hex16:
        field.shown = ShowOptions(Read<uint16_t>(at));
        break;
    case Handle: {
        const uint32_t value = Read<uint32_t>(at);
        field.shown = value == 0 ? "0" : Hex(value, 8);
        break;
    }
    case CharArray: {
        const char* text = reinterpret_cast<const char*>(at);
        const size_t length = strnlen(text, layout.width);
        field.shown = Quote(std::string(text, length));
        if (length == layout.width) field.shown += " (no NUL)";
        break;
    }
    case TextPointer: {
        const char* text = Read<const char*>(at);
        if (text == nullptr) {
            field.shown = "null";
        } else {
            const std::string value = text;
            field.raw.insert(field.raw.end(), value.begin(), value.end());
            field.shown = value.size() > 40 ? "(" + std::to_string(value.size()) + " characters)" : Quote(value);
        }
        break;
    }
    case Float:
        field.shown = ShowFloat(Read<float>(at));
        break;
    case Bytes:
        field.shown = ShowBytes(field.raw);
        break;
    }
    return field;
}

template <size_t N>
void TakeAll(std::vector<FieldValue>& out, const void* record, const Layout (&layouts)[N]) {
    for (const Layout& layout : layouts) out.push_back(Take(static_cast<const uint8_t*>(record), layout));
}

// The text of a field: a char array up to its NUL, or what a text pointer points to.
std::string FieldText(const FieldValue& field) {
    if (field.kind == TextPointer) {
        return field.raw.size() > 4 ? std::string(field.raw.begin() + 4, field.raw.end()) : "";
    }
    const std::string all(field.raw.begin(), field.raw.end());
    return all.substr(0, all.find('\0'));
}

// Whether a literal names the value of a field.
bool Matches(const FieldValue& field, const Value& value) {
    switch (field.kind) {
    case Int32:
    case Uint32:
    case Handle: {
        if (value.kind != Value::Integer) return false;
        const uint32_t bits = Read<uint32_t>(field.raw.data());
        return value.integer == static_cast<int64_t>(bits) || value.integer == static_cast<int32_t>(bits);
    }
    case Uint16:
    case Hex16: {
        if (value.kind != Value::Integer) return false;
        const uint16_t bits = Read<uint16_t>(field.raw.data());
        return value.integer == static_cast<int64_t>(bits) || value.integer == static_cast<int16_t>(bits);
    }
    case Float:
        return (value.kind == Value::Integer || value.kind == Value::Real) &&
               Read<float>(field.raw.data()) == static_cast<float>(value.real);
    case CharArray:
    case TextPointer:
        return value.kind == Value::Text && FieldText(field) == value.text;
    case Bytes:
        return false;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Library calls, as the log of the simulated library gives them

enum Shape { ShapeTag, ShapeArray, ShapeScan, ShapeFlags, ShapeTextRead, ShapeTextWrite, ShapeRead, ShapeWrite };

struct CallForm {
    int32_t ordinal;
    Shape shape;
    int bits;  // width of a value passed to a write; 64: a double
};

const CallForm kCallForms[] = {
    {4, ShapeTag, 0},         {5, ShapeTag, 0},         {6, ShapeScan, 0},       {7, ShapeFlags, 0},
    {8, ShapeFlags, 8},       {11, ShapeRead, 0},       {12, ShapeRead, 0},      {13, ShapeRead, 0},
    {15, ShapeWrite, 32},     {16, ShapeWrite, 16},     {17, ShapeWrite, 64},    {21, ShapeArray, 0},
    {22, ShapeArray, 0},      {23, ShapeArray, 0},      {24, ShapeRead, 0},      {25, ShapeRead, 0},
    {26, ShapeRead, 0},       {27, ShapeArray, 0},      {28, ShapeArray, 0},     {29, ShapeArray, 0},
    {30, ShapeTextRead, 0},   {31, ShapeArray, 32},     {32, ShapeArray, 16},    {33, ShapeWrite, 8},
    {34, ShapeWrite, 16},     {35, ShapeWrite, 32},     {36, ShapeArray, 8},     {37, ShapeArray, 16},
    {38, ShapeArray, 32},     {39, ShapeArray, 64},     {40, ShapeTextWrite, 0},
};

std::string Passed(const SimValue& passed, int bits) {
    if (bits == 64) return ShowDouble(passed.real);
    const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
    return std::to_string(passed.bits & mask);
}

std::string DescribeCall(const SimCall& call) {
    const char* function = SimFunctionName(call.ordinal);
    std::string out = function != nullptr ? function : "ordinal " + std::to_string(call.ordinal);
    const std::string name = Quote(call.name);
    const CallForm* form = nullptr;
    for (const CallForm& candidate : kCallForms) {
        if (candidate.ordinal == call.ordinal) form = &candidate;
    }
    if (form == nullptr) return out + "(...)";
    const std::string n0 = std::to_string(call.numbers[0]);
    const std::string n1 = std::to_string(call.numbers[1]);
    const std::string n2 = std::to_string(call.numbers[2]);
    switch (form->shape) {
    case ShapeScan:
        return out + "()";
    case ShapeTag:
    case ShapeRead:
        return out + "(" + name + ")";
    case ShapeWrite:
        return out + "(" + name + ", " + Passed(call.passed, form->bits) + ")";
    case ShapeFlags:
        return out + "(" + name + ", " + n0 + ", " + (form->bits != 0 ? Passed(call.passed, 8) : "*") + ", " + n1 + ")";
    case ShapeTextRead:
        return out + "(" + name + ", *, " + n0 + ")";
    case ShapeTextWrite:
        return out + "(" + name + ", " + Quote(call.passed.text) + ", " + n0 + ")";
    case ShapeArray:
        return out + "(" + name + ", " + (form->bits != 0 ? "&" + Passed(call.passed, form->bits) : "*") + ", " + n0 +
               ", " + n1 + ", " + n2 + ")";
    }
    return out;
}

const char* RequestName(int32_t code) {
    switch (code) {
    case 1: return "SetChannelActive";
    case 3: return "ActivateGate";
    case 5: return "ReadGate";
    case 7: return "WriteGate";
    case 12: return "CloseChannel";
    case 13: return "OpenChannel";
    case 14: return "IdentifyDriver";
    case 15: return "ConfigureChannel";
    case 2: case 4: case 6: case 10: case 11: return "(fixed answer)";
    default: return "(no handler)";
    }
}

// What a request answers when all went well; codes without a handler never do.
bool Succeeded(int32_t code, int32_t result) {
    switch (code) {
    case 4: case 6: case 10: return result == 1;
    case 1: case 2: case 3: case 5: case 7: case 11: case 12: case 13: case 14: case 15: return result == 0;
    default: return false;
    }
}

SimValue SimValueOf(const Value& value) {
    SimValue out{};
    if (value.kind == Value::Text) {
        std::snprintf(out.text, sizeof out.text, "%s", value.text.c_str());
    } else {
        out.bits = value.kind == Value::Integer ? static_cast<uint32_t>(value.integer)
                                                : static_cast<uint32_t>(static_cast<int64_t>(value.real));
        out.real = value.real;
    }
    return out;
}

std::string Pad(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

void RouteMessage(void* context, int level, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    static_cast<Bench*>(context)->OnMessage(level, text);
}

}  // namespace

int32_t LibraryOrdinal(const std::string& name) {
    for (const CallForm& form : kCallForms) {
        const char* function = SimFunctionName(form.ordinal);
        if (function != nullptr && name == function) return form.ordinal;
    }
    return 0;
}

Bench::Bench(QorMainEntry qorMain, const BenchSettings& settings) : qorMain_(qorMain), settings_(settings) {
    SimReset();
    HostRtSetSink(RouteMessage, this);
}

Bench::~Bench() { HostRtSetSink(nullptr, nullptr); }

// ---------------------------------------------------------------------------------------------
// Output

void Bench::Raw(const std::string& text) {
    if (settings_.quiet) {
        block_ += text;
        return;
    }
    std::fputs(text.c_str(), settings_.out);
    std::fflush(settings_.out);
}

void Bench::Line(const std::string& label, const std::string& text) { Raw("  " + Pad(label, 9) + text + "\n"); }

void Bench::EndBlock() {
    if (settings_.quiet && blockFailed_) std::fputs(block_.c_str(), settings_.out);
    block_.clear();
    blockFailed_ = false;
}

void Bench::OnMessage(int level, const std::string& text) {
    ++messages_;
    last_.messages.push_back({level, text});
    Line("err", "[" + std::to_string(level) + "] " + text);
    if (settings_.log != nullptr) {
        std::fprintf(settings_.log, "%s [%d] %s\n", current_.c_str(), level, text.c_str());
        std::fflush(settings_.log);
    }
}

void Bench::Failure(const Command& command, const std::string& what) {
    blockFailed_ = true;
    ++failedExpectations_;
    failures_.push_back(command.file + ":" + std::to_string(command.line) + "  " + command.text + "  -- " + what);
}

// ---------------------------------------------------------------------------------------------
// Records

std::vector<FieldValue> Bench::ChannelFields(void*) const {
    std::vector<FieldValue> out;
    TakeAll(out, &channel_, kChannelLayout);
    return out;
}

std::vector<FieldValue> Bench::GateFields(void* record) const {
    const Gate& gate = *static_cast<const Gate*>(record);
    std::vector<FieldValue> out;
    TakeAll(out, &gate.record, kGateLayout);
    switch (gate.record.type) {
    case GateWord: case GateShort: case GateWordAlt: case GateFlag: TakeAll(out, &gate.cell, kCell16); break;
    case GateReal: TakeAll(out, &gate.cell, kCellReal); break;
    case GateLong: TakeAll(out, &gate.cell, kCellLong); break;
    case GateText: TakeAll(out, &gate.cell, kCellText); break;
    default: TakeAll(out, &gate.cell, kCellDword); break;
    }
    return out;
}

std::vector<FieldValue> Bench::InfoFields(void* info) const {
    std::vector<FieldValue> out;
    TakeAll(out, info, kInfoLayout);
    return out;
}

Bench::Gate& Bench::GateNamed(const std::string& name, int32_t type) {
    std::unique_ptr<Gate>& slot = gates_[name];
    if (!slot) {
        slot.reset(new Gate);
        slot->name = name;
        slot->record.name = slot->name.c_str();
        slot->record.value = &slot->cell;
    }
    slot->record.type = type;
    return *slot;
}

// ---------------------------------------------------------------------------------------------
// Requests

int32_t Bench::Send(int32_t code, void* params, std::vector<FieldValue> (Bench::*fields)(void*) const,
                    void* record, const Command& command) {
    last_ = Outcome{};
    last_.any = true;
    last_.code = code;
    last_.where = command.file + ":" + std::to_string(command.line);
    const std::vector<FieldValue> before = (this->*fields)(record);

    SimClearLog();
    DriverRequest request{&channel_, code, {}, params};
    const int32_t result = qorMain_(&request);

    ++requests_;
    last_.result = result;
    last_.failed = !Succeeded(code, result) || !last_.messages.empty();
    failedRequests_ += last_.failed;
    Line("request", Pad(std::to_string(code) + " " + RequestName(code), 24) + "-> " + std::to_string(result) +
                        (last_.failed ? "   (failed)" : ""));
    ShowLibraryCalls();

    last_.fields = (this->*fields)(record);
    bool first = true;
    for (size_t i = 0; i < last_.fields.size() && i < before.size(); ++i) {
        if (last_.fields[i].raw == before[i].raw) continue;
        Line(first ? "changed" : "", Pad(last_.fields[i].name, 16) + before[i].shown + " -> " + last_.fields[i].shown);
        first = false;
    }
    return result;
}

void Bench::ShowLibraryCalls() {
    const int32_t count = SimCallCount();
    for (int32_t i = 0; i < count; ++i) {
        SimCall call;
        if (SimGetCall(i, &call) != 0) continue;
        last_.ordinals.push_back(call.ordinal);
        Line(i == 0 ? "library" : "", Pad(DescribeCall(call), 46) + "-> " + std::to_string(call.status));
    }
}

// ---------------------------------------------------------------------------------------------
// Commands

static bool IsExpectation(Verb verb) { return verb >= Verb::ExpectResult && verb <= Verb::ExpectChannel; }

void Bench::RunScript(const std::vector<Command>& commands) {
    for (size_t i = 0; i < commands.size() && !stopped_; ++i) {
        const int requestsBefore = requests_;
        const int failuresBefore = failedExpectations_;
        if (!RunCommand(commands[i])) break;  // quit
        if (!stopOnFailure_) continue;
        if (failedExpectations_ > failuresBefore) {
            stopped_ = true;
        } else if (requests_ > requestsBefore && last_.failed) {
            // A failed request stops the run unless the lines after it expect the failure.
            bool anticipated = false;
            for (size_t j = i + 1; j < commands.size() && IsExpectation(commands[j].verb); ++j) {
                const Verb verb = commands[j].verb;
                anticipated = anticipated || verb == Verb::ExpectResult || verb == Verb::ExpectMessage ||
                              verb == Verb::ExpectMessages;
            }
            if (!anticipated) {
                stopped_ = true;
                blockFailed_ = true;
                failures_.push_back(last_.where + "  " + commands[i].text + "  -- the request failed");
            }
        }
        if (stopped_) Line("stopped", "stop-on-failure: the run ends here");
    }
    EndBlock();
}

bool Bench::RunCommand(const Command& command) {
    const bool isExpect = IsExpectation(command.verb);
    if (!isExpect) EndBlock();
    current_ = command.file + ":" + std::to_string(command.line);
    if (settings_.echoCommands && command.verb != Verb::Echo) {
        if (isExpect) {
            // An expectation is shown with its verdict, in Expect.
        } else {
            Raw(Pad(current_, 14) + " " + command.text + "\n");
        }
    }

    switch (command.verb) {
    case Verb::Identify: {
        DriverInfo info{};
        Send(14, &info, &Bench::InfoFields, &info, command);
        if (info.vendor != nullptr) Line("vendor", info.vendor);
        if (info.banner != nullptr) {
            std::string banner = Cp437ToUtf8(info.banner);
            size_t start = 0;
            bool first = true;
            while (start < banner.size()) {
                size_t end = banner.find('\n', start);
                if (end == std::string::npos) end = banner.size();
                if (end > start) {
                    Line(first ? "banner" : "", banner.substr(start, end - start));
                    first = false;
                }
                start = end + 1;
            }
        }
        return true;
    }
    case Verb::Request: {
        uint8_t params[64] = {};
        Send(command.number, params, &Bench::ChannelFields, nullptr, command);
        return true;
    }
    case Verb::Activate: {
        Gate& gate = GateNamed(command.name, command.gateType);
        gate.record.activationIn1 = command.in1;
        gate.record.activationIn2 = command.in2;
        Send(3, &gate.record, &Bench::GateFields, &gate, command);
        last_.gate = true;
        last_.gateType = command.gateType;
        return true;
    }
    case Verb::Read: {
        Gate& gate = GateNamed(command.name, command.gateType);
        Send(5, &gate.record, &Bench::GateFields, &gate, command);
        last_.gate = true;
        last_.gateType = command.gateType;
        return true;
    }
    case Verb::Write: {
        Gate& gate = GateNamed(command.name, command.gateType);
        const Value& value = command.value;
        // The host puts the value into the cell in the view of the gate's type.
        switch (command.gateType) {
        case GateWord: case GateShort: case GateWordAlt: case GateFlag:
            gate.cell.value16 = static_cast<uint16_t>(value.integer);
            break;
        case GateReal:
            gate.cell.real = static_cast<float>(value.real);
            break;
        case GateText:
            std::memset(gate.cell.text, 0, sizeof gate.cell.text);
            std::snprintf(gate.cell.text, sizeof gate.cell.text, "%s", value.text.c_str());
            break;
        default:
            gate.cell.value32 = static_cast<uint32_t>(value.integer);
            break;
        }
        Send(7, &gate.record, &Bench::GateFields, &gate, command);
        last_.gate = true;
        last_.gateType = command.gateType;
        return true;
    }
    case Verb::ChannelActive: {
        ChannelActivation activation{};
        activation.active = command.number;
        activation.timeout = command.timeout;
        Send(1, &activation, &Bench::ChannelFields, nullptr, command);
        return true;
    }
    case Verb::ChannelOpen:
        Send(13, nullptr, &Bench::ChannelFields, nullptr, command);
        return true;
    case Verb::ChannelClose:
        Send(12, nullptr, &Bench::ChannelFields, nullptr, command);
        return true;
    case Verb::ChannelOptions:
    case Verb::ChannelConfigure: {
        // The DTR/RTS options are the host's to set in the channel record.
        const uint16_t before = channel_.portOptions;
        uint16_t word = command.hasOptionWord ? command.optionWord : channel_.portOptions;
        if (command.hasDtr) {
            word = static_cast<uint16_t>(word & ~(kDtrEnable | kDtrEnableToo | kDtrHandshake));
            if (command.dtr == scenario::kLineOn) word = static_cast<uint16_t>(word | kDtrEnable);
            if (command.dtr == scenario::kLineHandshake) word = static_cast<uint16_t>(word | kDtrHandshake);
        }
        if (command.hasRts) {
            word = static_cast<uint16_t>(word & ~(kRtsEnable | kRtsEnableToo | kRtsHandshake | kRtsToggle));
            if (command.rts == scenario::kLineOn) word = static_cast<uint16_t>(word | kRtsEnable);
            if (command.rts == scenario::kLineHandshake) word = static_cast<uint16_t>(word | kRtsHandshake);
            if (command.rts == scenario::kLineToggle) word = static_cast<uint16_t>(word | kRtsToggle);
        }
        channel_.portOptions = word;
        if (command.verb == Verb::ChannelOptions || word != before) {
            Line("options", ShowOptions(before) + " -> " + ShowOptions(word) + " (set by the host)");
        }
        if (command.verb == Verb::ChannelOptions) return true;

        ChannelConfig config{};
        std::memcpy(config.portName, command.name.data(), command.name.size() < sizeof config.portName
                                                              ? command.name.size()
                                                              : sizeof config.portName);
        config.timeout = command.hasTimeout ? command.timeout : 0;
        config.portSettings.baudRate = command.hasSpeed ? command.speed : 0;
        config.portSettings.dataBits = command.dataBits;
        config.portSettings.stopBits = command.stopBits;
        config.portSettings.parity = command.parity;
        Send(15, &config, &Bench::ChannelFields, nullptr, command);
        return true;
    }
    case Verb::Tag:
    case Verb::Untag:
    case Verb::LibraryPath:
    case Verb::LibraryDeactivate:
    case Verb::Inject:
        Setup(command);
        return true;
    case Verb::Set:
    case Verb::Tags:
        return true;
    case Verb::StopOnFailure:
        stopOnFailure_ = command.flag;
        return true;
    case Verb::Echo:
        Raw(command.value.text + "\n");
        return true;
    case Verb::Help:
        for (const scenario::FormHelp& form : scenario::Forms()) {
            Raw("  " + form.syntax + "\n      " + form.meaning + "\n");
        }
        return true;
    case Verb::Quit:
        return false;
    default:
        Expect(command);
        return true;
    }
}

void Bench::Setup(const Command& command) {
    std::string problem;
    switch (command.verb) {
    case Verb::Tag: {
        int32_t status = SimDefineTag(command.name.c_str(), command.tagType, command.firstIndex, command.elementCount);
        if (status != 0) {
            problem = "the library refuses the definition: " + std::to_string(status);
            break;
        }
        tagTypes_[command.name] = command.tagType;
        for (size_t i = 0; i < command.values.size() && problem.empty(); ++i) {
            const SimValue value = SimValueOf(command.values[i]);
            status = SimSetValue(command.name.c_str(), command.firstIndex + static_cast<int32_t>(i), &value);
            if (status != 0) problem = "the library refuses value " + command.values[i].spelling + ": " + std::to_string(status);
        }
        break;
    }
    case Verb::Untag: {
        const int32_t status = SimRemoveTag(command.name.c_str());
        if (status != 0) problem = "the library answers " + std::to_string(status);
        tagTypes_.erase(command.name);
        break;
    }
    case Verb::LibraryPath:
        SimSetDataDirectory(command.flag ? 1 : 0);
        break;
    case Verb::LibraryDeactivate: {
        const int32_t status = SimSetTagActive(command.name.c_str(), 0);
        if (status != 0) problem = "the library answers " + std::to_string(status);
        break;
    }
    case Verb::Inject: {
        int32_t ordinal = command.ordinal != 0 ? command.ordinal : LibraryOrdinal(command.name);
        if (ordinal == 0 || SimFunctionName(ordinal) == nullptr) {
            problem = "no library function " + command.name;
            break;
        }
        SimValue delivered = SimValueOf(command.value);
        SimInjectStatus(ordinal, command.number, command.times,
                        command.value.kind == Value::None ? nullptr : &delivered);
        break;
    }
    default:
        break;
    }
    if (!problem.empty()) {
        Line("error", problem);
        Failure(command, problem);
    }
}

bool Bench::Expect(const Command& command) {
    std::string got;
    const bool held = Check(command, got);
    if (held) {
        ++passedExpectations_;
    } else {
        Failure(command, got);
    }
    if (settings_.echoCommands) {
        const std::string shown = command.text.substr(std::strlen("expect "));
        Line("expect", Pad(shown, 46) + (held ? "ok" : "FAILED: " + got));
    } else if (!held) {
        Line("expect", "FAILED: " + got);
    }
    return held;
}

bool Bench::Check(const Command& command, std::string& got) {
    const Value& want = command.value;
    if (command.verb == Verb::ExpectTag) {
        SimValue value{};
        const int32_t status = SimGetValue(command.name.c_str(), command.firstIndex, &value);
        if (status != 0) {
            got = "the library answers " + std::to_string(status) + " for " + command.name;
            return false;
        }
        const auto known = tagTypes_.find(command.name);
        const int32_t type = known == tagTypes_.end() ? -1 : known->second;
        switch (type) {
        case scenario::kTagDouble:
            got = ShowDouble(value.real);
            // A real gate writes its single-precision value widened: that matches too.
            return (want.kind == Value::Integer || want.kind == Value::Real) &&
                   (value.real == want.real || value.real == static_cast<double>(static_cast<float>(want.real)));
        case scenario::kTagText:
            got = Quote(value.text);
            return want.kind == Value::Text && want.text == value.text;
        default: {
            const int width = type == scenario::kTagByte || type == scenario::kTagFlags ? 8
                              : type == scenario::kTagWord || type == scenario::kTagShort ? 16
                                                                                          : 32;
            const uint32_t bits = width == 32 ? value.bits : value.bits & ((1u << width) - 1u);
            const int64_t signedBits = width == 8    ? static_cast<int8_t>(bits)
                                       : width == 16 ? static_cast<int16_t>(bits)
                                                     : static_cast<int32_t>(bits);
            got = std::to_string(bits);
            return want.kind == Value::Integer && (want.integer == bits || want.integer == signedBits);
        }
        }
    }
    if (command.verb == Verb::ExpectChannel) {
        got = channel_.portHandle != nullptr ? "open" : "closed";
        return (channel_.portHandle != nullptr) == command.flag;
    }
    if (!last_.any) {
        got = "no request has been sent yet";
        return false;
    }
    switch (command.verb) {
    case Verb::ExpectResult:
        got = std::to_string(last_.result);
        return last_.result == command.number;
    case Verb::ExpectMessages:
        got = std::to_string(last_.messages.size()) + " message(s)";
        return last_.messages.size() == static_cast<size_t>(command.number);
    case Verb::ExpectMessage: {
        for (const Message& message : last_.messages) {
            if (message.text == want.text) return true;
        }
        got = last_.messages.empty() ? "no message" : "";
        for (const Message& message : last_.messages) got += (got.empty() ? "" : " | ") + Quote(message.text);
        return false;
    }
    case Verb::ExpectCall:
    case Verb::ExpectNoCall: {
        const int32_t ordinal = command.ordinal != 0 ? command.ordinal : LibraryOrdinal(command.name);
        bool called = false;
        for (int32_t made : last_.ordinals) called = called || made == ordinal;
        got = called ? "it was called" : "it was not called";
        return called == (command.verb == Verb::ExpectCall);
    }
    case Verb::ExpectValue:
    case Verb::ExpectField: {
        if (command.verb == Verb::ExpectValue && !last_.gate) {
            got = "the last request was no gate request";
            return false;
        }
        std::string name = command.name;
        if (command.verb == Verb::ExpectValue) {
            switch (last_.gateType) {
            case GateWord: case GateShort: case GateWordAlt: case GateFlag: name = "value16"; break;
            case GateReal: name = "real"; break;
            case GateText: name = "text"; break;
            default: name = "value32"; break;
            }
        }
        std::vector<FieldValue> fields = last_.fields;
        bool found = false;
        for (const FieldValue& field : fields) found = found || field.name == name;
        if (!found) fields = ChannelFields(nullptr);  // the channel record is always at hand
        for (const FieldValue& field : fields) {
            if (field.name != name) continue;
            got = field.shown;
            return Matches(field, want);
        }
        got = "the last request's record has no field " + name;
        return false;
    }
    default:
        got = "not an expectation";
        return false;
    }
}

void Bench::PrintSummary(const std::string& title) {
    EndBlock();
    std::FILE* out = settings_.out;
    const bool passed = Passed();
    std::fprintf(out, "\n== summary: %s %s\n", title.c_str(), std::string(title.size() < 60 ? 60 - title.size() : 0, '=').c_str());
    std::fprintf(out, "  requests      %d sent, %d reported a failure (result or message)\n", requests_, failedRequests_);
    std::fprintf(out, "  messages      %d through err\n", messages_);
    std::fprintf(out, "  expectations  %d held, %d failed\n", passedExpectations_, failedExpectations_);
    for (const std::string& failure : failures_) std::fprintf(out, "    FAILED  %s\n", failure.c_str());
    if (stopped_) std::fprintf(out, "  stopped       at the first failure (stop-on-failure)\n");
    std::fprintf(out, "  verdict       %s\n", passed ? "PASS" : "FAIL");
    std::fflush(out);
}
