// Internal to the document model: the host-wide counters the host functions update, and the
// misbehaving host's hooks (failing_host.h).
#pragma once

#include <cstdint>

#include "document/document.h"
#include "document/failing_host.h"

namespace standin {

void count_redraw();
// The redraw of the program that shows the documents, if one has set it.
void run_refresh_handler();
// Read on every host call, so a plain flag rather than a call.
extern bool call_logging;
inline bool call_log_on() { return call_logging; }
void log_call(const char* name);

// The objects and documents alive now, and the indices MQDoc_AddObject returned and nobody has
// deleted since: what a call may name. Kept whether or not the failing host is on, so that it
// knows what was made before it started.
void note_object_alive(const Object* object, bool alive);
void note_document_alive(const Document* document, bool alive);
void note_index_returned(const Document* document, int32_t index, bool live);
bool index_was_returned(const Document* document, int32_t index);

// The failing host: a plain flag, read on every host call.
extern bool failing_host_on;
inline bool failing_host() { return failing_host_on; }
// Counts a call of call, runs a re-entry due at it; true when this call is to fail.
bool host_call_fails(HostCall call);
// Notes a misuse unless the object (or document) is one the host knows.
void check_object(const char* call, const Object* object);
void check_document(const char* call, const Document* document);
void note_misuse(const char* call, const char* what);
bool added_objects_current();

} // namespace standin
