#include "tools/qorhost/scenario.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

namespace scenario {
namespace {

// ---------------------------------------------------------------------------------------------
// Words of a line

struct Token {
    std::string text;
    bool quoted = false;
    int column = 0;  // 1-based
};

const char* const kGateTypeNames[] = {"word", "short", "wordalt", "real", "long", "dword", "flag", "text"};
const char* const kTagTypeNames[] = {"byte", "word", "short", "dword", "long", "double", "flags", "text"};
const char* const kParityNames[] = {"none", "odd", "even", "mark", "space"};

const std::vector<std::string> kFields = {
    // channel record
    "timeout", "portHandle", "active", "portName", "baudRate", "dataBits", "stopBits", "parity",
    "portOptions",
    // gate record and its value cell
    "activationIn1", "activationIn2", "type", "activationOut1", "activationOut2", "activationOut3",
    "activationOut4", "activationOut5", "value16", "value32", "real", "text",
    // identification record
    "info0", "vendor", "banner", "info12", "info16", "info28",
};

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr size_t kGateTextCapacity = 79;  // the value cell holds 80 bytes with the NUL
constexpr size_t kTagTextCapacity = 95;   // the simulated store holds 96
constexpr size_t kDeviceNameCapacity = 12;

bool IsIdentifierStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

bool ParseIntegerText(const std::string& text, int64_t& out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > (uint64_t{1} << 40)) return false;  // far beyond any field of the records
    }
    out = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return true;
}

bool ParseRealText(const std::string& text, double& out) {
    if (text.empty()) return false;
    const char first = text[0];
    if (!((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.')) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == 0;
}

std::string Join(const char* const* names, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) out += i + 1 == count ? " or " : ", ";
        out += names[i];
    }
    return out;
}

// Expands ${NAME}, drops a # comment and trims; on a bad reference fills the error.
bool ExpandLine(const std::string& raw, const ParserContext& context, std::string& out, ParseError& error) {
    out.clear();
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (quoted && c == '\\' && i + 1 < raw.size()) {
            out += c;
            out += raw[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '#') break;
        if (c == '$' && i + 1 < raw.size() && raw[i + 1] == '{') {
            const size_t close = raw.find('}', i + 2);
            const std::string name = close == std::string::npos ? "" : raw.substr(i + 2, close - i - 2);
            auto found = context.variables.find(name);
            if (close == std::string::npos || found == context.variables.end()) {
                error.column = static_cast<int>(out.size()) + 1;
                error.offending = close == std::string::npos ? raw.substr(i) : raw.substr(i, close - i + 1);
                error.expected = close == std::string::npos
                                     ? "a variable reference closed by }"
                                     : "a variable defined before this line (set " + name +
                                           " VALUE) or on the command line (-D " + name + "=VALUE)";
                out += raw.substr(i);
                return false;
            }
            out += found->second;
            i = close;
            continue;
        }
        out += c;
    }
    const size_t first = out.find_first_not_of(" \t\r\n");
    const size_t last = out.find_last_not_of(" \t\r\n");
    out = first == std::string::npos ? "" : out.substr(first, last - first + 1);
    return true;
}

bool Tokenize(const std::string& line, std::vector<Token>& tokens, ParseError& error) {
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        Token token;
        token.column = static_cast<int>(i) + 1;
        if (line[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\' || i >= line.size()) {
                    token.text += c;
                    continue;
                }
                const char e = line[i++];
                if (e == 'n') token.text += '\n';
                else if (e == 't') token.text += '\t';
                else if (e == 'x') {
                    int64_t byte = 0;
                    if (i + 2 > line.size() || !ParseIntegerText("0x" + line.substr(i, 2), byte)) {
                        error.column = static_cast<int>(i) - 1;
                        error.offending = line.substr(i - 2, 4);
                        error.expected = "\\x followed by two hex digits";
                        return false;
                    }
                    token.text += static_cast<char>(byte);
                    i += 2;
                } else token.text += e;  // \" and \\ and anything else: the character itself
            }
            if (!closed) {
                error.column = token.column;
                error.offending = line.substr(static_cast<size_t>(token.column) - 1);
                error.expected = "a closing \" for this text";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') token.text += line[i++];
        }
        tokens.push_back(token);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Reading a line's words against a form

struct Cursor {
    std::vector<Token> tokens;
    size_t position = 0;
    std::string line;
    ParseError* error = nullptr;
    const ParserContext* context = nullptr;

    bool AtEnd() const { return position >= tokens.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens[position]; }

    bool Fail(const std::string& expected) {
        const Token* at = Peek();
        error->column = at != nullptr ? at->column : static_cast<int>(line.size()) + 1;
        error->offending = at != nullptr ? (at->quoted ? "\"" + at->text + "\"" : at->text) : "end of line";
        error->expected = expected;
        return false;
    }
    // Fails on the token just taken.
    bool FailBack(const std::string& expected) {
        if (position > 0) --position;
        return Fail(expected);
    }

    // Takes the next word when it is `keyword` (not quoted).
    bool Optional(const char* keyword) {
        const Token* at = Peek();
        if (at == nullptr || at->quoted || at->text != keyword) return false;
        ++position;
        return true;
    }
    bool Any(std::string& out, const std::string& expected) {
        if (AtEnd()) return Fail(expected);
        out = tokens[position++].text;
        return true;
    }
    bool Identifier(std::string& out, const std::string& expected) {
        const Token* at = Peek();
        if (at == nullptr || at->quoted || at->text.empty() || !IsIdentifierStart(at->text[0])) return Fail(expected);
        for (char c : at->text) {
            if (!IsIdentifierChar(c)) return Fail(expected);
        }
        out = tokens[position++].text;
        return true;
    }
    bool Integer(int64_t& out, int64_t low, int64_t high, const std::string& expected) {
        const Token* at = Peek();
        if (at == nullptr || at->quoted || !ParseIntegerText(at->text, out) || out < low || out > high) {
            return Fail(expected);
        }
        ++position;
        return true;
    }
    bool Int32(int32_t& out, const std::string& expected) {
        int64_t value = 0;
        if (!Integer(value, kInt32Min, kInt32Max, expected)) return false;
        out = static_cast<int32_t>(value);
        return true;
    }
    bool Literal(Value& out, const std::string& expected) {
        const Token* at = Peek();
        if (at == nullptr) return Fail(expected);
        out = Value{};
        out.spelling = at->quoted ? "\"" + at->text + "\"" : at->text;
        if (at->quoted) {
            out.kind = Value::Text;
            out.text = at->text;
        } else if (ParseIntegerText(at->text, out.integer)) {
            out.kind = Value::Integer;
            out.real = static_cast<double>(out.integer);
        } else if (ParseRealText(at->text, out.real)) {
            out.kind = Value::Real;
        } else {
            return Fail(expected);
        }
        ++position;
        return true;
    }
    bool End() { return AtEnd() || Fail("end of line"); }
};

// Whether a literal suits a value of a gate type; the expectation text when it does not.
bool FitsGate(const Value& value, int32_t gateType, std::string& expected) {
    switch (gateType) {
    case kGateWord:
    case kGateShort:
    case kGateWordAlt:
    case kGateFlag:
        expected = "a 16-bit integer (-32768 to 65535) for a " + GateTypeName(gateType) + " gate";
        return value.kind == Value::Integer && value.integer >= -32768 && value.integer <= 65535;
    case kGateReal:
        expected = "a number for a real gate";
        return value.kind == Value::Integer || value.kind == Value::Real;
    case kGateText:
        expected = "a quoted text of at most 79 characters for a text gate";
        return value.kind == Value::Text && value.text.size() <= kGateTextCapacity;
    default:
        expected = "a 32-bit integer for a " + GateTypeName(gateType) + " gate";
        return value.kind == Value::Integer && value.integer >= kInt32Min && value.integer <= 0xFFFFFFFFLL;
    }
}

bool FitsTag(const Value& value, int32_t tagType, std::string& expected) {
    switch (tagType) {
    case kTagByte:
    case kTagFlags:
        expected = "an 8-bit integer (-128 to 255) for a " + TagTypeName(tagType) + " tag";
        return value.kind == Value::Integer && value.integer >= -128 && value.integer <= 255;
    case kTagWord:
    case kTagShort:
        expected = "a 16-bit integer (-32768 to 65535) for a " + TagTypeName(tagType) + " tag";
        return value.kind == Value::Integer && value.integer >= -32768 && value.integer <= 65535;
    case kTagDouble:
        expected = "a number for a double tag";
        return value.kind == Value::Integer || value.kind == Value::Real;
    case kTagText:
        expected = "a quoted text of at most 95 characters for a text tag";
        return value.kind == Value::Text && value.text.size() <= kTagTextCapacity;
    default:
        expected = "a 32-bit integer for a " + TagTypeName(tagType) + " tag";
        return value.kind == Value::Integer && value.integer >= kInt32Min && value.integer <= 0xFFFFFFFFLL;
    }
}

const std::string kGateTypeExpected =
    "a gate type: " + Join(kGateTypeNames, 8) + ", or a type code such as 9";
const std::string kTagTypeExpected = "a tag type: " + Join(kTagTypeNames, 8) +
                                     ", for an array followed by [COUNT] or [FIRST..LAST]";

bool GateType(Cursor& in, Command& command) {
    const Token* at = in.Peek();
    if (at != nullptr && !at->quoted) {
        for (int32_t code = 0; code < 8; ++code) {
            if (at->text == kGateTypeNames[code]) {
                command.gateType = code;
                ++in.position;
                return true;
            }
        }
    }
    return in.Int32(command.gateType, kGateTypeExpected);
}

bool GateName(Cursor& in, Command& command) { return in.Any(command.name, "a gate name, such as TANK or TANK[3]"); }

bool FunctionName(Cursor& in, Command& command) {
    const std::string expected = "a library function name, such as ReadTagWord, or its ordinal";
    const Token* at = in.Peek();
    if (at == nullptr || at->quoted) return in.Fail(expected);
    int64_t ordinal = 0;
    if (ParseIntegerText(at->text, ordinal)) {
        if (ordinal < 1 || ordinal > 255) return in.Fail(expected);
        command.ordinal = static_cast<int32_t>(ordinal);
        command.name = at->text;
        ++in.position;
        return true;
    }
    if (!in.Identifier(command.name, expected)) return false;
    if (in.context->lookupFunction) {
        command.ordinal = in.context->lookupFunction(command.name);
        if (command.ordinal == 0) return in.FailBack(expected);
    }
    return true;
}

bool LineModeWord(Cursor& in, int32_t& mode, bool rts) {
    const std::string expected = rts ? "an RTS mode: off, on, handshake or toggle" : "a DTR mode: off, on or handshake";
    std::string word;
    if (!in.Any(word, expected)) return false;
    if (word == "off") mode = kLineOff;
    else if (word == "on") mode = kLineOn;
    else if (word == "handshake") mode = kLineHandshake;
    else if (rts && word == "toggle") mode = kLineToggle;
    else return in.FailBack(expected);
    return true;
}

enum class Match { None, Taken, Failed };

// dtr MODE or rts MODE, each at most once per line.
Match LineOption(Cursor& in, Command& command) {
    const bool dtr = in.Optional("dtr");
    if (!dtr && !in.Optional("rts")) return Match::None;
    bool& given = dtr ? command.hasDtr : command.hasRts;
    if (given) {
        in.FailBack(dtr ? "dtr given once only" : "rts given once only");
        return Match::Failed;
    }
    given = true;
    return LineModeWord(in, dtr ? command.dtr : command.rts, !dtr) ? Match::Taken : Match::Failed;
}

// ---------------------------------------------------------------------------------------------
// The forms

bool ParseNothing(Cursor& in, Command&) { return in.End(); }

bool ParseRequest(Cursor& in, Command& command) {
    // The gate requests need a gate record with a name: they have forms of their own.
    const std::string expected = "a request code, such as 2 (for 3, 5 and 7 use activate, read and write)";
    if (!in.Int32(command.number, expected)) return false;
    if (command.number == 3 || command.number == 5 || command.number == 7) return in.FailBack(expected);
    return in.End();
}

bool ParseTag(Cursor& in, Command& command) {
    if (!in.Any(command.name, "a tag name")) return false;
    if (command.name.find('[') != std::string::npos) return in.FailBack("a tag name without [index]");
    std::string type;
    if (!in.Any(type, kTagTypeExpected)) return false;
    std::string base = type;
    const size_t open = type.find('[');
    if (open != std::string::npos) base = type.substr(0, open);
    command.tagType = -1;
    for (int32_t code = 0; code < 8; ++code) {
        if (base == kTagTypeNames[code]) command.tagType = code;
    }
    if (command.tagType < 0) return in.FailBack(kTagTypeExpected);
    if (open != std::string::npos) {
        const std::string shape = type.substr(open + 1);
        const std::string shapeExpected = "[COUNT] with a count from 1 to 10000, or [FIRST..LAST]";
        if (shape.empty() || shape.back() != ']') return in.FailBack(shapeExpected);
        const std::string inside = shape.substr(0, shape.size() - 1);
        const size_t dots = inside.find("..");
        int64_t first = 0;
        int64_t last = 0;
        if (dots == std::string::npos) {
            if (!ParseIntegerText(inside, last) || last < 1 || last > 10000) return in.FailBack(shapeExpected);
            command.firstIndex = 0;
            command.elementCount = static_cast<int32_t>(last);
        } else {
            if (!ParseIntegerText(inside.substr(0, dots), first) || !ParseIntegerText(inside.substr(dots + 2), last) ||
                first < kInt32Min || last > kInt32Max || last < first || last - first >= 10000) {
                return in.FailBack(shapeExpected);
            }
            command.firstIndex = static_cast<int32_t>(first);
            command.elementCount = static_cast<int32_t>(last - first + 1);
        }
        if (command.tagType == kTagText || command.tagType == kTagFlags) {
            return in.FailBack("a scalar " + base + " tag: the library keeps no arrays of that type");
        }
    }
    if (in.AtEnd()) return true;
    if (!in.Optional("=")) return in.Fail("= and the initial value(s), or end of line");
    const size_t most = command.elementCount == 0 ? 1 : static_cast<size_t>(command.elementCount);
    do {
        Value value;
        std::string expected;
        FitsTag(value, command.tagType, expected);
        if (!in.Literal(value, expected)) return false;
        if (!FitsTag(value, command.tagType, expected)) return in.FailBack(expected);
        if (command.values.size() == most) {
            return in.FailBack("at most " + std::to_string(most) + " value(s) for this tag");
        }
        command.values.push_back(value);
    } while (!in.AtEnd());
    return true;
}

bool ParseUntag(Cursor& in, Command& command) { return in.Any(command.name, "a tag name") && in.End(); }

bool ParseLibraryPath(Cursor& in, Command& command) {
    if (in.Optional("set")) command.flag = true;
    else if (in.Optional("unset")) command.flag = false;
    else return in.Fail("set or unset");
    return in.End();
}

bool ParseInject(Cursor& in, Command& command) {
    if (!FunctionName(in, command)) return false;
    if (!in.Int32(command.number, "the status to answer, such as -2005")) return false;
    while (!in.AtEnd()) {
        if (in.Optional("times")) {
            int64_t times = 0;
            if (!in.Integer(times, 1, 1000, "a number of calls from 1 to 1000")) return false;
            command.times = static_cast<int32_t>(times);
        } else if (in.Optional("deliver")) {
            if (!in.Literal(command.value, "the value a read delivers all the same (number or quoted text)")) {
                return false;
            }
        } else {
            return in.Fail("times N, deliver VALUE or end of line");
        }
    }
    return true;
}

bool ParseActivate(Cursor& in, Command& command) {
    if (!GateName(in, command) || !GateType(in, command)) return false;
    while (!in.AtEnd()) {
        if (in.Optional("in1")) {
            if (!in.Int32(command.in1, "a 32-bit integer for activationIn1")) return false;
        } else if (in.Optional("in2")) {
            if (!in.Int32(command.in2, "a 32-bit integer for activationIn2")) return false;
        } else {
            return in.Fail("in1 N, in2 N or end of line");
        }
    }
    return true;
}

bool ParseRead(Cursor& in, Command& command) { return GateName(in, command) && GateType(in, command) && in.End(); }

bool ParseWrite(Cursor& in, Command& command) {
    if (!GateName(in, command) || !GateType(in, command)) return false;
    std::string expected;
    FitsGate(command.value, command.gateType, expected);
    if (!in.Literal(command.value, expected)) return false;
    if (!FitsGate(command.value, command.gateType, expected)) return in.FailBack(expected);
    return in.End();
}

bool ParseChannelActive(Cursor& in, Command& command) {
    if (!in.Int32(command.number, "the active flag, such as 1 or 0")) return false;
    if (in.Optional("timeout")) {
        command.hasTimeout = true;
        if (!in.Int32(command.timeout, "a time-out in units of 10 ms")) return false;
    }
    return in.End();
}

bool ParseChannelOptions(Cursor& in, Command& command) {
    const std::string expected = "dtr MODE and/or rts MODE, or an option word from 0 to 0xFFFF";
    const Token* at = in.Peek();
    if (at != nullptr && !at->quoted && at->text != "dtr" && at->text != "rts") {
        int64_t word = 0;
        if (!in.Integer(word, 0, 0xFFFF, expected)) return false;
        command.hasOptionWord = true;
        command.optionWord = static_cast<uint16_t>(word);
        return in.End();
    }
    if (in.AtEnd()) return in.Fail(expected);
    while (!in.AtEnd()) {
        const Match match = LineOption(in, command);
        if (match == Match::Failed) return false;
        if (match == Match::None) return in.Fail("dtr MODE, rts MODE or end of line");
    }
    return true;
}

bool ParseChannelConfigure(Cursor& in, Command& command) {
    const std::string deviceExpected =
        "a device name of at most 11 characters (12 fill the field without its NUL), such as COM3 or /dev/pts/4";
    if (!in.Any(command.name, deviceExpected)) return false;
    if (command.name.size() > kDeviceNameCapacity) return in.FailBack(deviceExpected);
    while (!in.AtEnd()) {
        int64_t number = 0;
        if (in.Optional("speed")) {
            if (!in.Integer(number, 0, 65535, "a line speed from 0 to 65535 (the record holds 16 bits; 0 keeps the stored settings)")) return false;
            command.hasSpeed = true;
            command.speed = static_cast<uint16_t>(number);
        } else if (in.Optional("data")) {
            if (!in.Integer(number, 0, 0xFFFF, "a number of data bits, such as 8")) return false;
            command.dataBits = static_cast<uint16_t>(number);
        } else if (in.Optional("stop")) {
            std::string stop;
            if (!in.Any(stop, "stop bits: 1, 1.5 or 2")) return false;
            if (stop == "1") command.stopBits = 0;
            else if (stop == "1.5") command.stopBits = 1;
            else if (stop == "2") command.stopBits = 2;
            else return in.FailBack("stop bits: 1, 1.5 or 2");
        } else if (in.Optional("parity")) {
            const std::string parityExpected = "a parity: " + Join(kParityNames, 5) + ", or a parity code";
            const Token* at = in.Peek();
            bool named = false;
            for (uint16_t code = 0; at != nullptr && code < 5; ++code) {
                if (at->text == kParityNames[code]) {
                    command.parity = code;
                    named = true;
                }
            }
            if (named) ++in.position;
            else if (!in.Integer(number, 0, 0xFFFF, parityExpected)) return false;
            else command.parity = static_cast<uint16_t>(number);
        } else if (in.Optional("timeout")) {
            command.hasTimeout = true;
            if (!in.Int32(command.timeout, "a time-out in units of 10 ms (0 keeps the stored one)")) return false;
        } else {
            const Match match = LineOption(in, command);
            if (match == Match::Failed) return false;
            if (match == Match::None) {
                return in.Fail("speed N, data N, parity P, stop S, timeout T, dtr MODE, rts MODE or end of line");
            }
        }
    }
    return true;
}

bool ParseExpectResult(Cursor& in, Command& command) {
    return in.Int32(command.number, "the result expected, such as 0") && in.End();
}

bool ParseExpectValue(Cursor& in, Command& command) {
    return in.Literal(command.value, "the value expected in the gate's value cell (number or quoted text)") && in.End();
}

bool ParseExpectMessage(Cursor& in, Command& command) {
    const Token* at = in.Peek();
    if (at == nullptr || !at->quoted) return in.Fail("the message text in quotes");
    return in.Literal(command.value, "the message text in quotes") && in.End();
}

bool ParseExpectMessages(Cursor& in, Command& command) {
    int64_t count = 0;
    if (!in.Integer(count, 0, 100, "a number of messages, such as 0")) return false;
    command.number = static_cast<int32_t>(count);
    return in.End();
}

bool ParseExpectCall(Cursor& in, Command& command) { return FunctionName(in, command) && in.End(); }

bool ParseExpectField(Cursor& in, Command& command) {
    std::string expected = "a record field:";
    for (const std::string& field : kFields) expected += " " + field;
    if (!in.Any(command.name, expected)) return false;
    bool known = false;
    for (const std::string& field : kFields) known = known || field == command.name;
    if (!known) return in.FailBack(expected);
    return in.Literal(command.value, "the value expected (number or quoted text)") && in.End();
}

bool ParseExpectTag(Cursor& in, Command& command) {
    const std::string expected = "a tag name, with [index] for an array element";
    if (!in.Any(command.name, expected)) return false;
    const size_t open = command.name.find('[');
    if (open != std::string::npos) {
        int64_t index = 0;
        if (command.name.back() != ']' ||
            !ParseIntegerText(command.name.substr(open + 1, command.name.size() - open - 2), index) ||
            index < kInt32Min || index > kInt32Max) {
            return in.FailBack(expected);
        }
        command.hasIndex = true;
        command.firstIndex = static_cast<int32_t>(index);
        command.name = command.name.substr(0, open);
    }
    return in.Literal(command.value, "the value the library's store should hold") && in.End();
}

bool ParseExpectChannel(Cursor& in, Command& command) {
    if (in.Optional("open")) command.flag = true;
    else if (in.Optional("closed")) command.flag = false;
    else return in.Fail("open or closed");
    return in.End();
}

bool ParseSet(Cursor& in, Command& command) {
    if (!in.Identifier(command.name, "a variable name (letters, digits, _)")) return false;
    std::string value;
    if (!in.Any(value, "the variable's value")) return false;
    command.value.kind = Value::Text;
    command.value.text = value;
    command.value.spelling = value;
    return in.End();
}

bool ParseTags(Cursor& in, Command& command) { return in.Any(command.name, "the path of a tag list") && in.End(); }

bool ParseStopOnFailure(Cursor& in, Command& command) {
    command.flag = true;
    if (in.Optional("off")) command.flag = false;
    else in.Optional("on");
    return in.End();
}

bool ParseEcho(Cursor& in, Command& command) {
    // The rest of the line as written.
    command.value.kind = Value::Text;
    if (!in.AtEnd()) command.value.text = in.line.substr(static_cast<size_t>(in.Peek()->column) - 1);
    in.position = in.tokens.size();
    return true;
}

struct Form {
    const char* keyword;  // one word, or a group word and a second word
    Verb verb;
    const char* syntax;
    const char* meaning;
    bool (*parse)(Cursor&, Command&);
};

// The grammar of the scenario language.
const Form kForms[] = {
    {"identify", Verb::Identify, "identify", "request 14: show the vendor name and the banner", ParseNothing},
    {"request", Verb::Request, "request CODE", "send a request with no records of its own (codes 2, 4, 6, 10, 11, or an unserved one)", ParseRequest},
    {"tag", Verb::Tag, "tag NAME TYPE[SHAPE] [= VALUE...]", "define a tag in the simulated library; TYPE byte|word|short|dword|long|double|flags|text, SHAPE [COUNT] or [FIRST..LAST] for an array", ParseTag},
    {"untag", Verb::Untag, "untag NAME", "remove a tag from the simulated library (an active one then answers -2007)", ParseUntag},
    {"library-path", Verb::LibraryPath, "library-path set|unset", "whether the library finds its data directory (unset: activation answers -2009)", ParseLibraryPath},
    {"library-deactivate", Verb::LibraryDeactivate, "library-deactivate NAME", "deactivate a tag in the library as another client would (it then answers -2005 until activated again)", ParseUntag},
    {"inject", Verb::Inject, "inject FUNCTION STATUS [times N] [deliver VALUE]", "the next N calls of a library function answer STATUS (a read delivering VALUE all the same)", ParseInject},
    {"activate", Verb::Activate, "activate GATE TYPE [in1 N] [in2 N]", "request 3: activate a gate", ParseActivate},
    {"read", Verb::Read, "read GATE TYPE", "request 5: read a gate into its value cell; TYPE word|short|wordalt|real|long|dword|flag|text or a code", ParseRead},
    {"write", Verb::Write, "write GATE TYPE VALUE", "request 7: put VALUE in the gate's value cell and write it", ParseWrite},
    {"channel active", Verb::ChannelActive, "channel active FLAG [timeout T]", "request 1: set the channel's active flag (and time-out, in 10 ms)", ParseChannelActive},
    {"channel options", Verb::ChannelOptions, "channel options [dtr MODE] [rts MODE] | channel options WORD", "set the channel's DTR/RTS option word, as the host does", ParseChannelOptions},
    {"channel configure", Verb::ChannelConfigure, "channel configure DEVICE [speed N] [data N] [parity P] [stop 1|1.5|2] [timeout T] [dtr MODE] [rts MODE]", "request 15: store a device and line settings and open the port", ParseChannelConfigure},
    {"channel open", Verb::ChannelOpen, "channel open", "request 13: open the port with the stored settings", ParseNothing},
    {"channel close", Verb::ChannelClose, "channel close", "request 12: close the port", ParseNothing},
    {"expect result", Verb::ExpectResult, "expect result N", "the last request returned N", ParseExpectResult},
    {"expect value", Verb::ExpectValue, "expect value VALUE", "the last gate request's value cell holds VALUE", ParseExpectValue},
    {"expect message", Verb::ExpectMessage, "expect message \"TEXT\"", "the last request reported exactly TEXT through err", ParseExpectMessage},
    {"expect messages", Verb::ExpectMessages, "expect messages N", "the last request reported N messages", ParseExpectMessages},
    {"expect call", Verb::ExpectCall, "expect call FUNCTION", "the last request called this library function", ParseExpectCall},
    {"expect no-call", Verb::ExpectNoCall, "expect no-call FUNCTION", "the last request did not call this library function", ParseExpectCall},
    {"expect field", Verb::ExpectField, "expect field FIELD VALUE", "a field of the last request's record holds VALUE", ParseExpectField},
    {"expect tag", Verb::ExpectTag, "expect tag NAME[INDEX] VALUE", "the simulated library's store holds VALUE for the tag", ParseExpectTag},
    {"expect channel", Verb::ExpectChannel, "expect channel open|closed", "whether the channel record holds a port handle", ParseExpectChannel},
    {"set", Verb::Set, "set NAME VALUE", "define ${NAME} for the lines below (a -D NAME=VALUE on the command line wins)", ParseSet},
    {"tags", Verb::Tags, "tags FILE", "define the tags of a tag list (a file of tag lines, beside the scenario)", ParseTags},
    {"stop-on-failure", Verb::StopOnFailure, "stop-on-failure [on|off]", "end the run at the first failed expectation or unexpected failed request", ParseStopOnFailure},
    {"echo", Verb::Echo, "echo TEXT", "print TEXT", ParseEcho},
    {"help", Verb::Help, "help", "list the commands", ParseNothing},
    {"quit", Verb::Quit, "quit", "end the run here", ParseNothing},
};

std::string FirstWords() {
    std::string out;
    std::string last;
    for (const Form& form : kForms) {
        std::string word = form.keyword;
        word = word.substr(0, word.find(' '));
        if (word == last) continue;
        if (!out.empty()) out += ", ";
        out += word;
        last = word;
    }
    return out;
}

}  // namespace

std::string GateTypeName(int32_t code) {
    return code >= 0 && code < 8 ? kGateTypeNames[code] : std::to_string(code);
}

std::string TagTypeName(int32_t code) {
    return code >= 0 && code < 8 ? kTagTypeNames[code] : std::to_string(code);
}

const std::vector<std::string>& FieldNames() { return kFields; }

std::vector<FormHelp> Forms() {
    std::vector<FormHelp> out;
    for (const Form& form : kForms) out.push_back({form.syntax, form.meaning});
    return out;
}

std::string FormatParseError(const ParseError& error) {
    std::ostringstream out;
    out << error.file << ":" << error.line;
    if (error.column > 0) out << ":" << error.column;
    out << ": found " << (error.offending == "end of line" ? error.offending : "'" + error.offending + "'")
        << ", expected " << error.expected << "\n";
    out << "    | " << error.text << "\n";
    if (error.column > 0) {
        const size_t width = error.offending == "end of line" ? 1 : error.offending.size();
        out << "    | " << std::string(static_cast<size_t>(error.column) - 1, ' ') << std::string(width, '^') << "\n";
    }
    if (!error.form.empty()) out << "    form: " << error.form << "\n";
    return out.str();
}

LineResult ParseLine(const std::string& raw, const std::string& file, int line, ParserContext& context) {
    LineResult result;
    ParseError& error = result.error;
    error.file = file;
    error.line = line;
    std::string text;
    if (!ExpandLine(raw, context, text, error)) {
        error.text = text;
        result.kind = LineResult::Failed;
        return result;
    }
    error.text = text;
    Cursor in;
    in.line = text;
    in.error = &error;
    in.context = &context;
    if (!Tokenize(text, in.tokens, error)) {
        result.kind = LineResult::Failed;
        return result;
    }
    if (in.tokens.empty()) return result;

    const Token& first = in.tokens[0];
    const Form* match = nullptr;
    bool group = false;  // the first word names a group of forms ("channel", "expect")
    for (const Form& form : kForms) {
        const std::string keyword = form.keyword;
        const size_t space = keyword.find(' ');
        if (space == std::string::npos) {
            if (!first.quoted && first.text == keyword) match = &form;
            continue;
        }
        if (first.quoted || first.text != keyword.substr(0, space)) continue;
        group = true;
        if (in.tokens.size() > 1 && !in.tokens[1].quoted && in.tokens[1].text == keyword.substr(space + 1)) {
            match = &form;
        }
    }
    if (match == nullptr) {
        result.kind = LineResult::Failed;
        if (group) {
            std::string choices;
            for (const Form& form : kForms) {
                const std::string keyword = form.keyword;
                if (keyword.compare(0, first.text.size() + 1, first.text + " ") != 0) continue;
                if (!choices.empty()) choices += ", ";
                choices += keyword.substr(first.text.size() + 1);
            }
            in.position = 1;
            in.Fail("after " + first.text + " one of: " + choices);
        } else {
            in.Fail("a command: " + FirstWords());
        }
        return result;
    }
    in.position = std::string(match->keyword).find(' ') == std::string::npos ? 1 : 2;
    Command& command = result.command;
    command.verb = match->verb;
    command.file = file;
    command.line = line;
    command.text = text;
    if (!match->parse(in, command)) {
        error.form = match->syntax;
        result.kind = LineResult::Failed;
        return result;
    }
    if (command.verb == Verb::Set && context.fixedVariables.count(command.name) == 0) {
        context.variables[command.name] = command.value.text;
    }
    result.kind = LineResult::Parsed;
    return result;
}

std::string ResolveBeside(const std::string& including, const std::string& path) {
    const bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\' ||
                                            (path.size() > 1 && path[1] == ':'));
    if (absolute) return path;
    const size_t slash = including.find_last_of("/\\");
    return slash == std::string::npos ? path : including.substr(0, slash + 1) + path;
}

ScriptResult ParseScript(const std::string& text, const std::string& file, ParserContext& context, bool tagListOnly) {
    ScriptResult out;
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        LineResult line = ParseLine(raw, file, number, context);
        if (line.kind == LineResult::Blank) continue;
        if (line.kind == LineResult::Failed) {
            out.errors.push_back(line.error);
            continue;
        }
        const Verb verb = line.command.verb;
        if (tagListOnly && verb != Verb::Tag && verb != Verb::Set) {
            ParseError error;
            error.file = file;
            error.line = number;
            error.column = 1;
            error.text = line.command.text;
            error.offending = line.command.text.substr(0, line.command.text.find(' '));
            error.expected = "a tag definition (a tag list holds only tag and set lines)";
            out.errors.push_back(error);
            continue;
        }
        out.commands.push_back(line.command);
        if (verb == Verb::Tags) {
            const std::string path = ResolveBeside(file, line.command.name);
            ScriptResult list = ParseScriptFile(path, context, true);
            if (list.commands.empty() && list.errors.size() == 1 && list.errors[0].line == 0) {
                // The list could not be read: say so at the line that names it.
                ParseError error = list.errors[0];
                error.file = file;
                error.line = number;
                error.text = line.command.text;
                error.column = static_cast<int>(line.command.text.find(line.command.name)) + 1;
                error.offending = line.command.name;
                out.errors.push_back(error);
                continue;
            }
            out.commands.insert(out.commands.end(), list.commands.begin(), list.commands.end());
            out.errors.insert(out.errors.end(), list.errors.begin(), list.errors.end());
        }
    }
    return out;
}

ScriptResult ParseScriptFile(const std::string& path, ParserContext& context, bool tagListOnly) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ScriptResult out;
        ParseError error;
        error.file = path;
        error.offending = path;
        error.expected = "a readable file (it cannot be opened)";
        out.errors.push_back(error);
        return out;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScript(text.str(), path, context, tagListOnly);
}

}  // namespace scenario
