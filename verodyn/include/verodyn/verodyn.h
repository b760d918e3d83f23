// The imaging library: image objects, control tuples and operators.
#pragma once

#include <verodyn/framegrabber.h>
#include <verodyn/object.h>
#include <verodyn/operators.h>
#include <verodyn/status.h>
#include <verodyn/tuple.h>
