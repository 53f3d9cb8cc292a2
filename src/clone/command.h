// The body of the plug-in's one command.
#pragma once

#include <cstdint>

#include "host_api/host_interface.h"

// 1 when the copies were merged into the current object, 0 otherwise. Called again while it
// runs, it returns 0 at once and changes nothing.
int run_clone_command(HostDocument document);
// 1 while a command runs, its dialog open.
int clone_command_running();

// Shows the settings dialog modally over owner and returns its result: 1 for OK, anything else
// for Cancel, close or a dialog that failed to open. Bound at link time: the Windows module binds
// it to the real modal dialog, tests to a scripted stand-in.
intptr_t show_clone_dialog(HostWindow owner);
