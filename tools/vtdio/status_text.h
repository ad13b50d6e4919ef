// Library statuses as people read them: "4106 = device 0, API_INVALID_PARAMETER".
#pragma once

#include <cstdint>
#include <string>

namespace vtdio {

struct DecodedStatus {
    bool deviceQualified = false;
    std::uint32_t device = 0;  // when deviceQualified
    std::uint32_t reason = 0;  // the reason number, or the plain code
    std::string name;          // "API_INVALID_PARAMETER", "platform error 50", ...
};

DecodedStatus DecodeStatus(std::int32_t status);

// "0 = API_SUCCESS", "3 = API_INVALID_HANDLE", "4106 = device 0, API_INVALID_PARAMETER".
std::string DescribeStatus(std::int32_t status);

}  // namespace vtdio
