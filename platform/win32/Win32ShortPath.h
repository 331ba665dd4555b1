#pragma once
#include "platform/ShortPathService.h"

namespace tapelark {

class Win32ShortPath : public ShortPathService {
public:
    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override;
};

}  // namespace tapelark
