#pragma once

// The scenario language of qorhost: one command per line. Its grammar is the table kForms in
// scenario.cpp and nowhere else; docs/scenario-language.md describes it for integrators.
// This module depends on the standard library alone, so its tests need nothing else.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace scenario {

enum class Verb {
    Identify,
    Request,
    Tag,
    Untag,
    LibraryPath,
    LibraryDeactivate,
    Inject,
    Activate,
    Read,
    Write,
    ChannelActive,
    ChannelOptions,
    ChannelConfigure,
    ChannelOpen,
    ChannelClose,
    ExpectResult,
    ExpectValue,
    ExpectMessage,
    ExpectMessages,
    ExpectCall,
    ExpectNoCall,
    ExpectField,
    ExpectTag,
    ExpectChannel,
    Set,
    Tags,
    StopOnFailure,
    Echo,
    Help,
    Quit,
};

// A literal as written: an integer (decimal or 0x hex), a real number or a quoted text.
struct Value {
    enum Kind { None, Integer, Real, Text } kind = None;
    int64_t integer = 0;
    double real = 0.0;  // also set for integers
    std::string text;   // the text of a quoted literal
    std::string spelling;
};

// Gate types as the host's gate record carries them.
enum GateTypeCode : int32_t {
    kGateWord = 0, kGateShort = 1, kGateWordAlt = 2, kGateReal = 3,
    kGateLong = 4, kGateDword = 5, kGateFlag = 6, kGateText = 7,
};
// Tag types of the simulated library's store (numbered as its control interface numbers them).
enum TagTypeCode : int32_t {
    kTagByte = 0, kTagWord = 1, kTagShort = 2, kTagDword = 3,
    kTagLong = 4, kTagDouble = 5, kTagFlags = 6, kTagText = 7,
};

// Line control modes of the channel's DTR and RTS lines.
enum LineMode : int32_t { kLineOff = 0, kLineOn = 1, kLineHandshake = 2, kLineToggle = 3 };

struct Command {
    Verb verb = Verb::Echo;
    std::string file;  // where the command stands
    int line = 0;
    std::string text;  // the line as written, variables expanded, comment and blanks trimmed

    std::string name;        // gate, tag, function, field, variable, device or file
    int32_t gateType = 0;    // activate, read, write
    int32_t tagType = 0;     // tag
    int32_t firstIndex = 0;  // tag: first element; expect tag: the element (hasIndex)
    int32_t elementCount = 0;  // tag: 0 for a scalar
    bool hasIndex = false;
    int32_t number = 0;      // request code, status, result, message count, active flag
    int32_t ordinal = 0;     // inject, expect call: the library function
    int32_t times = 1;       // inject: how many calls answer the status
    bool flag = false;       // on/set/open
    Value value;             // write, expect, set, deliver
    std::vector<Value> values;  // tag: initial values from the first element on

    // Channel: each part only when hasX.
    bool hasTimeout = false;
    int32_t timeout = 0;
    bool hasSpeed = false;
    uint16_t speed = 0;
    uint16_t dataBits = 8;
    uint16_t stopBits = 0;
    uint16_t parity = 0;
    bool hasDtr = false;
    int32_t dtr = kLineOff;
    bool hasRts = false;
    int32_t rts = kLineOff;
    bool hasOptionWord = false;
    uint16_t optionWord = 0;
    int32_t in1 = 0;         // activate: activationIn1 and activationIn2
    int32_t in2 = 0;
};

// What a line fails on: where, the offending text, and what was expected there.
struct ParseError {
    std::string file;
    int line = 0;
    int column = 0;          // 1-based, in the expanded line; 0 when the whole line is meant
    std::string text;        // the line as written (variables expanded)
    std::string offending;   // the text found, or "end of line"
    std::string expected;    // what would have been accepted there
    std::string form;        // the syntax of the command, when the command was recognised
};

// Renders an error the way the bench prints it: file:line, the line with a caret, the expectation.
std::string FormatParseError(const ParseError& error);

struct ParserContext {
    std::map<std::string, std::string> variables;
    std::set<std::string> fixedVariables;  // given on the command line; `set` leaves them alone
    // Ordinal of a library function by name, 0 when there is none. When empty, any
    // identifier is taken and left to the runner to resolve.
    std::function<int32_t(const std::string&)> lookupFunction;
};

struct LineResult {
    enum Kind { Blank, Parsed, Failed } kind = Blank;
    Command command;
    ParseError error;
};

// Parses one line. `set` lines also define their variable in the context.
LineResult ParseLine(const std::string& text, const std::string& file, int line, ParserContext& context);

struct ScriptResult {
    std::vector<Command> commands;
    std::vector<ParseError> errors;
};

// Parses a whole scenario. A `tags FILE` line is followed by the tag definitions of that file
// (its path taken from the scenario's folder); a tag list holds only tag definitions.
ScriptResult ParseScript(const std::string& text, const std::string& file, ParserContext& context,
                         bool tagListOnly = false);
ScriptResult ParseScriptFile(const std::string& path, ParserContext& context, bool tagListOnly = false);

// A file path resolved against the folder of the file that names it.
std::string ResolveBeside(const std::string& including, const std::string& path);

// One entry per command form: its syntax and what it does (used by `help` and the docs).
struct FormHelp {
    std::string syntax;
    std::string meaning;
};
std::vector<FormHelp> Forms();

// The record field names that `expect field` knows.
const std::vector<std::string>& FieldNames();

// Names of gate and tag types, and the spelling of a gate type code ("word", or "9").
std::string GateTypeName(int32_t code);
std::string TagTypeName(int32_t code);

}  // namespace scenario
