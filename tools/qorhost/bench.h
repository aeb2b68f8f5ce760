#pragma once

// The host bench: owns the host's records, sends the driver its requests, serves err, seeds
// the simulated data-exchange library and checks a scenario's expectations.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/driver_request.h"
#include "gates/gate_record.h"
#include "serial/channel_config.h"
#include "tools/qorhost/scenario.h"

typedef int32_t(QOR_WINAPI* QorMainEntry)(DriverRequest* request);

struct BenchSettings {
    bool quiet = false;          // print only what failed, and the summary
    bool echoCommands = true;    // print each command's file:line and text before it runs
    std::FILE* out = stdout;
    std::FILE* log = nullptr;    // every err message also goes here
};

// One field of a host record as it stood at a moment.
struct FieldValue {
    std::string name;
    int kind = 0;
    std::vector<uint8_t> raw;  // the field's bytes, or for text pointers the text they point to
    std::string shown;
};

// Ordinal of a library function of the simulated library by its name; 0 when none.
int32_t LibraryOrdinal(const std::string& name);

class Bench {
public:
    Bench(QorMainEntry qorMain, const BenchSettings& settings);
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Runs a scenario to its end, a quit, or a stop on failure.
    void RunScript(const std::vector<scenario::Command>& commands);
    // Runs one command. False when the run is to end here.
    bool RunCommand(const scenario::Command& command);

    void EchoCommands(bool echo) { settings_.echoCommands = echo; }
    void PrintSummary(const std::string& title);
    // Every expectation held and nothing stopped the run.
    bool Passed() const { return failedExpectations_ == 0 && !stopped_; }

    // The err message service: called by the host runtime for every message.
    void OnMessage(int level, const std::string& text);

private:
    struct Message {
        int level;
        std::string text;
    };
    struct Gate {
        std::string name;  // the text the record's name points to
        GateRecord record{};
        ValueCell cell{};
    };
    // The last request and what came of it: what the expectations look at.
    struct Outcome {
        bool any = false;
        int32_t code = 0;
        int32_t result = 0;
        bool failed = false;
        bool gate = false;
        int32_t gateType = 0;
        std::vector<Message> messages;
        std::vector<int32_t> ordinals;  // the library calls it made
        std::vector<FieldValue> fields;  // its record's fields afterwards
        std::string where;
    };

    int32_t Send(int32_t code, void* params, std::vector<FieldValue> (Bench::*fields)(void*) const, void* record,
                 const scenario::Command& command);
    void ShowLibraryCalls();
    std::vector<FieldValue> ChannelFields(void*) const;
    std::vector<FieldValue> GateFields(void* gate) const;
    std::vector<FieldValue> InfoFields(void* info) const;
    Gate& GateNamed(const std::string& name, int32_t type);

    bool Expect(const scenario::Command& command);
    bool Check(const scenario::Command& command, std::string& got);
    void Setup(const scenario::Command& command);
    void Failure(const scenario::Command& command, const std::string& what);

    void Line(const std::string& label, const std::string& text);
    void Raw(const std::string& text);
    void EndBlock();

    QorMainEntry qorMain_;
    BenchSettings settings_;
    ChannelState channel_{};
    std::map<std::string, std::unique_ptr<Gate>> gates_;
    std::map<std::string, int32_t> tagTypes_;  // the tags this run defined
    Outcome last_;
    std::string current_;  // file:line of the command running
    bool stopOnFailure_ = false;
    bool stopped_ = false;
    bool blockFailed_ = false;
    std::string block_;

    int requests_ = 0;
    int failedRequests_ = 0;
    int messages_ = 0;
    int passedExpectations_ = 0;
    int failedExpectations_ = 0;
    std::vector<std::string> failures_;
};
