// Walking Photoshop image resources by their structure, shared by the resource and JPEG code.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct PhotoshopResource {
    std::size_t start;      // of the signature
    std::size_t end;        // past the padded data
    OSType signature;
    UInt16 id;
    std::size_t dataStart;
    std::uint32_t dataSize;
};

// Where the resources begin: after the APP13 header when the block has one, else at 0.
std::size_t PhotoshopResourcesStart(const std::uint8_t* p, std::size_t size);
// Lists the resources from `from`; false when they do not walk cleanly to the end (what was
// listed before the damage stays in *out).
bool WalkPhotoshopResources(const std::uint8_t* p, std::size_t size, std::size_t from, std::vector<PhotoshopResource>* out);
