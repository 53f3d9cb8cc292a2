// Internal to the document model: the host-wide counters the host functions update.
#pragma once

namespace standin {

void count_redraw();
// Read on every host call, so a plain flag rather than a call.
extern bool call_logging;
inline bool call_log_on() { return call_logging; }
void log_call(const char* name);

} // namespace standin
