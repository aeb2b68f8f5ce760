#pragma once

// A recording, fault-injecting stand-in for the seven communications operations. While a
// FakeComm lives, the port code calls it instead of the platform: every call is recorded, the
// devices are simulated, and any call can be made to fail once or from its Nth time on.

#include <cstdint>
#include <deque>
#include <ostream>
#include <map>
#include <string>
#include <vector>

#include "serial/comm_operations.h"

enum class CommOp { CreateFileA, GetCommState, SetCommState, GetCommTimeouts, SetCommTimeouts,
                    SetupComm, CloseHandle, Any };

const char* CommOpName(CommOp op);
inline std::ostream& operator<<(std::ostream& out, CommOp op) { return out << CommOpName(op); }

struct CommCall {
    CommOp op;
    PortHandle handle = nullptr;  // the handle passed; for CreateFileA the one returned
    bool failed = false;
    // CreateFileA
    std::string name;
    uint32_t access = 0, shareMode = 0, disposition = 0, flags = 0;
    bool securityGiven = false, templateGiven = false;
    // GetCommState: the block as passed in; SetCommState: the block applied
    DCB dcb{};
    // SetCommTimeouts: the time-outs applied
    COMMTIMEOUTS timeouts{};
    // SetupComm
    uint32_t inQueue = 0, outQueue = 0;
};

struct FakeDevice {
    std::string name;            // found by CreateFileA whatever the letter case, as Windows does
    bool serial = true;          // false: the state and time-out calls fail, as on the null device
    bool exclusive = true;       // false: a second open while it is held succeeds
    DCB state{};                 // what GetCommState reports; SetCommState replaces it
    COMMTIMEOUTS timeouts{};     // what GetCommTimeouts reports; SetCommTimeouts replaces it
    int openHandles = 0;
};

struct FakeComm {
    FakeComm();   // installs itself as the table the port code calls through
    ~FakeComm();  // and puts back what was there
    FakeComm(const FakeComm&) = delete;
    FakeComm& operator=(const FakeComm&) = delete;

    FakeDevice& AddDevice(const std::string& name, bool serial = true);
    // Makes calls number first to last (counted from 1, per operation; for CommOp::Any over
    // all calls) fail.
    void Fail(CommOp op, int first, int last);
    void FailOnce(CommOp op, int nth) { Fail(op, nth, nth); }
    void FailFrom(CommOp op, int first) { Fail(op, first, INT32_MAX); }

    // Opens a device directly, as if the port code had, without recording a call.
    PortHandle OpenDirect(const std::string& name);
    bool IsOpen(PortHandle handle) const { return open.count(handle) != 0; }
    FakeDevice* DeviceOf(PortHandle handle);
    std::vector<CommOp> Sequence() const;
    std::vector<CommCall> CallsOf(CommOp op) const;

    std::vector<CommCall> calls;
    std::deque<FakeDevice> devices;
    std::map<PortHandle, FakeDevice*> open;

    // For the operations themselves.
    static FakeComm* current;
    bool Fails(CommOp op);
    FakeDevice* Find(const char* name);
    PortHandle NewHandle(FakeDevice* device);

private:
    struct Fault {
        CommOp op;
        int first, last;
    };
    std::vector<Fault> faults;
    int counts[8] = {};
    uintptr_t nextHandle = 0x100;
    const CommOperations* previous;
};
