// A host that misbehaves on demand, as a real modeller may: its k-th call of a chosen function
// fails, it calls back into the plug-in from inside a call, or it makes every added object
// current. While it is on it also notes every call that hands it something it never gave out.
// Off, and free, until a test switches it on.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

// The host functions whose results can tell the plug-in of a failure, and the redraw, where a
// real host runs callbacks of its own.
enum class HostCall {
    current_object_index, // fails with -1
    get_object,           // null
    create_object,        // null
    clone,                // null
    add_object,           // -1; the object stays outside the document
    vertex_count,         // -1
    refresh_view,         // cannot fail; a place to re-enter
};
inline constexpr int host_call_kinds = 7;

// Switches the misbehaving host on, kind until told otherwise: every count back to zero, no
// failure or re-entry planned, added objects not made current, no misuse noted.
void start_failing_host();
// Back to the plain stand-in host.
void stop_failing_host();

// Calls of each kind since start_failing_host.
int64_t host_call_count(HostCall call);
// The nth call of call (counted from 1 since start_failing_host) answers its failure value.
void fail_host_call(HostCall call, int64_t nth);
// The nth call of call runs plugin(context) before it answers, as a host callback would.
void reenter_at(HostCall call, int64_t nth, void (*plugin)(void* context), void* context);
// MQDoc_AddObject makes the object it adds the current one.
void make_added_objects_current(bool on);

// Calls that handed the host a null or unknown object or document, an object in a document to
// MQObj_Delete, a document index MQDoc_AddObject did not return (or that was deleted since), or a
// vertex index beyond the object's vertices. The first such call is described.
int64_t host_misuse_count();
const std::string& first_host_misuse();

} // namespace standin
