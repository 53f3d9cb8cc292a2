// Internal to the document model: the host-wide counters the host functions update.
#pragma once

namespace standin {

void count_redraw();
bool call_log_on();
void log_call(const char* name);
void count_object_created();

} // namespace standin
