#pragma once

#include "device/ScpTransfer.h"

// Tells the user why an SCP tool run failed: the wait cursor is taken away first, so it
// does not stay over the box. A problem with nothing to tell (a stopped run) shows nothing.
class ScpProblemBox
{
public:
    static void show(const ScpTransfer::Problem& problem);
};
