#pragma once

#include <cstdint>
#include <string>

#include "driver/driver_request.h"
#include "gates/gate_record.h"
#include "tests/support/record_bytes.h"

// A gate as the host hands it over: record, cell and request block filled with one byte,
// the name text kept alive here.
struct GateUnderTest {
    GateUnderTest(const std::string& gateName, int32_t type, uint8_t fill) : name(gateName) {
        FillRecord(record, fill);
        FillRecord(cell, fill);
        FillRecord(request, fill);
        record.name = name.c_str();
        record.type = type;
        record.value = &cell;
        request.channel = nullptr;
        request.params = &record;
    }
    GateUnderTest(const GateUnderTest&) = delete;
    GateUnderTest& operator=(const GateUnderTest&) = delete;

    DriverRequest* Request(int32_t code) {
        request.code = code;
        return &request;
    }

    std::string name;
    GateRecord record;
    ValueCell cell;
    DriverRequest request;
};
