// Builds the object of copies and an object's centre, through the host's object interface.
#pragma once

#include "host_api/host_interface.h"
#include "math/math_types.h"

// A new object in no document holding clone_settings.repeat_count copies of source, copy k
// stepped k times. The caller owns it. Null, with every object made for it destroyed again, when
// the host fails or the result would not fit (build_limit.h).
HostObject build_clones(HostObject source);

// Mean of the object's vertex positions; (0, 0, 0) for an object without vertices.
Vector3 compute_object_center(HostObject object);
// The same into *center; 0, with *center left as it was, when the host fails to count the
// vertices: a failed count is no object without vertices.
int capture_object_center(HostObject object, Vector3* center);
