#include "document/failing_host.h"

#include <set>
#include <utility>

#include "document/host_state.h"

namespace standin {

namespace {

struct Plan {
    int64_t calls = 0;
    int64_t fail_at = 0; // 0: never
    int64_t reenter_at = 0;
    void (*plugin)(void*) = nullptr;
    void* context = nullptr;
};

struct FailingHost {
    Plan plans[host_call_kinds];
    bool added_current = false;
    int64_t misuses = 0;
    std::string first_misuse;
    std::set<const Object*> objects;
    std::set<const Document*> documents;
    std::set<std::pair<const Document*, int32_t>> indices;
};

// Never destroyed: objects may be destroyed during the program's exit.
FailingHost& host() {
    static FailingHost* state = new FailingHost;
    return *state;
}

template <class T> void note(std::set<T>& set, const T& value, bool present) {
    if (present)
        set.insert(value);
    else
        set.erase(value);
}

} // namespace

bool failing_host_on = false;

void note_object_alive(const Object* object, bool alive) { note(host().objects, object, alive); }

void note_document_alive(const Document* document, bool alive) {
    note(host().documents, document, alive);
}

void note_index_returned(const Document* document, int32_t index, bool live) {
    note(host().indices, std::make_pair(document, index), live);
}

bool index_was_returned(const Document* document, int32_t index) {
    return host().indices.count(std::make_pair(document, index)) != 0;
}

void start_failing_host() {
    FailingHost& h = host();
    for (Plan& plan : h.plans)
        plan = Plan();
    h.added_current = false;
    h.misuses = 0;
    h.first_misuse.clear();
    failing_host_on = true;
}

void stop_failing_host() { failing_host_on = false; }

int64_t host_call_count(HostCall call) { return host().plans[static_cast<int>(call)].calls; }

void fail_host_call(HostCall call, int64_t nth) {
    host().plans[static_cast<int>(call)].fail_at = nth;
}

void reenter_at(HostCall call, int64_t nth, void (*plugin)(void*), void* context) {
    Plan& plan = host().plans[static_cast<int>(call)];
    plan.reenter_at = nth;
    plan.plugin = plugin;
    plan.context = context;
}

void make_added_objects_current(bool on) { host().added_current = on; }

bool added_objects_current() { return host().added_current; }

bool host_call_fails(HostCall call) {
    Plan& plan = host().plans[static_cast<int>(call)];
    // Counted before the re-entry, whose own calls come after this one.
    const int64_t nth = ++plan.calls;
    if (nth == plan.reenter_at && plan.plugin) plan.plugin(plan.context);
    return nth == plan.fail_at;
}

void note_misuse(const char* call, const char* what) {
    FailingHost& h = host();
    if (h.misuses++ == 0) h.first_misuse = std::string(call) + ": " + what;
}

void check_object(const char* call, const Object* object) {
    if (!object)
        note_misuse(call, "null object");
    else if (!host().objects.count(object))
        note_misuse(call, "an object the host does not know");
}

void check_document(const char* call, const Document* document) {
    if (!document)
        note_misuse(call, "null document");
    else if (!host().documents.count(document))
        note_misuse(call, "a document the host does not know");
}

int64_t host_misuse_count() { return host().misuses; }

const std::string& first_host_misuse() { return host().first_misuse; }

} // namespace standin
