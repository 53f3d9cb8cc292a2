// The stand-in host's document model: documents holding a material list and objects with vertices
// and faces (each face corner with its texture coordinates, each face with its material), plus the
// host-wide counters that tests and benchmarks inspect.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "document/pod_buffer.h"
#include "host_api/host_interface.h"

// A texture coordinate of one face corner.
struct HostUv {
    float u, v;
};

// The records behind the plug-in's opaque handles.
struct HostObjectRecord {
    standin::PodBuffer<HostPoint> vertices;
    // Corners of every face, face after face; face f ends at face_ends[f] (and starts where the
    // previous one ended), so a merge appends both arrays without walking faces one by one.
    standin::PodBuffer<int32_t> face_corners;
    standin::PodBuffer<int32_t> face_ends;
    // Empty while no face has texture coordinates; otherwise one per face corner (corners added
    // without them read 0, 0), as a modeller keeps them.
    standin::PodBuffer<HostUv> corner_uvs;
    // Empty while no face has a material; otherwise one per face: an index into the document's
    // material list, or -1.
    standin::PodBuffer<int32_t> face_materials;
    std::string name;
    HostDocumentRecord* owner = nullptr; // the document holding it, if any
};

struct HostDocumentRecord {
    // One slot per index ever handed out; a deleted object leaves a null slot so that the other
    // indices keep naming their objects.
    std::vector<HostObjectRecord*> objects;
    int32_t current_index = -1;
    std::vector<std::string> materials; // names; faces refer to them by index
};

namespace standin {

using Object = HostObjectRecord;
using Document = HostDocumentRecord;

// Objects outside any document; counted as live until destroyed. The host keeps the storage of the
// objects destroyed last and builds new ones in it; release_spare_objects gives it back.
Object* create_object(const char* name = "");
Object* clone_object(const Object& source); // outside any document
void destroy_object(Object* object);
int32_t add_vertex(Object& object, float x, float y, float z);
// Returns the new face's index. Corners are vertex indices of the same object; uvs, if given,
// holds one texture coordinate per corner; material is an index into the document's list or -1.
int32_t add_face(Object& object, const int32_t* corners, int32_t count, const HostUv* uvs = nullptr,
                 int32_t material = -1);
int32_t add_face(Object& object, std::initializer_list<int32_t> corners);
int32_t vertex_count(const Object& object);
int32_t face_count(const Object& object);
std::vector<int32_t> face_corners(const Object& object, int32_t face);
bool has_uvs(const Object& object);
bool has_materials(const Object& object);
// The face's corner texture coordinates (0, 0 each when the object has none) and material (-1).
std::vector<HostUv> face_uvs(const Object& object, int32_t face);
int32_t face_material(const Object& object, int32_t face);
// Appends source's vertices, faces, texture coordinates and materials to dest, renumbered;
// source may be dest.
void append_object(Object& dest, const Object& source);

// A document owns the objects added to it and destroys them with itself.
Document* create_document();
void destroy_document(Document* document);
// Hands object to the document; returns its index, valid until it is deleted.
int32_t add_object(Document& document, Object* object);
void set_current_object(Document& document, int32_t index);
int32_t current_object_index(const Document& document);
// Null for a deleted slot or an index out of range.
Object* object_at(const Document& document, int32_t index);
int32_t object_slot_count(const Document& document); // indices handed out so far
int32_t object_count(const Document& document);      // objects still in the document
// The material's index in the document's list, added at the end if it is not there yet.
int32_t material_index(Document& document, const std::string& name);

// Host-wide state.
int64_t live_object_count(); // created or cloned and not yet destroyed, in a document or not
int64_t redraw_count();      // MQ_RefreshView calls
void set_call_log(bool on);  // off by default, so benchmarks pay nothing for it
const std::vector<const char*>& call_log();
void clear_call_log();
void set_window_handle(HostWindow window);
HostWindow window_handle();
// What MQ_RefreshView runs after counting the redraw; none by default.
void set_refresh_handler(void (*handler)(void* context), void* context);

} // namespace standin
