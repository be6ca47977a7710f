// The adjustment engine: the computation record, the case catalogue, the
// twelve case procedures Cm1..Cm12 with the machinery they share (Cghil, the
// normal equations, the correlates), the geometry of the chain and the
// display formats. Plain C++, no toolkit.
#pragma once

#include "cases.h"
#include "catalogue.h"
#include "errors.h"
#include "geometry.h"
#include "numfmt.h"
#include "pipeline.h"
#include "record.h"
#include "result.h"
