#include "tests/support/fake_comm.h"

#include <cctype>
#include <cstring>

FakeComm* FakeComm::current = nullptr;

const char* CommOpName(CommOp op) {
    switch (op) {
        case CommOp::CreateFileA: return "CreateFileA";
        case CommOp::GetCommState: return "GetCommState";
        case CommOp::SetCommState: return "SetCommState";
        case CommOp::GetCommTimeouts: return "GetCommTimeouts";
        case CommOp::SetCommTimeouts: return "SetCommTimeouts";
        case CommOp::SetupComm: return "SetupComm";
        case CommOp::CloseHandle: return "CloseHandle";
        case CommOp::Any: return "Any";
    }
    return "?";
}

namespace {

bool SameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

CommCall& Record(CommOp op, PortHandle handle) {
    FakeComm& fake = *FakeComm::current;
    CommCall call;
    call.op = op;
    call.handle = handle;
    call.failed = fake.Fails(op);
    fake.calls.push_back(call);
    return fake.calls.back();
}

PortHandle QOR_WINAPI FakeCreateFile(const char* fileName, uint32_t access, uint32_t shareMode,
                                     void* security, uint32_t disposition, uint32_t flags,
                                     PortHandle templateFile) {
    FakeComm& fake = *FakeComm::current;
    CommCall& call = Record(CommOp::CreateFileA, INVALID_HANDLE_VALUE);
    call.name = fileName;
    call.access = access;
    call.shareMode = shareMode;
    call.disposition = disposition;
    call.flags = flags;
    call.securityGiven = security != nullptr;
    call.templateGiven = templateFile != nullptr;
    FakeDevice* device = fake.Find(fileName);
    if (call.failed || device == nullptr ||
        (device->exclusive && device->openHandles > 0)) {
        call.failed = true;
        return INVALID_HANDLE_VALUE;
    }
    call.handle = fake.NewHandle(device);
    return call.handle;
}

int32_t QOR_WINAPI FakeGetCommState(PortHandle file, DCB* dcb) {
    CommCall& call = Record(CommOp::GetCommState, file);
    call.dcb = *dcb;
    FakeDevice* device = FakeComm::current->DeviceOf(file);
    if (call.failed || device == nullptr || !device->serial) return call.failed = true, 0;
    *dcb = device->state;
    return 1;
}

int32_t QOR_WINAPI FakeSetCommState(PortHandle file, DCB* dcb) {
    CommCall& call = Record(CommOp::SetCommState, file);
    call.dcb = *dcb;
    FakeDevice* device = FakeComm::current->DeviceOf(file);
    if (call.failed || device == nullptr || !device->serial) return call.failed = true, 0;
    device->state = *dcb;
    return 1;
}

int32_t QOR_WINAPI FakeGetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts) {
    CommCall& call = Record(CommOp::GetCommTimeouts, file);
    FakeDevice* device = FakeComm::current->DeviceOf(file);
    if (call.failed || device == nullptr || !device->serial) return call.failed = true, 0;
    *timeouts = device->timeouts;
    call.timeouts = *timeouts;
    return 1;
}

int32_t QOR_WINAPI FakeSetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts) {
    CommCall& call = Record(CommOp::SetCommTimeouts, file);
    call.timeouts = *timeouts;
    FakeDevice* device = FakeComm::current->DeviceOf(file);
    if (call.failed || device == nullptr || !device->serial) return call.failed = true, 0;
    device->timeouts = *timeouts;
    return 1;
}

int32_t QOR_WINAPI FakeSetupComm(PortHandle file, uint32_t inQueue, uint32_t outQueue) {
    CommCall& call = Record(CommOp::SetupComm, file);
    call.inQueue = inQueue;
    call.outQueue = outQueue;
    FakeDevice* device = FakeComm::current->DeviceOf(file);
    if (call.failed || device == nullptr || !device->serial) return call.failed = true, 0;
    return 1;
}

int32_t QOR_WINAPI FakeCloseHandle(PortHandle object) {
    FakeComm& fake = *FakeComm::current;
    CommCall& call = Record(CommOp::CloseHandle, object);
    auto found = fake.open.find(object);
    if (call.failed || found == fake.open.end()) return call.failed = true, 0;
    found->second->openHandles -= 1;
    fake.open.erase(found);
    return 1;
}

const CommOperations kFakeComm = {
    FakeCreateFile,      FakeGetCommState, FakeSetCommState, FakeGetCommTimeouts,
    FakeSetCommTimeouts, FakeSetupComm,    FakeCloseHandle,
};

}  // namespace

FakeComm::FakeComm() : previous(commOperations) {
    current = this;
    commOperations = &kFakeComm;
}

FakeComm::~FakeComm() {
    commOperations = previous;
    current = nullptr;
}

FakeDevice& FakeComm::AddDevice(const std::string& name, bool serial) {
    FakeDevice device;
    device.name = name;
    device.serial = serial;
    devices.push_back(device);
    return devices.back();
}

void FakeComm::Fail(CommOp op, int first, int last) { faults.push_back({op, first, last}); }

bool FakeComm::Fails(CommOp op) {
    const int count = ++counts[static_cast<int>(op)];
    const int any = ++counts[static_cast<int>(CommOp::Any)];
    for (const Fault& fault : faults) {
        const int n = fault.op == CommOp::Any ? any : fault.op == op ? count : 0;
        if (n >= fault.first && n <= fault.last) return true;
    }
    return false;
}

FakeDevice* FakeComm::Find(const char* name) {
    for (FakeDevice& device : devices) {
        if (SameName(device.name, name)) return &device;
    }
    return nullptr;
}

PortHandle FakeComm::NewHandle(FakeDevice* device) {
    const PortHandle handle = reinterpret_cast<PortHandle>(nextHandle);
    nextHandle += 4;
    device->openHandles += 1;
    open[handle] = device;
    return handle;
}

PortHandle FakeComm::OpenDirect(const std::string& name) {
    FakeDevice* device = Find(name.c_str());
    return device == nullptr ? nullptr : NewHandle(device);
}

FakeDevice* FakeComm::DeviceOf(PortHandle handle) {
    auto found = open.find(handle);
    return found == open.end() ? nullptr : found->second;
}

std::vector<CommOp> FakeComm::Sequence() const {
    std::vector<CommOp> sequence;
    for (const CommCall& call : calls) sequence.push_back(call.op);
    return sequence;
}

std::vector<CommCall> FakeComm::CallsOf(CommOp op) const {
    std::vector<CommCall> found;
    for (const CommCall& call : calls) {
        if (call.op == op) found.push_back(call);
    }
    return found;
}
