// The end-of-test check of plug-in and host tests: the host functions hold
// nothing more. Built with the edition of the imaging library the test links.
#pragma once

#include <gtest/gtest.h>

#include <verodyn/framegrabber.h>

namespace fg {

// Fails the test once for each block still allocated through the host.
inline void ExpectNothingAllocated()
{
    for (const VXAllocation& a : VXAllocated())
        ADD_FAILURE() << "still allocated: " << a.size << " bytes from " << a.file << ":" << a.line;
}

} // namespace fg
