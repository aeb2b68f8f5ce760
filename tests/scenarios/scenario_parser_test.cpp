// The scenario language's parser: what it makes of good lines, and how it refuses bad ones.
#include <gtest/gtest.h>

#include "tools/qorhost/scenario.h"

namespace {

using scenario::LineResult;
using scenario::ParserContext;
using scenario::Verb;

int32_t KnownFunctions(const std::string& name) {
    if (name == "ReadTagWord") return 25;
    if (name == "ReadTagDouble") return 13;
    return 0;
}

LineResult Parse(const std::string& line, ParserContext& context) {
    return scenario::ParseLine(line, "t.qsc", 7, context);
}

LineResult Parse(const std::string& line) {
    ParserContext context;
    context.lookupFunction = KnownFunctions;
    return Parse(line, context);
}

struct BadLine {
    const char* line;
    const char* offending;  // the text the error points at
    const char* expected;   // a part of what it says was expected
    int column;
};

// Every refusal names the offending text, where it stands, and what would have been taken.
const BadLine kBadLines[] = {
    {"reed PUMP word", "reed", "a command: identify, request, tag", 1},
    {"read PUMP wrod", "wrod", "a gate type: word, short, wordalt, real", 11},
    {"read PUMP", "end of line", "a gate type", 10},
    {"read PUMP word extra", "extra", "end of line", 16},
    {"write PUMP word 70000", "70000", "a 16-bit integer", 17},
    {"write PUMP word", "end of line", "a 16-bit integer", 16},
    {"write FLOW real abc", "abc", "a number for a real gate", 17},
    {"write NAME text hello", "hello", "a quoted text", 17},
    {"write NAME text \"unclosed", "\"unclosed", "a closing \"", 17},
    {"write COUNT long 4294967296", "4294967296", "a 32-bit integer", 18},
    {"tag PUMP wurd", "wurd", "a tag type: byte, word", 10},
    {"tag TANK double[0]", "double[0]", "[COUNT]", 10},
    {"tag TANK double[5..2]", "double[5..2]", "[FIRST..LAST]", 10},
    {"tag MSG text[3]", "text[3]", "no arrays of that type", 9},
    {"tag PUMP word = 1 2", "2", "at most 1 value", 19},
    {"tag PUMP word 5", "5", "= and the initial value", 15},
    {"tag STEP byte = 300", "300", "an 8-bit integer", 17},
    {"tag T[1] word", "T[1]", "without [index]", 5},
    {"inject ReadTagWrd -2000", "ReadTagWrd", "a library function name", 8},
    {"inject ReadTagWord", "end of line", "the status to answer", 19},
    {"inject ReadTagWord -2000 times 0", "0", "a number of calls from 1", 32},
    {"inject ReadTagWord -2000 twice", "twice", "times N, deliver VALUE", 26},
    {"channel opn", "opn", "after channel one of: active, options, configure, open, close", 9},
    {"channel configure COM1 speed 115200", "115200", "a line speed from 0 to 65535", 30},
    {"channel configure COM1 stop 3", "3", "stop bits: 1, 1.5 or 2", 29},
    {"channel configure COM1 parity weird", "weird", "a parity: none, odd, even", 31},
    {"channel configure COM1 dtr toggle", "toggle", "a DTR mode", 28},
    {"channel configure COM1 dtr on dtr off", "dtr", "dtr given once only", 31},
    {"channel configure /dev/ttyUSB10x", "/dev/ttyUSB10x", "at most 11 characters", 19},
    {"channel configure COM1 baud 9600", "baud", "speed N, data N", 24},
    {"channel options 0x10000", "0x10000", "an option word from 0 to 0xFFFF", 17},
    {"channel options", "end of line", "dtr MODE and/or rts MODE", 16},
    {"channel active yes", "yes", "the active flag", 16},
    {"expect reslt 0", "reslt", "after expect one of: result, value, message", 8},
    {"expect message QorBVN", "QorBVN", "the message text in quotes", 16},
    {"expect field colour 1", "colour", "a record field: timeout portHandle", 14},
    {"expect call Nothing", "Nothing", "a library function name", 13},
    {"expect tag TANK[x] 1", "TANK[x]", "with [index] for an array element", 12},
    {"expect channel ajar", "ajar", "open or closed", 16},
    {"library-path maybe", "maybe", "set or unset", 14},
    {"request 5", "5", "use activate, read and write", 9},
    {"read ${NOWHERE} word", "${NOWHERE}", "a variable defined before this line", 6},
    {"set 9LIVES 1", "9LIVES", "a variable name", 5},
    {"write MSG text \"\\xZZ\"", "\\xZZ", "\\x followed by two hex digits", 17},
};

TEST(ScenarioParser, RefusesBadLinesSayingWhereAndWhatWasExpected) {
    for (const BadLine& bad : kBadLines) {
        SCOPED_TRACE(bad.line);
        const LineResult result = Parse(bad.line);
        ASSERT_EQ(result.kind, LineResult::Failed);
        EXPECT_EQ(result.error.file, "t.qsc");
        EXPECT_EQ(result.error.line, 7);
        EXPECT_EQ(result.error.offending, bad.offending);
        EXPECT_NE(result.error.expected.find(bad.expected), std::string::npos) << result.error.expected;
        EXPECT_EQ(result.error.column, bad.column);
    }
}

TEST(ScenarioParser, FormatsAnErrorWithItsPlaceAndACaret) {
    const LineResult result = Parse("read PUMP wrod");
    const std::string text = scenario::FormatParseError(result.error);
    EXPECT_NE(text.find("t.qsc:7:11: found 'wrod', expected a gate type"), std::string::npos) << text;
    EXPECT_NE(text.find("    | read PUMP wrod\n    |           ^^^^\n"), std::string::npos) << text;
    EXPECT_NE(text.find("form: read GATE TYPE"), std::string::npos) << text;
}

TEST(ScenarioParser, ReadsGoodLines) {
    LineResult r = Parse("  write TANK[3] real -1.5e2   # a comment");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.verb, Verb::Write);
    EXPECT_EQ(r.command.name, "TANK[3]");
    EXPECT_EQ(r.command.gateType, scenario::kGateReal);
    EXPECT_EQ(r.command.value.real, -150.0);
    EXPECT_EQ(r.command.text, "write TANK[3] real -1.5e2");

    r = Parse("read \"TANK[ 3 ]\" 9");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.name, "TANK[ 3 ]");
    EXPECT_EQ(r.command.gateType, 9);

    r = Parse("write MSG text \"say \\\"hi\\\" # not a comment\"");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.value.text, "say \"hi\" # not a comment");

    r = Parse("tag TANK double[1..8] = 10.5 20 0x1F");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.tagType, scenario::kTagDouble);
    EXPECT_EQ(r.command.firstIndex, 1);
    EXPECT_EQ(r.command.elementCount, 8);
    ASSERT_EQ(r.command.values.size(), 3u);
    EXPECT_EQ(r.command.values[2].real, 31.0);

    r = Parse("channel configure COM3 speed 9600 data 0x0108 parity even stop 1.5 timeout 5 dtr handshake rts toggle");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.name, "COM3");
    EXPECT_EQ(r.command.speed, 9600);
    EXPECT_EQ(r.command.dataBits, 0x0108);
    EXPECT_EQ(r.command.parity, 2);
    EXPECT_EQ(r.command.stopBits, 1);
    EXPECT_EQ(r.command.timeout, 5);
    EXPECT_EQ(r.command.dtr, scenario::kLineHandshake);
    EXPECT_EQ(r.command.rts, scenario::kLineToggle);

    r = Parse("inject ReadTagDouble -2005 times 2 deliver 1.25");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.ordinal, 13);
    EXPECT_EQ(r.command.number, -2005);
    EXPECT_EQ(r.command.times, 2);
    EXPECT_EQ(r.command.value.real, 1.25);

    r = Parse("expect tag TANK[-2] 3");
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.name, "TANK");
    EXPECT_TRUE(r.command.hasIndex);
    EXPECT_EQ(r.command.firstIndex, -2);

    EXPECT_EQ(Parse("   # only a comment").kind, LineResult::Blank);
    EXPECT_EQ(Parse("request 10").kind, LineResult::Parsed);
}

TEST(ScenarioParser, VariablesFromTheCommandLineWinOverSet) {
    ParserContext context;
    context.variables["PORT"] = "COM5";
    context.fixedVariables.insert("PORT");
    ASSERT_EQ(Parse("set PORT /dev/ttyS0", context).kind, LineResult::Parsed);
    ASSERT_EQ(Parse("set GATE PUMP", context).kind, LineResult::Parsed);
    const LineResult r = Parse("channel configure ${PORT} # ${UNDEFINED} in a comment", context);
    ASSERT_EQ(r.kind, LineResult::Parsed);
    EXPECT_EQ(r.command.name, "COM5");
    EXPECT_EQ(Parse("read ${GATE} word", context).command.name, "PUMP");
}

TEST(ScenarioParser, ScriptCollectsEveryErrorAndKeepsTagListsToTags) {
    ParserContext context;
    const scenario::ScriptResult script =
        scenario::ParseScript("identify\nreed X\n\nread X word\nwrite X word\n", "s.qsc", context);
    ASSERT_EQ(script.errors.size(), 2u);
    EXPECT_EQ(script.errors[0].line, 2);
    EXPECT_EQ(script.errors[1].line, 5);
    EXPECT_EQ(script.commands.size(), 2u);

    const scenario::ScriptResult list =
        scenario::ParseScript("tag A word = 1\nread A word\n", "l.tags", context, true);
    ASSERT_EQ(list.errors.size(), 1u);
    EXPECT_EQ(list.errors[0].line, 2);
    EXPECT_NE(list.errors[0].expected.find("a tag definition"), std::string::npos);

    const scenario::ScriptResult missing =
        scenario::ParseScript("tags no-such.tags\n", "/nowhere/s.qsc", context);
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].line, 1);
    EXPECT_EQ(missing.errors[0].offending, "no-such.tags");
}

TEST(ScenarioParser, EveryFormIsDocumentedOnce) {
    const std::vector<scenario::FormHelp> forms = scenario::Forms();
    EXPECT_GE(forms.size(), 25u);
    for (const scenario::FormHelp& form : forms) {
        EXPECT_FALSE(form.syntax.empty());
        EXPECT_FALSE(form.meaning.empty());
    }
}

}  // namespace
